// The whole duplication cycle as the operator sees it: targets plugged, their
// rows walking through the status texts, the files arriving on the sticks,
// failures in the event log, and the way out in the middle of a copy.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "driver/session.h"

namespace e2e {
namespace {

using namespace usbdup;

const char kWaiting[] = "等待执行操作...";
const char kChecking[] = "检查设备存储是否正常...";
const char kReachable[] = "设备正常，继续操作！";
const char kCopying[] = "正在复制文件到设备...";
const char kDone[] = "复制完成，请拔除！";
const char kNoMaster[] = "无母盘设备，停止操作！";
const char kNoFunction[] = "未选定任何功能，操作停止！";
const char kUnreachable[] = "设备存储无法访问，操作停止！";
const char kProgress[] = "正在复制...(";

// The percentage of a progress text; -1 for any other text.
int percentOf(const std::string& text) {
  const std::string prefix = kProgress;
  if (text.compare(0, prefix.size(), prefix) != 0 || text.size() < prefix.size() + 3) return -1;
  if (text.compare(text.size() - 2, 2, "%)") != 0) return -1;
  const std::string digits = text.substr(prefix.size(), text.size() - prefix.size() - 2);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::atoi(digits.c_str());
}

std::string joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) out += (out.empty() ? "[" : " | ") + t;
  return out + "]";
}

// The texts of one job as a poll sees them: a subsequence of `road` (progress
// texts standing in for the one entry kProgress, their percentages never
// falling), ending with `last`. Texts shorter than a poll may be missing.
::testing::AssertionResult followsRoad(const std::vector<std::string>& seen, const std::vector<std::string>& road,
                                       const std::string& last) {
  size_t at = 0;
  int lastPercent = -1;
  for (const std::string& text : seen) {
    const int percent = percentOf(text);
    const std::string step = percent >= 0 ? kProgress : text;
    while (at < road.size() && road[at] != step) ++at;
    if (at == road.size())
      return ::testing::AssertionFailure() << "\"" << text << "\" out of order in " << joined(seen);
    if (percent >= 0) {
      if (percent < lastPercent) return ::testing::AssertionFailure() << "percent fell in " << joined(seen);
      lastPercent = percent;
    }
  }
  if (seen.empty() || seen.back() != last)
    return ::testing::AssertionFailure() << "last text is not \"" << last << "\" in " << joined(seen);
  return ::testing::AssertionSuccess();
}

const std::vector<std::string> kCopyRoad = {kWaiting, kChecking, kReachable, kCopying, kProgress, kDone};

std::vector<int> percentsIn(const std::vector<std::string>& seen) {
  std::vector<int> out;
  for (const std::string& t : seen)
    if (percentOf(t) >= 0) out.push_back(percentOf(t));
  return out;
}

// Files of a tree, relative path -> bytes; folders count only through their
// files (an empty folder is not reproduced on a target).
using Tree = std::map<std::string, std::string>;

