// Failed files reach the event log file: the records that the tree copy hands
// to addLogEntry are read back, byte for byte, by a fresh EventLog from the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "copy/tree_copy.h"
#include "copy_fixture.h"
#include "eventlog/event_log.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace usbdup {
namespace test {
namespace {

// Appends every failure to a real event log, as the copy worker does, and
// keeps what it was given for comparison.
struct LoggingReporter : CopyReporter {
  explicit LoggingReporter(EventLog& log) : log(log) {}
  void showStatus(int32_t, const std::string& text) override { statuses.push_back(text); }
  void logFailure(const std::string& time, const std::string& kind, const std::string& message) override {
    given.push_back({time, kind, message});
    appended += addLogEntry(log, time, kind, message) ? 1 : 0;
  }
  EventLog& log;
  std::vector<LogRecord> given;
  std::vector<std::string> statuses;
  int appended = 0;
};

std::string line(const LogRecord& r) { return r.time + "|" + r.kind + "|" + r.message + "\r\n"; }

using FailureLog = CopyFixture;

TEST_F(FailureLog, RecordsOfFailedFilesReadBackFromTheFile) {
  put("M:\\top.txt", "t");
  put("M:\\docs\\a.txt", "a");
  put("M:\\docs\\中文\\b.txt", "b");
  put("N:\\blocked", "a file where the target root must go");
  std::vector<std::string> expectedMessages = {
      "文件：M:\\docs\\a.txt复制失败！",
      "文件：M:\\docs\\中文\\b.txt复制失败！",
      "文件：M:\\top.txt复制失败！",
  };
  std::sort(expectedMessages.begin(), expectedMessages.end());
  // Neither target can be reached: a drive that is not there, and a root
  // whose place is taken by a file.
  for (const char* target : {"O:\\", "N:\\blocked"}) {
    SCOPED_TRACE(target);
    TempDir logDir;
    const std::string path = logDir.file("syslog.log");
    EventLog log;
    ASSERT_TRUE(log.open(path));
    ASSERT_TRUE(log.load());

    LoggingReporter reporter(log);
    CopyTask task;
    task.taskId = 9;
    task.rootPath = target;
    int64_t copied = 0;
    int32_t percent = 0;
    const std::string before = timeText(localNow());
    copyTree("M:\\", "M:\\", target, task, 3, copied, percent, reporter);
    const std::string after = timeText(localNow());

    EXPECT_EQ(copied, 0);
    EXPECT_EQ(percent, 0);
    EXPECT_TRUE(reporter.statuses.empty());
    ASSERT_EQ(reporter.given.size(), 3u);
    EXPECT_EQ(reporter.appended, 3);

    // The file holds exactly one "time|kind|message" CR LF line per failed file.
    std::string expectedBytes;
    for (const LogRecord& r : reporter.given) expectedBytes += line(r);
    EXPECT_EQ(readHostFile(path), expectedBytes);

    EventLog fresh;
    ASSERT_TRUE(fresh.open(path));
    ASSERT_TRUE(fresh.load());
    const std::vector<LogRecord> loaded = fresh.allRecords();
    ASSERT_EQ(loaded.size(), 3u);
    std::vector<std::string> messages;
    for (size_t i = 0; i < loaded.size(); ++i) {
      const LogRecord& r = loaded[i];
      EXPECT_EQ(r.time, reporter.given[i].time) << "record " << i;
      EXPECT_TRUE(r.time == before || r.time == after) << r.time << " not between " << before << " and " << after;
      EXPECT_EQ(r.kind, "错误") << "record " << i;
      messages.push_back(r.message);
    }
    std::sort(messages.begin(), messages.end());
    EXPECT_EQ(messages, expectedMessages);
  }
  EXPECT_FALSE(exists("N:\\blocked\\top.txt"));
  EXPECT_EQ(read("N:\\blocked"), "a file where the target root must go");
}

}  // namespace
}  // namespace test
}  // namespace usbdup
