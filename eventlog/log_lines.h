// The line format of the log file and the cutting of a byte stream into lines.
// Kept apart from EventLog so that the parser can be tested and fuzzed on its
// own, and inline so that loading a large log costs no call per line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "eventlog/event_log.h"

namespace usbdup {

// Bytes that end a line when reading: LF, and also NUL and 0x1A, which a file
// written by a crashed or foreign program may hold (a zero-filled tail after a
// power cut, a DOS end-of-file mark). LF is consumed as the line end; NUL and
// 0x1A end the line too and are then skipped, so reading goes on with the byte
// after them and always reaches the end of the file. A CR is dropped only when
// it stands just before an LF.
inline bool isLineEnd(unsigned char c) { return c == '\n' || c == 0 || c == 0x1A; }

// First line-end byte in [p, end), or end. Looks at eight bytes at a time.
inline const char* findLineEnd(const char* p, const char* end) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighs = 0x8080808080808080ull;
  auto hasZeroByte = [](uint64_t v) { return ((v - kOnes) & ~v & kHighs) != 0; };
  while (end - p >= 8) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    if (hasZeroByte(v) || hasZeroByte(v ^ (kOnes * 0x0A)) || hasZeroByte(v ^ (kOnes * 0x1A))) break;
    p += 8;
  }
  while (p < end && !isLineEnd(static_cast<unsigned char>(*p))) ++p;
  return p;
}

// Turns one line (without its line end) into a record, cutting at "|" found at
// character starts. False when the line holds fewer than three pieces: fewer
// than two separators, or two with nothing after the second.
inline bool parseLogLine(const char* p, size_t n, LogRecord& out) {
  size_t seps[3];
  int found = 0;
  size_t from = 0;
  while (found < 3 && from < n) {
    const void* hit = std::memchr(p + from, '|', n - from);
    if (!hit) break;
    const size_t k = static_cast<size_t>(static_cast<const char*>(hit) - p);
    // A "|" is a separator unless it is the trail of a double-byte character.
    // The byte before a run of bytes >= 0x80 always ends a character, so the
    // run is read as pairs: an odd run means its last byte is a lead that takes
    // this "|" as its trail. The run stops at the previous "|" at the latest,
    // so the whole line is looked at only once more.
    size_t run = 0;
    while (run < k && static_cast<unsigned char>(p[k - 1 - run]) >= 0x80) ++run;
    if (run % 2 == 0) seps[found++] = k;
    from = k + 1;
  }
  if (found < 2) return false;
  const size_t msgStart = seps[1] + 1;
  const size_t msgEnd = found == 3 ? seps[2] : n;
  if (found == 2 && msgStart == n) return false;
  out.time.assign(p, seps[0]);
  out.kind.assign(p + seps[0] + 1, seps[1] - seps[0] - 1);
  out.message.assign(p + msgStart, msgEnd - msgStart);
  return true;
}

// True when the line can hold a record at all (two "|" bytes): used to size the
// record list before loading, so it is never regrown.
inline bool mayHoldRecord(const char* p, size_t n) {
  const char* first = static_cast<const char*>(std::memchr(p, '|', n));
  return first && std::memchr(first + 1, '|', n - static_cast<size_t>(first + 1 - p)) != nullptr;
}

// Appends "time|kind|message" CR LF to out.
inline void appendLogLine(std::string& out, const LogRecord& r) {
  out.append(r.time).append(1, '|').append(r.kind).append(1, '|').append(r.message).append("\r\n", 2);
}

// Cuts a byte stream, fed block by block, into lines. A line that lies whole in
// a block is handed out in place; one that crosses blocks is gathered first.
class LineCutter {
 public:
  template <class OnLine>
  void feed(const char* p, size_t n, OnLine&& onLine) {
    const char* end = p + n;
    while (p < end) {
      const char* stop = findLineEnd(p, end);
      if (stop == end) {
        carry_.append(p, static_cast<size_t>(end - p));
        return;
      }
      const bool lf = *stop == '\n';
      if (carry_.empty()) {
        emit(p, static_cast<size_t>(stop - p), lf, onLine);
      } else {
        carry_.append(p, static_cast<size_t>(stop - p));
        emit(carry_.data(), carry_.size(), lf, onLine);
        carry_.clear();
      }
      p = stop + 1;
    }
  }

  // The last line needs no line end.
  template <class OnLine>
  void finish(OnLine&& onLine) {
    if (!carry_.empty()) emit(carry_.data(), carry_.size(), false, onLine);
    carry_.clear();
    carry_.shrink_to_fit();
  }

 private:
  template <class OnLine>
  static void emit(const char* p, size_t n, bool endedByLf, OnLine& onLine) {
    if (endedByLf && n > 0 && p[n - 1] == '\r') --n;
    onLine(p, n);
  }

  std::string carry_;
};

}  // namespace usbdup
