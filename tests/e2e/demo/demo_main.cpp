// The operator's side of scripts/demo: one whole duplication cycle on
// simulated drives, told step by step on stdout (in UTF-8).
//   e2e_demo.exe PROGRAM MASTER TARGET1 TARGET2 TARGET3 LATE SHOT.png
// Folders are Windows or Unix paths. usbdup.exe (USBDUP_EXE) runs from
// PROGRAM; MASTER becomes the master drive R:, the three targets T:, U:, V:
// arrive in one notice and LATE (W:) while the first copy runs. The window
// with the finished rows is saved to SHOT. Exit code 0 when every target
// ended with "复制完成，请拔除！" and the program then ended with code 0.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/result.h"
#include "driver/screenshot.h"
#include "driver/session.h"

namespace {

using namespace e2e;
using namespace usbdup;

const char kWaiting[] = "等待执行操作...";
const char kDone[] = "复制完成，请拔除！";
// Texts after which a job's row does not change any more.
const char* const kFinalTexts[] = {kDone,
                                   "部分文件复制失败，请查看日志！",
                                   "无母盘设备，停止操作！",
                                   "设备存储无法访问，操作停止！",
                                   "未选定任何功能，操作停止！",
                                   "复制线程启动失败，操作停止！"};

// The program's texts are in code page 936; the terminal reads UTF-8.
std::string utf8(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), &wide[0], n);
  int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(m, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &out[0], m, nullptr, nullptr);
  return out;
}

void say(const std::string& ansi) {
  std::printf("[demo] %s\n", utf8(ansi).c_str());
  std::fflush(stdout);
}

bool isFinal(const std::string& text) {
  for (const char* f : kFinalTexts)
    if (text == f) return true;
  return false;
}

void printRows(const char* title, const Rows& rows) {
  say(title);
  for (const auto& row : rows) say("    " + row.at(0) + "  " + row.at(1));
}

int run(int argc, char** argv) {
  if (argc < 8) {
    std::fprintf(stderr, "usage: %s PROGRAM MASTER TARGET1 TARGET2 TARGET3 LATE SHOT.png\n", argv[0]);
    return 2;
  }
  const std::string program = windowsPathOf(argv[1]);
  const std::string master = windowsPathOf(argv[2]);
  const std::string targets[] = {windowsPathOf(argv[3]), windowsPathOf(argv[4]), windowsPathOf(argv[5])};
  const std::string late = windowsPathOf(argv[6]);
  const std::string shot = windowsPathOf(argv[7]);

  Session app(program);
  if (!app.start()) {
    say("usbdup.exe did not start (USBDUP_EXE)");
    return 1;
  }
  say("usbdup.exe runs from " + program);

  // The set-master flow: the button, the prompt, the master drive plugged
  // while the prompt is open, OK, the census.
  if (!app.insert('R', master) || !app.setMasters("R")) {
    say("the set-master flow failed");
    return 1;
  }
  printRows("master list after the set-master flow:", app.masterRows());

  const char letters[] = "TUV";
  for (int i = 0; i < 3; ++i)
    if (!app.insert(letters[i], targets[i])) return 1;
  if (!app.insert('W', late)) return 1;
  if (!app.plug("TUV")) return 1;
  say("T: U: V: plugged in one notice");
  printRows("target list:", app.targetRows());

  // The fourth stick comes while the first one is being copied.
  waitUntil([&] { return app.targetStatus(0) != kWaiting; }, 10000, 1);
  const std::string firstAtPlug = app.targetStatus(0);
  if (!app.plug("W")) return 1;
  say("W: plugged while T: shows \"" + firstAtPlug + "\"; W: shows \"" + app.targetStatus(3) + "\"");

  const bool allFinal = waitUntil([&] {
    for (long long id = 0; id < 4; ++id)
      if (!isFinal(app.targetStatus(id))) return false;
    return true;
  }, 180000, 20);
  const Rows rows = app.targetRows();
  printRows("final status of every target:", rows);
  bool ok = allFinal && rows.size() == 4;
  for (const auto& row : rows) ok = ok && row.at(1) == kDone;

  const bool saved = saveWindowPng(app.window(), shot);
  say(saved ? "screenshot of the window: " + shot : "the screenshot could not be saved");

  const std::string logPath = app.folder() + "\\log\\syslog.log";
  const std::vector<std::string> lines = fileLines(logPath);
  say("event log " + logPath + ": " + std::to_string(lines.size()) + " lines" +
      (lines.empty() ? " (no file failed)" : ""));
  for (const std::string& line : lines) say("    " + line);

  const long code = app.quit();
  say("exit question answered OK; exit code " + std::to_string(code));
  return ok && saved && code == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) { return e2e::reportResult(run(argc, argv)); }
