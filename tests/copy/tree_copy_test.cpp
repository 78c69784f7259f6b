#include "copy/tree_copy.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "copy_fixture.h"
#include "platform/files.h"
#include "support/failing_fs.h"

namespace usbdup {
namespace test {
namespace {

using TreeCopy = CopyFixture;

CopyTask taskNumbered(int32_t id) {
  CopyTask task;
  task.taskId = id;
  task.rootPath = "N:\\";
  return task;
}

TEST_F(TreeCopy, CopiesEveryFileButNoEmptyFolder) {
  put("M:\\top.txt", "t");
  put("M:\\docs\\a.txt", "a");
  put("M:\\docs\\sub\\b.txt", "b");
  put("M:\\only\\subs\\c.txt", "c");
  ASSERT_TRUE(makeFolder("M:\\empty"));
  ASSERT_TRUE(makeFolder("M:\\docs\\empty2"));
  RecordingReporter reporter;
  int64_t copied = 0;
  int32_t percent = -1;
  copyTree("M:\\", "M:\\", "N:\\", taskNumbered(7), 4, copied, percent, reporter);
  EXPECT_EQ(copied, 4);
  EXPECT_EQ(percent, 100);
  EXPECT_TRUE(reporter.failures.empty());
  const std::vector<std::string> expected = {"正在复制...(25%)", "正在复制...(50%)", "正在复制...(75%)",
                                             "正在复制...(100%)"};
  EXPECT_EQ(reporter.statuses, expected);
  EXPECT_EQ(reporter.taskIds, std::vector<int32_t>(4, 7));
  EXPECT_EQ(read("N:\\top.txt"), "t");
  EXPECT_EQ(read("N:\\docs\\a.txt"), "a");
  EXPECT_EQ(read("N:\\docs\\sub\\b.txt"), "b");
  EXPECT_EQ(read("N:\\only\\subs\\c.txt"), "c");
  EXPECT_FALSE(exists("N:\\empty"));
  EXPECT_FALSE(exists("N:\\docs\\empty2"));
}

// Files of a folder come before its subfolders, and each subfolder is done
// whole before the next: seen through the order in which files arrive.
struct OrderReporter : RecordingReporter {
  std::vector<std::string> seen;
  void afterStatus() override {
    for (const char* f : {"N:\\1.txt", "N:\\2.txt", "N:\\d\\3.txt", "N:\\d\\e\\4.txt", "N:\\f\\5.txt"})
      if (CopyFixture::exists(f) && std::find(seen.begin(), seen.end(), f) == seen.end()) seen.push_back(f);
  }
};

TEST_F(TreeCopy, FilesBeforeFoldersDepthFirst) {
  put("M:\\d\\e\\4.txt", "4");
  put("M:\\d\\3.txt", "3");
  put("M:\\f\\5.txt", "5");
  put("M:\\1.txt", "1");
  put("M:\\2.txt", "2");
  OrderReporter reporter;
  int64_t copied = 0;
  int32_t percent = 0;
  copyTree("M:\\", "M:\\", "N:\\", taskNumbered(1), 5, copied, percent, reporter);
  ASSERT_EQ(reporter.seen.size(), 5u);
  // The two root files come first (in listing order), then d and f in listing
  // order, each whole: 3 before 4, and 5 never between them.
  EXPECT_TRUE((reporter.seen[0] == "N:\\1.txt" && reporter.seen[1] == "N:\\2.txt") ||
              (reporter.seen[0] == "N:\\2.txt" && reporter.seen[1] == "N:\\1.txt"));
  const auto pos = [&](const char* f) { return std::find(reporter.seen.begin(), reporter.seen.end(), f) - reporter.seen.begin(); };
  EXPECT_LT(pos("N:\\d\\3.txt"), pos("N:\\d\\e\\4.txt"));
  EXPECT_TRUE(pos("N:\\f\\5.txt") < pos("N:\\d\\3.txt") || pos("N:\\f\\5.txt") > pos("N:\\d\\e\\4.txt"));
}

TEST_F(TreeCopy, PercentagesCarryOverAndMayPassHundred) {
  const struct {
    int files;
    int64_t total;
    int64_t startCount;
    std::vector<const char*> statuses;
  } cases[] = {
      {3, 3, 0, {"正在复制...(33%)", "正在复制...(66%)", "正在复制...(100%)"}},
      {2, 0, 0, {"正在复制...(0%)", "正在复制...(0%)"}},
      {3, 2, 0, {"正在复制...(50%)", "正在复制...(100%)", "正在复制...(150%)"}},
      {1, 100, 28, {"正在复制...(28%)"}},  // a second master goes on from the first one's count
  };
  int round = 0;
  for (const auto& c : cases) {
    const std::string master = "M:\\m" + std::to_string(round) + "\\";
    for (int i = 0; i < c.files; ++i) put(master + "f" + std::to_string(i), "x");
    RecordingReporter reporter;
    int64_t copied = c.startCount;
    int32_t percent = 0;
    copyTree("M:\\", master, "N:\\r" + std::to_string(round++), taskNumbered(2), c.total, copied, percent, reporter);
    EXPECT_EQ(copied, c.startCount + c.files);
    EXPECT_EQ(reporter.statuses, std::vector<std::string>(c.statuses.begin(), c.statuses.end())) << c.total;
  }
}

TEST_F(TreeCopy, FailedFileGivesOneRecordAndTheWalkGoesOn) {
  put("M:\\docs\\a.txt", "a");
  put("M:\\docs\\b.txt", "b");
  put("N:\\docs", "a file where the folder must go");
  put("M:\\ok\\c.txt", "c");
  RecordingReporter reporter;
  int64_t copied = 0;
  int32_t percent = 0;
  copyTree("M:\\", "M:\\", "N:\\", taskNumbered(3), 3, copied, percent, reporter);
  EXPECT_EQ(copied, 1);
  EXPECT_EQ(reporter.statuses, std::vector<std::string>{"正在复制...(33%)"});
  ASSERT_EQ(reporter.failures.size(), 2u);
  std::vector<std::string> messages;
  for (const auto& f : reporter.failures) {
    EXPECT_EQ(f.kind, "错误");
    EXPECT_NE(f.time.find("年"), std::string::npos) << f.time;
    messages.push_back(f.message);
  }
  std::sort(messages.begin(), messages.end());
  EXPECT_EQ(messages, (std::vector<std::string>{"文件：M:\\docs\\a.txt复制失败！", "文件：M:\\docs\\b.txt复制失败！"}));
  EXPECT_EQ(read("N:\\ok\\c.txt"), "c");
}

// The target drive goes away after the first copied file: every later file
// fails with its own record, nothing more is written, and nothing crashes.
struct PullingReporter : RecordingReporter {
  void afterStatus() override {
    if (statuses.size() == 1) unmapTestDrive('N');
  }
};

TEST_F(TreeCopy, TargetDrivePulledMidTree) {
  put("M:\\1.txt", "1");
  put("M:\\2.txt", "2");
  put("M:\\d\\3.txt", "3");
  put("M:\\d\\e\\4.txt", "4");
  PullingReporter reporter;
  int64_t copied = 0;
  int32_t percent = 0;
  copyTree("M:\\", "M:\\", "N:\\", taskNumbered(4), 4, copied, percent, reporter);
  EXPECT_EQ(copied, 1);
  EXPECT_EQ(reporter.statuses.size(), 1u);
  EXPECT_EQ(reporter.failures.size(), 3u);
  ASSERT_TRUE(mapTestDrive('N', dir_.file("target")));
  int files = 0;
  for (const char* f : {"N:\\1.txt", "N:\\2.txt", "N:\\d\\3.txt", "N:\\d\\e\\4.txt"}) files += exists(f);
  EXPECT_EQ(files, 1);
  EXPECT_FALSE(exists("N:\\d"));
}

TEST_F(TreeCopy, UnlistableFolderIsSkippedSilently) {
  put("M:\\a.txt", "a");
  put("M:\\d\\b.txt", "b");
  // The folders pass of the root lists M:\ a second time; its subfolder's own
  // listing (the third) is refused.
  FailingFileSystem failing(FsCall::ListFolder, 3);
  RecordingReporter reporter;
  int64_t copied = 0;
  int32_t percent = 0;
  {
    FileSystemOverride use(failing);
    copyTree("M:\\", "M:\\", "N:\\", taskNumbered(5), 2, copied, percent, reporter);
  }
  EXPECT_TRUE(failing.fired());
  EXPECT_EQ(copied, 1);
  EXPECT_TRUE(reporter.failures.empty());
  EXPECT_FALSE(exists("N:\\d"));
  // A folder that is not there at all counts as empty too.
  copyTree("M:\\", "M:\\nothing", "N:\\", taskNumbered(5), 2, copied, percent, reporter);
  EXPECT_EQ(copied, 1);
  EXPECT_TRUE(reporter.failures.empty());
}

struct StoppingReporter : RecordingReporter {
  bool stopRequested() override { return statuses.size() >= 2; }
};

TEST_F(TreeCopy, StopEndsTheWalkAtAFileBoundary) {
  for (const char* f : {"M:\\1", "M:\\2", "M:\\3", "M:\\d\\4", "M:\\d\\5"}) put(f, "x");
  StoppingReporter reporter;
  int64_t copied = 0;
  int32_t percent = 0;
  copyTree("M:\\", "M:\\", "N:\\", taskNumbered(6), 5, copied, percent, reporter);
  EXPECT_EQ(copied, 2);
  EXPECT_TRUE(reporter.failures.empty());
}

}  // namespace
}  // namespace test
}  // namespace usbdup
