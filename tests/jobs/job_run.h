// Running copy jobs on the headless window: the test thread plays the UI
// thread (it drives the ticks and handles what the worker posts), the worker
// is a real thread. Native only, like the headless model.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/events.h"
#include "jobs/copy_worker.h"
#include "support/failing_fs.h"
#include "support/headless_app.h"

namespace usbdup {
namespace test {

const uint32_t kArrival = 0x8000, kRemoval = 0x8004;

const char kWaiting[] = "等待执行操作...";
const char kChecking[] = "检查设备存储是否正常...";
const char kUnreachable[] = "设备存储无法访问，操作停止！";
const char kDeviceOk[] = "设备正常，继续操作！";
const char kCopying[] = "正在复制文件到设备...";
const char kDone[] = "复制完成，请拔除！";
const char kNoMaster[] = "无母盘设备，停止操作！";
const char kNothingChosen[] = "未选定任何功能，操作停止！";
const char kSomeFailed[] = "部分文件复制失败，请查看日志！";
const char kStartFailed[] = "复制线程启动失败，操作停止！";

inline std::string progress(int percent) { return "正在复制...(" + std::to_string(percent) + "%)"; }

// Waits (up to 10 s) until done(), handling nothing meanwhile.
inline bool waitUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Waits for the worker thread's end without handling what it posted.
inline bool waitUntilNoWorker() {
  return waitUntil([] { return !anyWorkerAlive(); });
}

// Handles what the worker posts until it has ended and its end (running
// lowered, timer armed) has run here. False when it did not end in time.
inline bool finishWorker(HeadlessUi& ui) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (anyWorkerAlive()) {
    ui.processPendingMessages();
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ui.processPendingMessages();  // the end was posted before the thread's last act
  return true;
}

// Ticks while the timer is armed, each worker served to its end, as the
// one-second timer would. Answers the number of ticks.
inline int serveAll(HeadlessUi& ui) {
  int ticks = 0;
  while (ui.timerPeriod() > 0 && ticks < 100) {
    onDispatchTick();
    ++ticks;
    EXPECT_TRUE(finishWorker(ui));
  }
  return ticks;
}

// The status texts written into the row of one job, in order.
inline std::vector<std::string> textsOf(HeadlessUi& ui, int32_t taskId) {
  std::vector<std::string> out;
  for (const HeadlessUi::CellWrite& w : ui.cellWrites()) {
    if (w.list == ListView::targetList && w.column == 1 && w.rowValue == taskId) out.push_back(w.text);
  }
  return out;
}

// The status of the row of a job; empty when the row is gone.
inline std::string statusOf(HeadlessUi& ui, int32_t taskId) {
  for (const HeadlessUi::Row& r : ui.rows(ListView::targetList)) {
    if (r.value == taskId) return r.cells[1];
  }
  return std::string();
}

// Relative path -> bytes of every file under a host folder.
inline std::map<std::string, std::string> treeOf(const std::string& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) out[fs::relative(e.path(), folder).string()] = readHostFile(e.path().string());
  }
  return out;
}

// Writes host files "a/b.txt" -> bytes under folder, making folders on the way.
inline void plant(const std::string& folder, const std::map<std::string, std::string>& files) {
  for (const auto& f : files) {
    const std::filesystem::path p = std::filesystem::path(folder) / f.first;
    std::filesystem::create_directories(p.parent_path());
    ASSERT_TRUE(writeHostFile(p.string(), f.second)) << p;
  }
}

// Makes drives masters through the set-master command, as the operator does.
inline void setMasters(HeadlessApp& app, DriveMask mask) {
  app.ui.scriptAnswer(kAnswerOk, [&] { app.ui.sendDeviceNotice(kArrival, mask); });
  onSetMasterClicked();
}

// The platform's file system with a hook on every file copy (numbered from 1,
// on the worker thread) that may block or change things before the copy.
class HookedFileSystem : public FailingFileSystem {
 public:
  explicit HookedFileSystem(std::function<void(int)> beforeCopy)
      : FailingFileSystem(FsCall::Count, 0), beforeCopy_(std::move(beforeCopy)) {}
  NewCopyResult copyFileToNewName(const std::string& from, const std::string& to) override {
    beforeCopy_(++copies_);
    return FailingFileSystem::copyFileToNewName(from, to);
  }

 private:
  std::function<void(int)> beforeCopy_;
  std::atomic<int> copies_{0};
};

}  // namespace test
}  // namespace usbdup
