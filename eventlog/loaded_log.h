// The records of a log file as loaded: the file's bytes in one block and, in a
// second, the start of every line that holds a record. A record becomes a
// LogRecord only when asked for, so loading a large log costs one read, one
// pass over the bytes and about 1.1 times the file's size in memory, where a
// string per field would cost several allocations per record and three times
// the memory. Never changed once read, so clones of the log share it.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "eventlog/event_log.h"
#include "platform/memory.h"

namespace usbdup {

class LoadedLog {
 public:
  // Reads and indexes the whole file; null when it cannot be opened or read,
  // or when there is no memory for it.
  static std::unique_ptr<LoadedLog> read(const std::string& path);

  size_t count() const { return count_; }
  // 0-based; i < count().
  LogRecord record(size_t i) const;
  // Appends the record's "time|kind|message" CR LF to out.
  void appendLine(size_t i, std::string& out) const;

 private:
  bool readText(const std::string& path);
  bool indexLines();
  const char* line(size_t i, size_t& length) const;

  MemoryBlock text_;
  size_t textSize_ = 0;
  MemoryBlock starts_;  // size_t offsets into text_, count_ of them
  size_t count_ = 0;
};

}  // namespace usbdup
