// Starts usbdup.exe from a fresh program folder and makes sure it is gone at
// the end. The program folder is where setup.ini and log\ appear, so every
// test gets its own copy of the exe in a new temporary folder.
#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// The main window's title as the program shows it (code page 936).
extern const char* const kMainTitle;

// Where usbdup.exe was built: the environment variable USBDUP_EXE (a Windows
// path, or a Unix path that is reached through Z:).
std::string builtExePath();

class App {
 public:
  App() = default;
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Copies the built exe into programFolder (created if missing) and starts it.
  // Does not wait for the window: call waitForWindow.
  bool start(const std::string& programFolder);
  // The main window of this process, once it is visible; nullptr on timeout.
  HWND waitForWindow(DWORD timeoutMs = 30000);

  HWND window() const { return window_; }
  DWORD pid() const { return pid_; }
  HANDLE process() const { return process_; }
  const std::string& folder() const { return folder_; }
  bool running() const;

  // Waits for the process to end; true with its exit code, false on timeout.
  bool waitForExit(DWORD timeoutMs, DWORD* exitCode);
  // Last resort: ends the process by its handle and waits for it.
  void terminate();

 private:
  std::string folder_;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND window_ = nullptr;
};

}  // namespace e2e
