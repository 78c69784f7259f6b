#include "driver/app.h"

#include <cstdlib>

#include "driver/files.h"
#include "driver/windows.h"

namespace e2e {

const char* const kMainTitle = "KV9T USB存储设备批量对拷工具 SW  by Dornak Software Lab";

std::string builtExePath() {
  const char* env = std::getenv("USBDUP_EXE");
  if (!env || !*env) return "";
  return windowsPathOf(env);
}

App::~App() {
  if (running()) terminate();
  if (process_) CloseHandle(process_);
}

bool App::start(const std::string& programFolder) {
  folder_ = programFolder;
  std::string source = builtExePath();
  if (source.empty()) return false;
  makeFolders(folder_);
  std::string exe = folder_ + "\\usbdup.exe";
  if (!CopyFileA(source.c_str(), exe.c_str(), FALSE)) return false;

  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + exe + "\"";
  // Started from the folder above its own, so that a program that used the
  // current folder instead of its own folder would leave its files elsewhere.
  std::string current = parentOf(folder_);
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                      current.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

HWND App::waitForWindow(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    HWND w = findTopLevel(pid_, nullptr, kMainTitle);
    if (w && IsWindowVisible(w)) {
      window_ = w;
      return w;
    }
    if (!running()) return nullptr;
    Sleep(20);
  }
  return nullptr;
}

bool App::running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool App::waitForExit(DWORD timeoutMs, DWORD* exitCode) {
  if (!process_) return false;
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  if (exitCode) *exitCode = code;
  return true;
}

void App::terminate() {
  if (!process_) return;
  TerminateProcess(process_, 0xDEAD);
  WaitForSingleObject(process_, 10000);
}

}  // namespace e2e