void readTreeInto(const std::string& root, const std::string& relative, Tree& tree) {
  WIN32_FIND_DATAA fd;
  const std::string folder = relative.empty() ? root : root + "\\" + relative;
  HANDLE h = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    const std::string rel = relative.empty() ? name : relative + "\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      readTreeInto(root, rel, tree);
    } else {
      readFile(root + "\\" + rel, &tree[rel]);
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

Tree readTree(const std::string& root) {
  Tree tree;
  readTreeInto(root, "", tree);
  return tree;
}

// Names the paths that differ rather than printing megabytes of contents.
::testing::AssertionResult sameTree(const Tree& expected, const Tree& actual) {
  std::string report;
  for (const auto& [path, bytes] : expected) {
    auto it = actual.find(path);
    if (it == actual.end())
      report += "\n  missing: " + path;
    else if (it->second != bytes)
      report += "\n  differs: " + path + " (" + std::to_string(it->second.size()) + " of " +
                std::to_string(bytes.size()) + " bytes)";
  }
  for (const auto& entry : actual)
    if (!expected.count(entry.first)) report += "\n  extra: " + entry.first;
  if (report.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << expected.size() << " files expected, " << actual.size() << " found:"
                                       << report;
}

// Bytes that differ from file to file, so that a file copied to the wrong
// name is told apart.
std::string pattern(const std::string& seed, size_t size) {
  std::string bytes(size, '\0');
  uint32_t x = 2166136261u;
  for (char c : seed) x = (x ^ (unsigned char)c) * 16777619u;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    bytes[i] = char(x);
  }
  return bytes;
}

bool writeAt(const std::string& root, const std::string& relative, const std::string& bytes) {
  const std::string path = root + "\\" + relative;
  return makeFolders(parentOf(path)) && writeFile(path, bytes);
}

// n files of `size` bytes under root\folder, made on the Unix side in one
// go: far faster than through Wine for trees of hundreds of files.
bool bulkFiles(const std::string& root, const std::string& folder, int n, size_t size) {
  const std::string unixRoot = unixPathOf(root);
  if (unixRoot.empty()) return false;
  return runUnix("cd " + shellQuote(unixRoot) + " && mkdir -p " + shellQuote(folder) + " && cd " +
                 shellQuote(folder) + " && head -c " + std::to_string(size) + " /dev/urandom > f0000.bin" +
                 " && for i in $(seq 1 " + std::to_string(n - 1) + "); do { printf %06d $i; head -c " +
                 std::to_string(size > 6 ? size - 6 : 0) + " f0000.bin; } > $(printf f%04d.bin $i) || exit 1; done") ==
         0;
}

class CycleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(app.start()); }

  std::string folder(const std::string& name) {
    const std::string path = tmp / name;
    makeFolders(path);
    return path;
  }

  // The sample master: nested folders, a hidden one, GBK names, an empty
  // folder, and a few larger files so that a copy lasts long enough to be
  // watched (bigFiles of bigSize bytes each).
  std::string sampleMaster(const std::string& name, int bigFiles = 4, size_t bigSize = 4u << 20) {
    const std::string root = folder(name);
    bool ok = writeAt(root, "readme.txt", "sample master\r\n") &&
              writeAt(root, "文档\\报告.txt", pattern("报告", 3000)) &&
              writeAt(root, "文档\\二级\\数据.bin", pattern("数据", 70000)) &&
              writeAt(root, "隐藏\\secret.bin", pattern("secret", 5000)) &&
              writeAt(root, "a\\b\\c\\deep.dat", pattern("deep", 100)) && makeFolders(root + "\\empty");
    for (int i = 0; i < bigFiles && ok; ++i)
      ok = writeAt(root, "big\\part" + std::to_string(i) + ".bin", pattern("big" + std::to_string(i), bigSize));
    ok = ok && SetFileAttributesA((root + "\\隐藏").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(ok) << "sample master not made in " << root;
    return root;
  }

  std::string logPath() const { return app.folder() + "\\log\\syslog.log"; }

  TempFolder tmp{"cyc"};
  Session app{tmp / "prog"};
};

TEST_F(CycleTest, OneTargetWalksTheRoadAndEndsEqualToTheMaster) {
  const std::string master = sampleMaster("master");
  const std::string target = folder("target");
  ASSERT_TRUE(app.insert('R', master));
  ASSERT_TRUE(app.setMasters("R"));
  ASSERT_TRUE(app.insert('T', target));
  ASSERT_TRUE(app.plug("T"));
  const std::vector<std::string> seen = app.watchStatus(0, 60000, kDone);
  EXPECT_TRUE(followsRoad(seen, kCopyRoad, kDone));
  // 9 files: every progress text seen is one of 11, 22, ... 100.
  for (int p : percentsIn(seen)) {
    bool valid = false;
    for (int k = 1; k <= 9; ++k) valid = valid || p == int(double(k) / 9.0 * 100.0);
    EXPECT_TRUE(valid) << p << "% is not k/9 of the files";
  }
  EXPECT_EQ(app.targetRows(), (Rows{{"T:\\", kDone}}));
  EXPECT_TRUE(sameTree(readTree(master), readTree(target)));
  EXPECT_FALSE(isFolder(target + "\\empty")) << "an empty master folder is not reproduced";
  EXPECT_TRUE(isFolder(target + "\\隐藏"));
  EXPECT_TRUE(fileLines(logPath()).empty()) << "nothing failed, nothing logged";
  EXPECT_EQ(app.quit(), 0);
}

