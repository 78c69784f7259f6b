#include "eventlog/event_log.h"

#include <vector>

#include "eventlog/loaded_log.h"
#include "eventlog/log_lines.h"
#include "platform/files.h"

namespace usbdup {

// Every operation holds mutex_: the worker appends while the UI thread may
// still look at the log, and a record list being regrown must not be read.

namespace {

constexpr size_t kWriteChunk = 1 << 20;

bool createEmpty(const std::string& path) { return fileSystem().openFile(path, OpenMode::CreateTruncate) != nullptr; }

}  // namespace

EventLog::~EventLog() = default;

size_t EventLog::countLocked() const { return (loaded_ ? loaded_->count() : 0) + added_.size(); }

LogRecord EventLog::recordLocked(size_t i) const {
  const size_t fromFile = loaded_ ? loaded_->count() : 0;
  return i < fromFile ? loaded_->record(i) : added_[i - fromFile];
}

std::unique_ptr<EventLog> EventLog::clone() const {
  auto copy = std::make_unique<EventLog>();
  std::lock_guard<std::mutex> lock(mutex_);
  copy->logPath_ = logPath_;
  copy->loaded_ = loaded_;
  copy->added_ = added_;
  return copy;
}

bool EventLog::open(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  loaded_.reset();
  added_.clear();
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
  // The file is read whole before the records are replaced: a failed read
  // leaves the log as it was.
  std::unique_ptr<LoadedLog> read = LoadedLog::read(logPath_);
  if (!read) return false;
  added_.clear();
  loaded_.reset();
  if (read->count() > 0) loaded_ = std::move(read);
  return true;
}

bool EventLog::saveAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::unique_ptr<File> file = fileSystem().openFile(logPath_, OpenMode::CreateTruncate);
  if (!file) return false;
  std::string chunk;
  auto flushFull = [&]() {
    if (chunk.size() < kWriteChunk) return true;
    const bool ok = file->write(chunk.data(), chunk.size());
    chunk.clear();
    return ok;
  };
  const size_t fromFile = loaded_ ? loaded_->count() : 0;
  for (size_t i = 0; i < fromFile; ++i) {
    loaded_->appendLine(i, chunk);
    if (!flushFull()) return false;
  }
  for (const LogRecord& r : added_) {
    appendLogLine(chunk, r);
    if (!flushFull()) return false;
  }
  return chunk.empty() || file->write(chunk.data(), chunk.size());
}

bool EventLog::append(const LogRecord& record) {
  std::lock_guard<std::mutex> lock(mutex_);
  added_.push_back(record);
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
  loaded_.reset();
  added_.clear();
  fileSystem().deleteFile(logPath_);
  createEmpty(logPath_);
  return true;
}

std::vector<LogRecord> EventLog::allRecords() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<LogRecord> out;
  const size_t count = countLocked();
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) out.push_back(recordLocked(i));
  return out;
}

LogRecord EventLog::recordAt(int32_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const size_t count = countLocked();
  if (count == 0) return LogRecord{};
  if (index < 1 || static_cast<size_t>(index) > count) return recordLocked(count - 1);
  return recordLocked(static_cast<size_t>(index) - 1);
}

int32_t EventLog::recordCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int32_t>(countLocked());
}

std::string EventLog::logPath() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return logPath_;
}

bool addLogEntry(EventLog& log, const std::string& time, const std::string& kind, const std::string& message) {
  return log.append(LogRecord{time, kind, message});
}

}  // namespace usbdup
