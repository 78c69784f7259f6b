#include "eventlog/loaded_log.h"

#include <algorithm>
#include <limits>

#include "eventlog/log_lines.h"
#include "platform/files.h"

namespace usbdup {

namespace {

constexpr size_t kMinGrowth = 64 << 10;

// The next size of a block that is full; 0 when it cannot grow.
size_t grown(size_t size) {
  const size_t step = std::max(size / 2, kMinGrowth);
  return size > std::numeric_limits<size_t>::max() - step ? 0 : size + step;
}

// Lines of a real log hold a time text, a kind and a path and are rarely
// shorter than this; the index starts large enough for that and grows beyond.
constexpr size_t kShortLine = 56;

}  // namespace

std::unique_ptr<LoadedLog> LoadedLog::read(const std::string& path) {
  std::unique_ptr<LoadedLog> log(new LoadedLog);
  if (!log->readText(path) || !log->indexLines()) return nullptr;
  return log;
}

// The file is read straight into one block, sized from the file's size. The
// size is only a hint: another program may write to the log meanwhile, so the
// reading goes on until a read finds the end, growing the block when needed.
bool LoadedLog::readText(const std::string& path) {
  std::unique_ptr<File> file = fileSystem().openFile(path, OpenMode::ReadExisting);
  if (!file) return false;
  const long long hint = file->size();
  size_t capacity = kMinGrowth;
  if (hint >= 0) {
    if (static_cast<unsigned long long>(hint) >= std::numeric_limits<size_t>::max()) return false;
    capacity = static_cast<size_t>(hint) + 1;  // the one byte more lets the end show without a regrowth
  }
  if (!text_.allocate(capacity)) return false;
  for (;;) {
    if (textSize_ == text_.size()) {
      const size_t bigger = grown(text_.size());
      if (bigger == 0 || !text_.reallocate(bigger, textSize_)) return false;
    }
    const long long got = file->read(text_.data() + textSize_, text_.size() - textSize_);
    if (got < 0) return false;
    if (got == 0) return true;
    textSize_ += static_cast<size_t>(got);
  }
}

bool LoadedLog::indexLines() {
  const char* const text = text_.data();
  size_t capacity = textSize_ / kShortLine + 64;
  if (!starts_.allocate(capacity * sizeof(size_t))) return false;
  size_t* starts = reinterpret_cast<size_t*>(starts_.data());
  bool ok = true;
  forEachLine(text, text + textSize_, [&](const char* p, size_t n) {
    if (!ok || !holdsRecord(p, n)) return;
    if (count_ == capacity) {
      const size_t bigger = grown(capacity);
      if (bigger == 0 || bigger > std::numeric_limits<size_t>::max() / sizeof(size_t) ||
          !starts_.reallocate(bigger * sizeof(size_t), count_ * sizeof(size_t))) {
        ok = false;
        return;
      }
      capacity = bigger;
      starts = reinterpret_cast<size_t*>(starts_.data());
    }
    starts[count_++] = static_cast<size_t>(p - text);
  });
  if (count_ == 0) {  // nothing to keep
    text_.release();
    starts_.release();
    textSize_ = 0;
  }
  return ok;
}

const char* LoadedLog::line(size_t i, size_t& length) const {
  const char* p = text_.data() + reinterpret_cast<const size_t*>(starts_.data())[i];
  length = lineLength(p, text_.data() + textSize_);
  return p;
}

LogRecord LoadedLog::record(size_t i) const {
  size_t n = 0;
  const char* p = line(i, n);
  LogRecord r;
  parseLogLine(p, n, r);  // indexed lines always hold a record
  return r;
}

void LoadedLog::appendLine(size_t i, std::string& out) const {
  size_t n = 0;
  const char* p = line(i, n);
  LogLineFields f;
  if (splitLogLine(p, n, f)) appendLogLine(out, p, f);
}

}  // namespace usbdup
