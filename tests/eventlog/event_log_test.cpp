#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eventlog/event_log.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace usbdup {

// Found by argument lookup from std::vector's comparison.
bool operator==(const LogRecord& a, const LogRecord& b) {
  return a.time == b.time && a.kind == b.kind && a.message == b.message;
}

namespace {

using test::hostFileExists;
using test::makeHostFolder;
using test::pathSeparator;
using test::readHostFile;
using test::removeHostFile;
using test::TempDir;
using test::writeHostFile;

using Records = std::vector<LogRecord>;

std::string show(const Records& records) {
  std::string out;
  for (const LogRecord& r : records) out += "(" + r.time + ", " + r.kind + ", " + r.message + ") ";
  return out.empty() ? "(none)" : out;
}

Records loadBytes(const std::string& bytes) {
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  EXPECT_TRUE(writeHostFile(path, bytes));
  EventLog log;
  EXPECT_TRUE(log.open(path));
  EXPECT_TRUE(log.load());
  return log.allRecords();
}

TEST(EventLogLoad, LinesBecomeRecords) {
  const struct {
    const char* name;
    std::string bytes;
    Records records;
  } cases[] = {
      {"chinese line", "2024年3月5日9时7分2秒|错误|文件：E:\\a.txt复制失败！\r\n",
       {{"2024年3月5日9时7分2秒", "错误", "文件：E:\\a.txt复制失败！"}}},
      {"two fields skipped", "a|b\r\n", {}},
      {"fourth field ignored", "a|b|c|d\r\n", {{"a", "b", "c"}}},
      {"empty middle field", "a||c\r\n", {{"a", "", "c"}}},
      {"trailing separator skipped", "a|b|\r\n", {}},
      {"three empty fields", "|||\r\n", {{"", "", ""}}},
      {"empty lines skipped", "\r\n\n\r\nx|y|z\r\n\r\n", {{"x", "y", "z"}}},
      {"LF alone and no final line end", "a|b|c\nd|e|f", {{"a", "b", "c"}, {"d", "e", "f"}}},
      {"CR inside a field is kept", "a\rb|k|m\r\r\n", {{"a\rb", "k", "m\r"}}},
      {"trail byte 0x7C is no separator", "\x81|t|k|m\r\n", {{"\x81|t", "k", "m"}}},
      {"run of double-byte characters", "\xB1\xED\xB8\xF1|k|\xB9\xA6\r\n", {{"\xB1\xED\xB8\xF1", "k", "\xB9\xA6"}}},
      {"lone lead byte before CR LF", "a|b|c\xB1\r\nd|e|f\r\n", {{"a", "b", "c\xB1"}, {"d", "e", "f"}}},
      {"lone lead byte before LF", "a|b|\xB1\nd|e|f", {{"a", "b", "\xB1"}, {"d", "e", "f"}}},
      // NUL and 0x1A end the line and are skipped; a CR before them stays.
      {"NUL ends a line", std::string("a|b|c\0d|e|f\r\n", 13), {{"a", "b", "c"}, {"d", "e", "f"}}},
      {"0x1A ends a line", "a|b|c\x1A" "d|e|f\x1A\x1A" "g|h|i\r", {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i\r"}}},
      {"NUL inside a field cuts it", std::string("a|b\0|c|d\r\n", 10), {{"", "c", "d"}}},
      {"zero-filled tail", std::string("a|b|c\r\n") + std::string(5000, '\0'), {{"a", "b", "c"}}},
      {"empty file", "", {}},
  };
  for (const auto& c : cases) {
    const Records got = loadBytes(c.bytes);
    EXPECT_TRUE(got == c.records) << c.name << ": got " << show(got) << " want " << show(c.records);
  }
}

TEST(EventLogLoad, LongLinesAndLinesAcrossReadBlocks) {
  // A 10 MB record, a 10 MB line without separators, then records whose lines
  // cross the reader's block edges at every offset of a CR LF pair.
  std::string bytes;
  const std::string big(10 << 20, 'm');
  bytes += "t|k|" + big + "\r\n";
  bytes += big + "\r\n";
  std::vector<std::string> messages;
  for (int i = 0; bytes.size() < (13u << 20); ++i) {
    messages.push_back("message " + std::to_string(i) + std::string(i % 97, 'x'));
    bytes += "2024|错误|" + messages.back() + "\r\n";
  }
  bytes += "last|k|no line end";

  const Records got = loadBytes(bytes);
  ASSERT_EQ(got.size(), messages.size() + 2);
  EXPECT_EQ(got.front().message.size(), big.size());
  for (size_t i = 0; i < messages.size(); ++i) {
    ASSERT_EQ(got[i + 1].message, messages[i]) << "record " << i + 1;
    ASSERT_EQ(got[i + 1].kind, "错误");
  }
  EXPECT_EQ(got.back().message, "no line end");
}

TEST(EventLogOpen, CreatesAMissingFileAndLeavesAnExistingOne) {
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  EventLog log;
  EXPECT_TRUE(log.open(path));
  EXPECT_TRUE(hostFileExists(path));
  EXPECT_TRUE(log.load());
  EXPECT_EQ(log.recordCount(), 0);
  EXPECT_EQ(log.logPath(), path);

  writeHostFile(path, "a|b|c\r\n");
  ASSERT_TRUE(log.load());
  EXPECT_EQ(log.recordCount(), 1);
  EXPECT_TRUE(log.open(path));  // forgets the records, keeps the file
  EXPECT_EQ(log.recordCount(), 0);
  EXPECT_EQ(readHostFile(path), "a|b|c\r\n");
}

TEST(EventLogOpen, Failures) {
  TempDir dir;
  const std::string good = dir.file("syslog.log");
  EventLog log;
  EXPECT_FALSE(log.open(""));
  EXPECT_EQ(log.logPath(), "");
  ASSERT_TRUE(log.open(good));
  EXPECT_FALSE(log.open(""));  // the earlier path stays
  EXPECT_EQ(log.logPath(), good);

  const std::string noFolder = dir.file("missing") + pathSeparator() + "syslog.log";
  EXPECT_FALSE(log.open(noFolder));
  EXPECT_EQ(log.logPath(), noFolder);
  EXPECT_FALSE(log.load());
}

TEST(EventLogLoad, AFolderOrAMissingFileLeavesTheRecords) {
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  writeHostFile(path, "a|b|c\r\n");
  EventLog log;
  ASSERT_TRUE(log.open(path));
  ASSERT_TRUE(log.load());
  removeHostFile(path);
  EXPECT_FALSE(log.load());
  EXPECT_EQ(log.recordCount(), 1);

  log.open(dir.path());  // a folder of that name exists: open answers true
  EXPECT_EQ(log.recordCount(), 0);
  log.append({"x", "y", "z"});
  EXPECT_FALSE(log.load());
  EXPECT_EQ(log.recordCount(), 1);
}

TEST(EventLogAppend, AddsLinesAfterThoseOfStartUp) {
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  const std::string startUp = "old|错误|one\r\nnot a record\r\n";
  writeHostFile(path, startUp);
  EventLog log;
  ASSERT_TRUE(log.open(path));
  ASSERT_TRUE(log.load());
  EXPECT_TRUE(log.append({"t1", "错误", "文件：E:\\a|b.txt复制失败！"}));
  EXPECT_TRUE(addLogEntry(log, "t2", "错误", ""));
  EXPECT_EQ(readHostFile(path), startUp + "t1|错误|文件：E:\\a|b.txt复制失败！\r\nt2|错误|\r\n");
  EXPECT_EQ(log.recordCount(), 3);
  EXPECT_EQ(log.recordAt(3).kind, "错误");

  // Read back: the "|" in the message cuts it, and the empty message is lost.
  ASSERT_TRUE(log.load());
  const Records want = {{"old", "错误", "one"}, {"t1", "错误", "文件：E:\\a"}};
  EXPECT_TRUE(log.allRecords() == want) << show(log.allRecords());
}

TEST(EventLogAppend, RecreatesALogDeletedWhileRunning) {
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  EventLog log;
  ASSERT_TRUE(log.open(path));
  ASSERT_TRUE(log.append({"a", "b", "c"}));
  ASSERT_TRUE(removeHostFile(path));
  EXPECT_TRUE(log.append({"d", "e", "f"}));
  EXPECT_EQ(readHostFile(path), "d|e|f\r\n");
  EXPECT_EQ(log.recordCount(), 2);
}

TEST(EventLogAppend, KeepsTheRecordWhenTheFileCannotBeWritten) {
  TempDir dir;
  EventLog log;
  // The folder is gone: nothing can be created.
  const std::string noFolder = dir.file("gone") + pathSeparator() + "syslog.log";
  EXPECT_FALSE(log.open(noFolder));
  EXPECT_FALSE(log.append({"a", "b", "c"}));
  EXPECT_EQ(log.recordCount(), 1);
  EXPECT_FALSE(hostFileExists(noFolder));

  // A folder stands where the file should be: it is neither emptied nor replaced.
  const std::string folder = dir.file("syslog.log");
  const std::string inside = folder + pathSeparator() + "keep.txt";
  ASSERT_TRUE(makeHostFolder(folder));
  ASSERT_TRUE(writeHostFile(inside, "keep"));
  EXPECT_TRUE(log.open(folder));
  EXPECT_FALSE(log.append({"a", "b", "c"}));
  EXPECT_EQ(log.recordCount(), 1);
  EXPECT_EQ(readHostFile(inside), "keep");

  EventLog never;  // never opened
  EXPECT_FALSE(never.append({"a", "b", "c"}));
  EXPECT_EQ(never.recordCount(), 1);
}

TEST(EventLog, RecordAtOutsideTheRangeGivesTheLast) {
  EventLog log;
  EXPECT_TRUE(log.recordAt(1) == LogRecord{});  // an empty log gives an empty record
  EXPECT_TRUE(log.recordAt(0) == LogRecord{});
  for (const char* t : {"1", "2", "3"}) log.append({t, "k", "m"});
  const struct {
    int32_t index;
    const char* time;
  } cases[] = {{1, "1"}, {2, "2"}, {3, "3"}, {0, "3"}, {4, "3"}, {-1, "3"}, {INT32_MIN, "3"}, {INT32_MAX, "3"}};
  for (const auto& c : cases) EXPECT_EQ(log.recordAt(c.index).time, c.time) << "index " << c.index;
}

TEST(EventLog, SaveAllClearAndClone) {
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  EventLog log;
  ASSERT_TRUE(log.open(path));
  log.noOperation();
  writeHostFile(path, "junk\r\n");
  log.append({"a", "b", "c"});
  log.append({"d", "e", ""});

  std::unique_ptr<EventLog> copy = log.clone();
  EXPECT_EQ(copy->logPath(), path);
  EXPECT_TRUE(copy->allRecords() == log.allRecords());

  EXPECT_TRUE(log.saveAll());
  EXPECT_EQ(readHostFile(path), "a|b|c\r\nd|e|\r\n");

  EXPECT_TRUE(log.clear());
  EXPECT_EQ(log.recordCount(), 0);
  EXPECT_TRUE(hostFileExists(path));
  EXPECT_EQ(readHostFile(path), "");
  EXPECT_EQ(copy->recordCount(), 2);  // the clone shares nothing

  EXPECT_TRUE(log.createFile());
  EXPECT_FALSE(EventLog().createFile());
  EXPECT_FALSE(EventLog().saveAll());
  EXPECT_TRUE(EventLog().clear());
}

// Wraps the platform's files, counts the opens and reads of a load and breaks
// the one a test picks, and tells the reader a chosen size for the file.
class BreakingFileSystem : public FileSystem {
 public:
  enum class Size { True, Unknown, Zero, Double };
  int failOpen = 0;  // the Nth openFile (1-based) answers null; 0: none
  int failRead = 0;  // the Nth read (1-based, over all files) answers -1; 0: none
  Size size = Size::True;
  int opens = 0;
  int reads = 0;

  bool entryExists(const std::string& p) override { return real().entryExists(p); }
  bool folderExists(const std::string& p) override { return real().folderExists(p); }
  bool createFolder(const std::string& p) override { return real().createFolder(p); }
  bool deleteFile(const std::string& p) override { return real().deleteFile(p); }
  bool replaceFile(const std::string& a, const std::string& b) override { return real().replaceFile(a, b); }
  bool readAttributes(const std::string& p, uint32_t& b) override { return real().readAttributes(p, b); }
  bool writeAttributes(const std::string& p, uint32_t b) override { return real().writeAttributes(p, b); }
  std::unique_ptr<Listing> listFolder(const std::string& p) override { return real().listFolder(p); }
  bool copyFile(const std::string& a, const std::string& b) override { return real().copyFile(a, b); }
  std::vector<std::string> driveList() override { return real().driveList(); }
  bool volumeTotalSize(const std::string& r, uint64_t& b) override { return real().volumeTotalSize(r, b); }
  std::unique_ptr<File> openFile(const std::string& p, OpenMode m) override {
    if (++opens == failOpen) return nullptr;
    std::unique_ptr<File> f = real().openFile(p, m);
    if (!f) return f;
    return std::make_unique<Breaking>(std::move(f), *this);
  }

 private:
  struct Breaking : File {
    Breaking(std::unique_ptr<File> f, BreakingFileSystem& o) : inner(std::move(f)), owner(o) {}
    long long read(char* b, size_t s) override { return ++owner.reads == owner.failRead ? -1 : inner->read(b, s); }
    bool write(const char* d, size_t s) override { return inner->write(d, s); }
    long long size() override {
      const long long real = inner->size();
      switch (owner.size) {
        case Size::True: return real;
        case Size::Unknown: return -1;
        case Size::Zero: return 0;  // the file grew after its size was taken
        case Size::Double: return 2 * real;  // ... or shrank
      }
      return real;
    }
    std::unique_ptr<File> inner;
    BreakingFileSystem& owner;
  };
  static FileSystem& real() { return platformFileSystem(); }
};

const char* sizeName(BreakingFileSystem::Size s) {
  static const char* const names[] = {"true size", "size unknown", "size 0", "size doubled"};
  return names[static_cast<int>(s)];
}

TEST(EventLogLoad, EveryFailurePointLeavesTheRecords) {
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  const std::string bytes = "a|b|c\r\n" + std::string(3 << 20, 'x') + "\r\nd|e|f\r\n";
  writeHostFile(path, bytes);
  EventLog log;
  ASSERT_TRUE(log.open(path));
  log.append({"kept", "k", "m"});  // in memory and at the end of the file

  using Size = BreakingFileSystem::Size;
  for (Size size : {Size::True, Size::Unknown, Size::Zero, Size::Double}) {
    // A load that works, to learn how many opens and reads there are to break.
    BreakingFileSystem counting;
    counting.size = size;
    {
      EventLog probe;
      ASSERT_TRUE(probe.open(path));
      setFileSystem(&counting);
      const bool loaded = probe.load();
      setFileSystem(nullptr);
      ASSERT_TRUE(loaded) << sizeName(size);
      ASSERT_EQ(probe.recordCount(), 3) << sizeName(size);
      EXPECT_EQ(probe.recordAt(2).time, "d") << sizeName(size);
      EXPECT_EQ(probe.recordAt(3).time, "kept") << sizeName(size);
    }
    ASSERT_GE(counting.reads, 2) << sizeName(size);  // the end of the file is read too

    for (int nth = 1; nth <= counting.opens + counting.reads; ++nth) {
      BreakingFileSystem broken;
      broken.size = size;
      const bool breakOpen = nth <= counting.opens;
      (breakOpen ? broken.failOpen : broken.failRead) = breakOpen ? nth : nth - counting.opens;
      setFileSystem(&broken);
      const bool loaded = log.load();
      setFileSystem(nullptr);
      const std::string which = std::string(sizeName(size)) + (breakOpen ? ", open " : ", read ") +
                                std::to_string(breakOpen ? broken.failOpen : broken.failRead);
      EXPECT_FALSE(loaded) << which;
      ASSERT_EQ(log.recordCount(), 1) << which;
      EXPECT_EQ(log.recordAt(1).time, "kept") << which;
    }
  }
  EXPECT_EQ(readHostFile(path), bytes + "kept|k|m\r\n");
  EXPECT_TRUE(log.load());
  ASSERT_EQ(log.recordCount(), 3);
  EXPECT_EQ(log.recordAt(2).time, "d");
}

TEST(EventLogLoad, ManyShortRecords) {
  // Far more records than a log of real lines of this size would hold.
  std::string bytes;
  const int count = 200000;
  for (int i = 0; i < count; ++i) bytes += std::to_string(i % 10) + "||\x1A";
  const Records got = loadBytes(bytes);
  ASSERT_EQ(got.size(), 0u) << "a|| holds two pieces only";

  bytes.clear();
  for (int i = 0; i < count; ++i) bytes += std::to_string(i) + "|k|m\n";
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  writeHostFile(path, bytes);
  EventLog log;
  ASSERT_TRUE(log.open(path));
  ASSERT_TRUE(log.load());
  ASSERT_EQ(log.recordCount(), count);
  for (int i : {1, 2, 1000, 123457, count}) EXPECT_EQ(log.recordAt(i).time, std::to_string(i - 1)) << "record " << i;
}

TEST(EventLog, LoadedAndAppendedRecordsTogether) {
  TempDir dir;
  const std::string path = dir.file("syslog.log");
  writeHostFile(path, "t1|k|m1|extra\r\njunk\r\nt2||m2\n\x81|x|k|m3");
  EventLog log;
  ASSERT_TRUE(log.open(path));
  ASSERT_TRUE(log.load());
  ASSERT_TRUE(log.append({"t4", "k", "m|4"}));
  const Records want = {{"t1", "k", "m1"}, {"t2", "", "m2"}, {"\x81|x", "k", "m3"}, {"t4", "k", "m|4"}};
  EXPECT_TRUE(log.allRecords() == want) << show(log.allRecords());
  ASSERT_EQ(log.recordCount(), 4);
  const struct {
    int32_t index;
    size_t want;
  } cases[] = {{1, 0}, {3, 2}, {4, 3}, {0, 3}, {5, 3}};
  for (const auto& c : cases) EXPECT_TRUE(log.recordAt(c.index) == want[c.want]) << "index " << c.index;

  // A clone keeps its records whatever the original does afterwards.
  std::unique_ptr<EventLog> copy = log.clone();
  EXPECT_TRUE(log.clear());
  EXPECT_EQ(log.recordCount(), 0);
  EXPECT_TRUE(log.recordAt(1) == LogRecord{});
  EXPECT_TRUE(copy->allRecords() == want) << show(copy->allRecords());

  // The clone writes its records as lines of three fields and reads them back.
  EXPECT_TRUE(copy->saveAll());
  EXPECT_EQ(readHostFile(path), "t1|k|m1\r\nt2||m2\r\n\x81|x|k|m3\r\nt4|k|m|4\r\n");
  ASSERT_TRUE(copy->load());
  EXPECT_EQ(copy->recordCount(), 4);
  EXPECT_EQ(copy->recordAt(4).message, "m");

  // A load that finds no record leaves none, whatever came before.
  writeHostFile(path, "a|b\r\n");
  ASSERT_TRUE(copy->load());
  EXPECT_EQ(copy->recordCount(), 0);
  EXPECT_TRUE(copy->recordAt(0) == LogRecord{});
}

}  // namespace
}  // namespace usbdup