// Polls the status texts of several jobs at once and notes, per job, when
// it left "等待执行操作..." and when it first showed its final text.
struct JobTimes {
  DWORD started = 0, ended = 0;
  std::string last;
};

std::map<long long, JobTimes> watchJobs(const Session& app, const std::vector<long long>& ids, const std::string& final,
                                        DWORD timeoutMs) {
  std::map<long long, JobTimes> times;
  RemoteListView list(app.control(idTargetList));
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD now = GetTickCount();
    size_t ended = 0;
    for (int r = 0, n = list.rowCount(); r < n; ++r) {
      const long long id = list.rowValue(r);
      JobTimes& t = times[id];
      t.last = list.cell(r, 1);
      if (!t.started && t.last != kWaiting) t.started = now;
      if (!t.ended && t.last == final) t.ended = now;
    }
    for (long long id : ids) ended += times[id].ended != 0;
    if (ended == ids.size() || now - start > timeoutMs) return times;
    Sleep(1);
  }
}

TEST_F(CycleTest, TargetsOfOneNoticeAreServedInOrderASecondApart) {
  const std::string master = sampleMaster("master", 2, 2u << 20);
  ASSERT_TRUE(app.insert('R', master));
  ASSERT_TRUE(app.setMasters("R"));
  const std::string letters = "TUV";
  for (char l : letters) ASSERT_TRUE(app.insert(l, folder(std::string("t") + l)));
  const DWORD plugged = GetTickCount();
  ASSERT_TRUE(app.plug(letters));
  std::map<long long, JobTimes> times = watchJobs(app, {0, 1, 2}, kDone, 60000);
  for (long long id : {0, 1, 2}) {
    ASSERT_NE(times[id].ended, 0u) << "job " << id << " stopped at \"" << times[id].last << "\"";
    std::printf("job %lld: started %lu ms, ended %lu ms after the notice\n", id, times[id].started - plugged,
                times[id].ended - plugged);
  }
  // The first job waits for the timer's next tick; a timer still running
  // from an earlier arrival keeps its rhythm, so that tick may come sooner.
  EXPECT_LE(times[0].started - plugged, 3000u);
  for (long long id : {1, 2}) {
    const JobTimes& before = times[id - 1];
    ASSERT_GE(times[id].started, before.ended) << "job " << id << " started before job " << id - 1 << " ended";
    const DWORD gap = times[id].started - before.ended;
    EXPECT_GE(gap, 800u) << "job " << id;
    EXPECT_LE(gap, 3000u) << "job " << id;
  }
  const Tree expected = readTree(master);
  for (char l : letters) EXPECT_TRUE(sameTree(expected, readTree(tmp / (std::string("t") + l)))) << l << ":";
  EXPECT_EQ(app.quit(), 0);
}

TEST_F(CycleTest, TargetPluggedDuringACopyWaitsForIt) {
  const std::string master = sampleMaster("master", 8, 8u << 20);
  ASSERT_TRUE(app.insert('R', master));
  ASSERT_TRUE(app.setMasters("R"));
  ASSERT_TRUE(app.insert('T', folder("t1")));
  ASSERT_TRUE(app.insert('U', folder("t2")));
  ASSERT_TRUE(app.plug("T"));
  ASSERT_TRUE(waitUntil([&] { return percentOf(app.targetStatus(0)) >= 0; }, 10000, 1)) << app.targetStatus(0);
  ASSERT_TRUE(app.plug("U"));
  const Rows rows = app.targetRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "T:\\");
  EXPECT_EQ(rows[1], (std::vector<std::string>{"U:\\", kWaiting}));
  // The second row keeps waiting until the first job is over.
  bool waitedThrough = waitUntil([&] {
    const std::string second = app.targetStatus(1);
    EXPECT_TRUE(second == kWaiting || app.targetStatus(0) == kDone) << second << " while the first job runs";
    return app.targetStatus(0) == kDone;
  }, 60000, 1);
  ASSERT_TRUE(waitedThrough);
  EXPECT_TRUE(followsRoad(app.watchStatus(1, 60000, kDone), kCopyRoad, kDone));
  const Tree expected = readTree(master);
  EXPECT_TRUE(sameTree(expected, readTree(tmp / "t1")));
  EXPECT_TRUE(sameTree(expected, readTree(tmp / "t2")));
}

