// The event log: records of files that failed to copy, kept in memory and in
// the text file log\syslog.log (one "time|kind|message" line each, CR LF, in the
// ANSI code page). Every append reaches the file before it returns.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace usbdup {

struct LogRecord {
  std::string time;
  std::string kind;
  std::string message;
};

class LoadedLog;

class EventLog {
 public:
  EventLog() = default;
  ~EventLog();  // destroy: releases logPath and every record; the file stays
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  std::unique_ptr<EventLog> clone() const;
  bool open(const std::string& path);
  void noOperation();
  bool createFile();
  bool load();
  bool saveAll();
  bool append(const LogRecord& record);
  bool clear();
  std::vector<LogRecord> allRecords() const;
  // 1-based; any index outside 1..count gives the last record (an empty record
  // when the log is empty).
  LogRecord recordAt(int32_t index) const;
  int32_t recordCount() const;
  std::string logPath() const;

 private:
  size_t countLocked() const;
  LogRecord recordLocked(size_t i) const;  // 0-based

  mutable std::mutex mutex_;
  std::string logPath_;
  // The records are those that load read (kept as the file's bytes, shared
  // with clones since they never change) followed by those appended since.
  std::shared_ptr<const LoadedLog> loaded_;
  std::vector<LogRecord> added_;
};

// Builds a record from the three texts and appends it to the log.
bool addLogEntry(EventLog& log, const std::string& time, const std::string& kind, const std::string& message);

}  // namespace usbdup
