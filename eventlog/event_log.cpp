#include "eventlog/event_log.h"

#include <vector>

#include "eventlog/log_lines.h"
#include "platform/files.h"

namespace usbdup {

// Every operation holds mutex_: the worker appends while the UI thread may
// still look at the log, and a record list being regrown must not be read.

namespace {

constexpr size_t kBlockSize = 1 << 20;

// Reads the whole file at path through onBlock; false when it cannot be opened
// or a read fails.
template <class OnBlock>
bool readFile(const std::string& path, char* buffer, OnBlock&& onBlock) {
  std::unique_ptr<File> file = fileSystem().openFile(path, OpenMode::ReadExisting);
  if (!file) return false;
  for (;;) {
    const long long got = file->read(buffer, kBlockSize);
    if (got < 0) return false;
    if (got == 0) return true;
    onBlock(buffer, static_cast<size_t>(got));
  }
}

bool createEmpty(const std::string& path) { return fileSystem().openFile(path, OpenMode::CreateTruncate) != nullptr; }

}  // namespace

EventLog::~EventLog() = default;

std::unique_ptr<EventLog> EventLog::clone() const {
  auto copy = std::make_unique<EventLog>();
  std::lock_guard<std::mutex> lock(mutex_);
  copy->logPath_ = logPath_;
  copy->records_ = records_;
  return copy;
}

bool EventLog::open(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  records_.clear();
  if (path.empty()) return false;
  logPath_ = path;
  if (fileSystem().entryExists(path)) return true;
  return createEmpty(logPath_);
}

void EventLog::noOperation() {}

bool EventLog::createFile() {
  std::lock_guard<std::mutex> lock(mutex_);
  return createEmpty(logPath_);
}

bool EventLog::load() {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::unique_ptr<char[]> block(new char[kBlockSize]);  // not zero-filled: every byte is read into
  char* const buffer = block.get();

  // A first pass counts the lines that can hold a record, so that the list is
  // allocated once: regrowing it would hold old and new copies at once and
  // triple the memory a large log needs.
  size_t candidates = 0;
  LineCutter counter;
  auto count = [&](const char* p, size_t n) { candidates += mayHoldRecord(p, n) ? 1 : 0; };
  if (!readFile(logPath_, buffer, [&](const char* p, size_t n) { counter.feed(p, n, count); })) return false;
  counter.finish(count);

  // The records are gathered aside and take the old ones' place only when the
  // whole file was read: a read error leaves the log as it was.
  std::vector<LogRecord> loaded;
  loaded.reserve(candidates);
  LineCutter cutter;
  LogRecord record;
  auto add = [&](const char* p, size_t n) {
    if (parseLogLine(p, n, record)) loaded.push_back(std::move(record));
  };
  if (!readFile(logPath_, buffer, [&](const char* p, size_t n) { cutter.feed(p, n, add); })) return false;
  cutter.finish(add);
  records_.swap(loaded);
  return true;
}

bool EventLog::saveAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::unique_ptr<File> file = fileSystem().openFile(logPath_, OpenMode::CreateTruncate);
  if (!file) return false;
  std::string chunk;
  for (const LogRecord& r : records_) {
    appendLogLine(chunk, r);
    if (chunk.size() >= kBlockSize) {
      if (!file->write(chunk.data(), chunk.size())) return false;
      chunk.clear();
    }
  }
  return chunk.empty() || file->write(chunk.data(), chunk.size());
}

bool EventLog::append(const LogRecord& record) {
  std::lock_guard<std::mutex> lock(mutex_);
  records_.push_back(record);
  std::unique_ptr<File> file = fileSystem().openFile(logPath_, OpenMode::AppendExisting);
  // A log deleted while the program runs is made again, so that the records of
  // failed files keep reaching the disk. A file that is there but cannot be
  // opened (a folder of that name, a lock) is never emptied.
  if (!file && !logPath_.empty() && !fileSystem().entryExists(logPath_))
    file = fileSystem().openFile(logPath_, OpenMode::CreateTruncate);
  if (!file) return false;
  std::string line;
  appendLogLine(line, record);
  return file->write(line.data(), line.size());
}

bool EventLog::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  records_.clear();
  fileSystem().deleteFile(logPath_);
  createEmpty(logPath_);
  return true;
}

std::vector<LogRecord> EventLog::allRecords() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return records_;
}

LogRecord EventLog::recordAt(int32_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (records_.empty()) return LogRecord{};
  if (index < 1 || static_cast<size_t>(index) > records_.size()) return records_.back();
  return records_[static_cast<size_t>(index) - 1];
}

int32_t EventLog::recordCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int32_t>(records_.size());
}

std::string EventLog::logPath() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return logPath_;
}

bool addLogEntry(EventLog& log, const std::string& time, const std::string& kind, const std::string& message) {
  return log.append(LogRecord{time, kind, message});
}

}  // namespace usbdup