// Jobs that copy nothing: the switches, a missing master, a drive that
// cannot be reached. Each in a fresh program.
struct NoCopyCase {
  const char* name;
  bool master, reachable, copy, format;
  std::vector<std::string> road;  // texts that may be seen, in order
  const char* last;
  DWORD watchMs;  // watched this long (or until `last` for a changing row)
};

TEST_F(CycleTest, JobsThatCopyNothing) {
  const NoCopyCase cases[] = {
      {"copy off, format on", true, true, false, true, {kWaiting}, kWaiting, 3000},
      {"both off", true, true, false, false, {kWaiting, kNoFunction}, kNoFunction, 10000},
      {"no master", false, true, true, false, {kWaiting, kChecking, kReachable, kCopying, kDone, kNoMaster}, kNoMaster,
       10000},
      {"unreachable target", true, false, true, false, {kWaiting, kChecking, kUnreachable}, kUnreachable, 10000},
  };
  const std::string master = sampleMaster("master", 0);
  app.quit();
  int n = 0;
  for (const NoCopyCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string target = folder("target" + std::to_string(n));
    Session run(tmp / ("prog" + std::to_string(n++)));
    ASSERT_TRUE(run.start());
    if (c.master) {
      ASSERT_TRUE(run.insert('R', master));
      ASSERT_TRUE(run.setMasters("R"));
    }
    setChecked(run.control(idCopySwitch), c.copy);
    setChecked(run.control(idFormatSwitch), c.format);
    if (c.reachable) {
      ASSERT_TRUE(run.insert('T', target));
    }
    ASSERT_TRUE(run.plug("T"));
    const std::string until = std::string(c.last) == kWaiting ? "" : c.last;
    const std::vector<std::string> seen = run.watchStatus(0, c.watchMs, until);
    EXPECT_TRUE(followsRoad(seen, c.road, c.last));
    EXPECT_TRUE(readTree(target).empty());
    EXPECT_EQ(run.quit(), 0);
  }
}

TEST_F(CycleTest, TwoMastersCountOnInOneJob) {
  // Three files on each master; the second also holds many empty folders
  // after its files, which keep the job going after the last file so that
  // the 100% is seen.
  const std::string first = folder("m1");
  const std::string second = folder("m2");
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(writeAt(first, "r" + std::to_string(i) + ".bin", pattern("r" + std::to_string(i), 8u << 20)));
    ASSERT_TRUE(writeAt(second, "s\\s" + std::to_string(i) + ".bin", pattern("s" + std::to_string(i), 8u << 20)));
  }
  ASSERT_EQ(runUnix("cd " + shellQuote(unixPathOf(second)) +
                    " && mkdir zz && cd zz && seq 1 3000 | sed 's/^/e/' | xargs mkdir"),
            0);
  const std::string target = folder("target");
  ASSERT_TRUE(app.insert('R', first));
  ASSERT_TRUE(app.insert('S', second));
  ASSERT_TRUE(app.setMasters("RS"));
  ASSERT_TRUE(app.insert('T', target));
  ASSERT_TRUE(app.plug("T"));
  const std::vector<std::string> seen = app.watchStatus(0, 60000, kDone);
  ASSERT_TRUE(followsRoad(seen, kCopyRoad, kDone));
  const std::vector<int> percents = percentsIn(seen);
  for (int p : percents) EXPECT_TRUE(p == 16 || p == 33 || p == 50 || p == 66 || p == 83 || p == 100) << p;
  ASSERT_FALSE(percents.empty());
  EXPECT_GT(percents.back(), 50) << "the second master's files start again from 0 in " << joined(seen);
  EXPECT_EQ(percents.back(), 100) << joined(seen);
  Tree expected = readTree(first);
  for (const auto& entry : readTree(second)) expected.insert(entry);
  EXPECT_TRUE(sameTree(expected, readTree(target)));
}

