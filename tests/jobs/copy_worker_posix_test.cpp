// The copy worker on the headless window, with real folders as drives and the
// worker on a real thread: the texts of each case in their order, what lands
// on the target, the log, and the stop at exit.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "device/drive_lists.h"
#include "jobs/job_run.h"

namespace usbdup {
namespace {

using namespace test;
using Texts = std::vector<std::string>;

TEST(CopyWorker, RoadOfOneTarget) {
  HeadlessApp app;
  const std::string master = app.drive('D');
  plant(master, {{"a.txt", "alpha"},
                 {"b.bin", std::string(70000, '\x5a')},
                 {"sub/c.txt", "gamma"},
                 {"sub/中文/d.txt", "delta"}});
  const std::string target = app.drive('E');
  ASSERT_TRUE(app.start());
  setMasters(app, bit('D'));
  ASSERT_EQ(program().masterFileTotal.load(), 4);

  app.ui.sendDeviceNotice(kArrival, bit('E'));
  app.ui.clearCellWrites();
  app.ui.clearTimerCalls();
  EXPECT_EQ(serveAll(app.ui), 2);  // the job's tick, then one that finds nothing

  EXPECT_EQ(textsOf(app.ui, 0), (Texts{kChecking, kDeviceOk, kCopying, progress(25), progress(50), progress(75),
                                       progress(100), kDone}));
  EXPECT_EQ(statusOf(app.ui, 0), kDone);
  EXPECT_EQ(treeOf(target), treeOf(master));
  EXPECT_EQ(taskQueue().runningCount(), 0);
  EXPECT_EQ(taskQueue().pendingCount(), 0);
  EXPECT_EQ(taskQueue().activeCount(), 1);  // a job stays in active for good
  // Tick stops the timer, the worker's end arms it, the idle tick stops it.
  EXPECT_EQ(app.ui.timerCalls(), (std::vector<uint32_t>{0, 1000, 0}));
  EXPECT_EQ(eventLog().recordCount(), 0);
}

TEST(CopyWorker, TextsForEachSwitchAndDriveCase) {
  const Texts full{kChecking, kDeviceOk, kCopying, progress(100), kDone};
  struct Case {
    const char* name;
    bool copySwitch, formatSwitch, master, targetMapped;
    Texts texts;
    std::string last;
    bool copies;
  } cases[] = {
      {"copy only", true, false, true, true, full, kDone, true},
      {"copy and format", true, true, true, true, full, kDone, true},
      {"format only", false, true, true, true, {}, kWaiting, false},
      {"neither", false, false, true, true, {kNothingChosen}, kNothingChosen, false},
      {"no master", true, false, false, true, {kChecking, kDeviceOk, kCopying, kDone, kNoMaster}, kNoMaster, false},
      {"target unreachable", true, false, true, false, {kChecking, kUnreachable}, kUnreachable, false},
      {"unreachable, neither", false, false, true, false, {kNothingChosen}, kNothingChosen, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessApp app;
    plant(app.drive('D'), {{"m.txt", "master file"}});
    const std::string target = app.dir.file("drive-E");
    if (c.targetMapped) app.drive('E');
    ASSERT_TRUE(app.start());
    if (c.master) setMasters(app, bit('D'));
    app.ui.setChecked(Control::copySwitch, c.copySwitch);
    app.ui.setChecked(Control::formatSwitch, c.formatSwitch);

    app.ui.sendDeviceNotice(kArrival, bit('E'));
    app.ui.clearCellWrites();
    app.ui.clearTimerCalls();
    serveAll(app.ui);
    EXPECT_EQ(textsOf(app.ui, 0), c.texts);
    EXPECT_EQ(statusOf(app.ui, 0), c.last);
    EXPECT_EQ(std::filesystem::exists(target + "/m.txt"), c.copies);
    // Every path ends the job the same way: running lowered, timer armed.
    EXPECT_EQ(taskQueue().runningCount(), 0);
    EXPECT_EQ(app.ui.timerCalls(), (std::vector<uint32_t>{0, 1000, 0}));
  }
}

// The switches are read when each step comes, not once at the start: unticked
// while the files are copied, the job still copies and then says that
// nothing is selected.
TEST(CopyWorker, SwitchesReadAtTheirSteps) {
  HeadlessApp app;
  plant(app.drive('D'), {{"m.txt", "x"}});
  const std::string target = app.drive('E');
  ASSERT_TRUE(app.start());
  setMasters(app, bit('D'));
  HookedFileSystem fs([&](int) { app.ui.setChecked(Control::copySwitch, false); });
  FileSystemOverride use(fs);

  app.ui.sendDeviceNotice(kArrival, bit('E'));
  app.ui.clearCellWrites();
  serveAll(app.ui);
  EXPECT_EQ(textsOf(app.ui, 0), (Texts{kChecking, kDeviceOk, kCopying, progress(100), kDone, kNothingChosen}));
  EXPECT_TRUE(hostFileExists(target + "/m.txt"));
}

// copiedCount and percent run on from one master to the next, and each master
// gets the file total of the moment its copy starts.
TEST(CopyWorker, TwoMastersInOneJob) {
  struct Case {
    const char* name;
    int64_t totalBeforeSecondFile;  // 0: unchanged
    Texts progressTexts;
  } cases[] = {
      {"total unchanged", 0, {progress(25), progress(50), progress(75), progress(100)}},
      // A census during the first master's copy counts for the second only.
      {"total changed", 8, {progress(25), progress(50), progress(37), progress(50)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessApp app;
    const std::string d = app.drive('D'), f = app.drive('F');
    plant(d, {{"d1.txt", "d1"}, {"sub/d2.txt", "d2"}});
    plant(f, {{"f1.txt", "f1"}, {"f2.txt", "f2"}});
    const std::string target = app.drive('E');
    ASSERT_TRUE(app.start());
    setMasters(app, bit('D') | bit('F'));
    ASSERT_EQ(program().masterFileTotal.load(), 4);
    HookedFileSystem fs([&](int n) {
      if (n == 2 && c.totalBeforeSecondFile) program().masterFileTotal.store(c.totalBeforeSecondFile);
    });
    FileSystemOverride use(fs);

    app.ui.sendDeviceNotice(kArrival, bit('E'));
    app.ui.clearCellWrites();
    serveAll(app.ui);
    Texts expected{kChecking, kDeviceOk, kCopying};
    expected.insert(expected.end(), c.progressTexts.begin(), c.progressTexts.end());
    expected.push_back(kDone);
    EXPECT_EQ(textsOf(app.ui, 0), expected);
    std::map<std::string, std::string> both = treeOf(d);
    const std::map<std::string, std::string> second = treeOf(f);
    both.insert(second.begin(), second.end());
    EXPECT_EQ(treeOf(target), both);
  }
}

// An incomplete stick is never called complete: the job ends with its own
// text, and the file that failed has its one log line.
// Files that leave the percentage where it stood write nothing: the row
// already shows that text. Five files of a counted 400 give 0, 0, 0, 1, 1.
TEST(CopyWorker, ProgressTextWrittenOncePerPercentage) {
  HeadlessApp app;
  const std::string master = app.drive('D');
  plant(master, {{"1.txt", "1"}, {"2.txt", "2"}, {"3.txt", "3"}, {"sub/4.txt", "4"}, {"sub/5.txt", "5"}});
  const std::string target = app.drive('E');
  ASSERT_TRUE(app.start());
  setMasters(app, bit('D'));
  program().masterFileTotal.store(400);

  app.ui.sendDeviceNotice(kArrival, bit('E'));
  app.ui.clearCellWrites();
  serveAll(app.ui);
  EXPECT_EQ(textsOf(app.ui, 0), (Texts{kChecking, kDeviceOk, kCopying, progress(0), progress(1), kDone}));
  EXPECT_EQ(treeOf(target), treeOf(master));
}

TEST(CopyWorker, FailedFileEndsWithItsOwnTextAndOneLogLine) {
  HeadlessApp app;
  plant(app.drive('D'), {{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
  const std::string target = app.drive('E');
  ASSERT_TRUE(app.start());
  setMasters(app, bit('D'));
  FailingFileSystem fs(FsCall::CopyFileToNewName, 2);
  FileSystemOverride use(fs);

  app.ui.sendDeviceNotice(kArrival, bit('E'));
  app.ui.clearCellWrites();
  serveAll(app.ui);
  EXPECT_TRUE(fs.fired());
  EXPECT_EQ(textsOf(app.ui, 0), (Texts{kChecking, kDeviceOk, kCopying, progress(33), progress(66), kSomeFailed}));
  EXPECT_EQ(treeOf(target).size(), 2u);

  ASSERT_EQ(eventLog().recordCount(), 1);
  const LogRecord r = eventLog().recordAt(1);
  EXPECT_EQ(r.kind, "错误");
  EXPECT_EQ(r.message.rfind("文件：D:\\", 0), 0u) << r.message;
  EXPECT_NE(r.message.find("复制失败！"), std::string::npos) << r.message;
  const std::string line = r.time + "|" + r.kind + "|" + r.message + "\r\n";
  EXPECT_EQ(readHostFile(app.dir.path() + "/log/syslog.log"), line);
}

// A job whose row went while it waited copies nothing: its letter now belongs
// to the stick plugged after it, whose own job fills it exactly once.
TEST(CopyWorker, JobWhoseRowIsGoneCopiesNothing) {
  HeadlessApp app;
  const std::string master = app.drive('D');
  plant(master, {{"a.txt", "a"}, {"sub/b.txt", "b"}});
  const std::string target = app.drive('E');
  ASSERT_TRUE(app.start());
  setMasters(app, bit('D'));

  app.ui.sendDeviceNotice(kArrival, bit('E'));
  app.ui.sendDeviceNotice(kRemoval, bit('E'));
  app.ui.sendDeviceNotice(kArrival, bit('E'));  // another stick, same letter
  app.ui.clearCellWrites();
  serveAll(app.ui);
  EXPECT_EQ(textsOf(app.ui, 0), Texts{});
  EXPECT_EQ(textsOf(app.ui, 1), (Texts{kChecking, kDeviceOk, kCopying, progress(50), progress(100), kDone}));
  EXPECT_EQ(treeOf(target), treeOf(master));  // no numbered second copies
  EXPECT_EQ(taskQueue().activeCount(), 2);
  EXPECT_EQ(taskQueue().runningCount(), 0);
}

// A stick that is both master and target is never copied into itself.
TEST(CopyWorker, MasterOnTheTargetsOwnDriveIsSkipped) {
  HeadlessApp app;
  plant(app.drive('D'), {{"d.txt", "from D"}});
  const std::string e = app.drive('E');
  plant(e, {{"e.txt", "own"}});
  ASSERT_TRUE(app.start());
  setMasters(app, bit('D') | bit('E'));

  app.ui.sendDeviceNotice(kArrival, bit('E'));
  app.ui.clearCellWrites();
  serveAll(app.ui);
  EXPECT_EQ(statusOf(app.ui, 0), kDone);
  EXPECT_EQ(treeOf(e), (std::map<std::string, std::string>{{"d.txt", "from D"}, {"e.txt", "own"}}));
}

// The masters are those listed when the copy loop starts: a master pulled
// during the copy shifts no later master out of the job.
TEST(CopyWorker, MasterPulledDuringTheCopyShiftsNoOtherOut) {
  HeadlessApp app;
  plant(app.drive('D'), {{"d.txt", "d"}});
  plant(app.drive('F'), {{"f.txt", "f"}});
  plant(app.drive('G'), {{"g.txt", "g"}});
  const std::string target = app.drive('E');
  ASSERT_TRUE(app.start());
  setMasters(app, bit('D') | bit('F') | bit('G'));
  std::atomic<bool> pulled{false};
  HookedFileSystem fs([&](int n) {
    if (n != 1) return;
    // The removal notice is handled on the UI thread (with its census) while
    // the worker copies D's file.
    app.ui.post([&] {
      app.ui.sendDeviceNotice(kRemoval, bit('D'));
      pulled.store(true);
    });
    EXPECT_TRUE(waitUntil([&] { return pulled.load(); }));
  });
  FileSystemOverride use(fs);

  app.ui.sendDeviceNotice(kArrival, bit('E'));
  serveAll(app.ui);
  ASSERT_TRUE(pulled.load());
  EXPECT_EQ(app.ui.rows(ListView::masterList).size(), 2u);
  EXPECT_EQ(treeOf(target), (std::map<std::string, std::string>{{"d.txt", "d"}, {"f.txt", "f"}, {"g.txt", "g"}}));
  EXPECT_EQ(statusOf(app.ui, 0), kDone);
}

// At exit the worker finishes the file it is copying, starts no other, and is
// waited for before the queue and the log go; whether the window is closed
// straight away or through the exit question, during which ticks still run.
TEST(CopyWorker, StopsAtAFileBoundaryWhenTheProgramCloses) {
  enum class Way { destroyWindow, exitQuestion };
  for (Way way : {Way::destroyWindow, Way::exitQuestion}) {
    SCOPED_TRACE(way == Way::destroyWindow ? "window destroyed" : "exit question");
    HeadlessApp app;
    const std::string master = app.drive('D');
    std::map<std::string, std::string> files;
    for (int i = 0; i < 200; ++i) files["dir" + std::to_string(i % 4) + "/f" + std::to_string(i)] = std::string(3000 + i, 'a' + i % 26);
    plant(master, files);
    const std::string target = app.drive('E');
    ASSERT_TRUE(app.start());
    setMasters(app, bit('D'));
    const int kStopAt = 5;
    std::atomic<bool> inCopy{false};
    HookedFileSystem fs([&](int n) {
      if (n != kStopAt) return;
      inCopy.store(true);
      // The close comes while this file is being copied.
      EXPECT_TRUE(waitUntil(copyStopRequested));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    FileSystemOverride use(fs);
    app.ui.sendDeviceNotice(kArrival, bit('E'));
    app.ui.clearCellWrites();

    const auto startClose = [&] {
      onDispatchTick();
      ASSERT_TRUE(waitUntil([&] { return inCopy.load(); }));
    };
    if (way == Way::destroyWindow) {
      startClose();
      app.ui.destroyWindow();
    } else {
      app.ui.scriptAnswer(kAnswerOk, startClose);
      onExitClicked();
    }
    EXPECT_TRUE(app.ui.destroyed());
    EXPECT_FALSE(anyWorkerAlive()) << "the close returned before the worker ended";

    const std::map<std::string, std::string> copied = treeOf(target);
    EXPECT_EQ(copied.size(), static_cast<size_t>(kStopAt));
    for (const auto& f : copied) EXPECT_EQ(f.second, files[f.first]) << f.first << " left partial";
    const Texts texts = textsOf(app.ui, 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(kDone)), 0);
    // The three step texts, then one per percentage reached: 5 of 200 files
    // give 0, 1, 1, 2, 2.
    EXPECT_EQ(texts, (Texts{kChecking, kDeviceOk, kCopying, progress(0), progress(1), progress(2)}));
  }
}

}  // namespace
}  // namespace usbdup