// One log line as the program writes it: time|错误|文件：<path>复制失败！,
// the time as 2024年3月5日9时7分2秒 with the trailing zero fields left off.
// Answers the path, or "" when the line is not of that form.
bool isTimeText(const std::string& t) {
  const char* const units[] = {"年", "月", "日", "时", "分", "秒"};
  size_t at = 0;
  int fields = 0;
  for (const char* unit : units) {
    const size_t digits = t.find_first_not_of("0123456789", at);
    if (digits == at || digits == std::string::npos) break;
    if (t.compare(digits, strlen(unit), unit) != 0) return false;
    at = digits + strlen(unit);
    ++fields;
  }
  return at == t.size() && fields >= 3;
}

std::string failedPathOf(const std::string& line) {
  const size_t bar = line.find('|');  // the time text holds no byte 0x7C
  if (bar == std::string::npos || !isTimeText(line.substr(0, bar))) return "";
  const std::string head = "|错误|文件：";
  const std::string tail = "复制失败！";
  if (line.compare(bar, head.size(), head) != 0 || line.size() < bar + head.size() + tail.size()) return "";
  if (line.compare(line.size() - tail.size(), tail.size(), tail) != 0) return "";
  return line.substr(bar + head.size(), line.size() - bar - head.size() - tail.size());
}

TEST(LogLineFormat, ReadsTheLinesTheProgramWrites) {
  const struct {
    const char* line;
    const char* path;
  } cases[] = {
      {"2024年3月5日9时7分2秒|错误|文件：R:\\d\\f.bin复制失败！", "R:\\d\\f.bin"},
      {"2024年3月5日9时7分|错误|文件：R:\\a.txt复制失败！", "R:\\a.txt"},
      {"2024年3月5日|错误|文件：R:\\文档\\报告.txt复制失败！", "R:\\文档\\报告.txt"},
      {"2024年3月5日9时7分2秒|提示|文件：R:\\a.txt复制失败！", ""},
      {"2024-03-05 09:07:02|错误|文件：R:\\a.txt复制失败！", ""},
      {"2024年3月5日9时7分2秒|错误|文件：R:\\a.txt", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(failedPathOf(c.line), c.path) << c.line;
}

TEST_F(CycleTest, TargetPulledMidCopyLogsEveryRemainingFileAndTheNextIsServed) {
  const std::string master = folder("master");
  ASSERT_TRUE(bulkFiles(master, "d1", 150, 256u << 10));
  ASSERT_TRUE(bulkFiles(master, "d2\\d3", 150, 256u << 10));
  ASSERT_TRUE(writeAt(master, "文档\\报告.txt", pattern("报告", 3000)));
  const std::string pulled = folder("pulled");
  const std::string next = folder("next");
  ASSERT_TRUE(app.insert('R', master));
  ASSERT_TRUE(app.setMasters("R"));
  ASSERT_TRUE(app.insert('T', pulled));
  ASSERT_TRUE(app.insert('U', next));
  ASSERT_TRUE(app.plug("TU"));
  ASSERT_TRUE(waitUntil([&] { return percentOf(app.targetStatus(0)) >= 5; }, 20000, 1)) << app.targetStatus(0);
  ASSERT_TRUE(app.pull("T"));
  EXPECT_EQ(app.targetRows(), (Rows{{"U:\\", kWaiting}})) << "the pulled target's row goes at once";
  EXPECT_TRUE(followsRoad(app.watchStatus(1, 120000, kDone), kCopyRoad, kDone));
  const Tree expected = readTree(master);
  EXPECT_TRUE(sameTree(expected, readTree(next)));

  // Every file of the master either reached the pulled stick whole before
  // it went, or failed and is in the log exactly once, by its full path.
  std::string raw;
  ASSERT_TRUE(readFile(logPath(), &raw));
  std::map<std::string, int> logged;
  size_t lines = 0;
  for (size_t pos = 0; pos < raw.size();) {
    size_t end = raw.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos) << "a line without CR LF at byte " << pos;
    const std::string line = raw.substr(pos, end - pos);
    ASSERT_EQ(line.find('\n'), std::string::npos) << "a bare LF in: " << line;
    const std::string path = failedPathOf(line);
    EXPECT_FALSE(path.empty()) << "not a failure line: " << line;
    ++logged[path];
    ++lines;
    pos = end + 2;
  }
  const Tree onStick = readTree(pulled);
  size_t copied = 0, failed = 0;
  for (const auto& [rel, bytes] : expected) {
    const std::string source = "R:\\" + rel;
    auto it = onStick.find(rel);
    const bool whole = it != onStick.end() && it->second == bytes;
    const int times = logged.count(source) ? logged[source] : 0;
    if (whole) {
      ++copied;
      EXPECT_EQ(times, 0) << source << " copied and logged";
    } else {
      ++failed;
      EXPECT_EQ(times, 1) << source << " not on the stick";
      EXPECT_TRUE(it == onStick.end()) << source << " left partly copied";
    }
  }
  std::printf("pulled stick: %zu files copied, %zu failed, %zu log lines\n", copied, failed, lines);
  EXPECT_GT(copied, 0u);
  EXPECT_GT(failed, 0u) << "the stick was pulled after the copy had ended";
  EXPECT_EQ(lines, failed) << "log lines for files that were copied or are not on the master";
  EXPECT_TRUE(app.app().running());
  EXPECT_EQ(app.quit(), 0);
}

TEST_F(CycleTest, FilesAlreadyOnTheTargetStayAndTheCopiesGoBeside) {
  const std::string master = sampleMaster("master", 1, 1u << 20);
  const std::string target = folder("target");
  const Tree old = {{"readme.txt", "old readme"},
                    {"文档\\报告.txt", "old report"},
                    {"文档\\1_报告.txt", "an earlier copy"},
                    {"other\\keep.txt", "not on the master"}};
  for (const auto& [rel, bytes] : old) ASSERT_TRUE(writeAt(target, rel, bytes));
  ASSERT_TRUE(app.insert('R', master));
  ASSERT_TRUE(app.setMasters("R"));
  ASSERT_TRUE(app.insert('T', target));
  ASSERT_TRUE(app.plug("T"));
  EXPECT_TRUE(followsRoad(app.watchStatus(0, 60000, kDone), kCopyRoad, kDone));

  Tree expected = readTree(master);
  expected["1_readme.txt"] = expected["readme.txt"];
  expected["文档\\2_1_报告.txt"] = expected["文档\\报告.txt"];
  for (const auto& [rel, bytes] : old) expected[rel] = bytes;
  EXPECT_TRUE(sameTree(expected, readTree(target)));
}

TEST_F(CycleTest, ExitDuringACopyEndsCleanlyAndLeavesNoPartialFile) {
  const std::string master = folder("master");
  ASSERT_TRUE(bulkFiles(master, "big", 24, 16u << 20));
  const std::string target = folder("target");
  ASSERT_TRUE(app.insert('R', master));
  ASSERT_TRUE(app.setMasters("R"));
  ASSERT_TRUE(app.insert('T', target));
  ASSERT_TRUE(app.plug("T"));
  ASSERT_TRUE(waitUntil([&] { return percentOf(app.targetStatus(0)) >= 0; }, 20000, 1)) << app.targetStatus(0);
  const DWORD asked = GetTickCount();
  EXPECT_EQ(app.quit(), 0);
  std::printf("exit took %lu ms\n", GetTickCount() - asked);

  const Tree expected = readTree(master);
  const Tree onStick = readTree(target);
  for (const auto& [rel, bytes] : onStick) {
    auto it = expected.find(rel);
    ASSERT_NE(it, expected.end()) << rel << " is not a master file";
    EXPECT_TRUE(it->second == bytes) << rel << ": " << bytes.size() << " of " << it->second.size() << " bytes";
  }
  std::printf("%zu of %zu files on the stick at exit\n", onStick.size(), expected.size());
  EXPECT_LT(onStick.size(), expected.size()) << "the copy had ended before the exit: nothing was proven";
}

}  // namespace
}  // namespace e2e
