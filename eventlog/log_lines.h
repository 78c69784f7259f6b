// The line format of the log file and the cutting of its bytes into lines and
// fields. Kept apart from EventLog so that the parser can be tested and fuzzed
// on its own, and inline so that loading a large log costs no call per line.
#pragma once
#include <algorithm>
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

// Length of the line that starts at p, without its line end (and without the
// CR before an LF).
inline size_t lineLength(const char* p, const char* end) {
  const char* stop = findLineEnd(p, end);
  size_t n = static_cast<size_t>(stop - p);
  if (stop < end && *stop == '\n' && n > 0 && p[n - 1] == '\r') --n;
  return n;
}

// Calls onLine(start, length) for every line of [p, end), in order, by the rules
// above. The text is searched with memchr for each kind of line end apart: NUL
// and 0x1A are rare, so the place of the next one is kept and looked for again
// only once passed, and each byte is looked at about once per kind.
template <class OnLine>
void forEachLine(const char* p, const char* const end, OnLine&& onLine) {
  auto next = [end](const char* from, const char* limit, int c) {
    const void* hit = std::memchr(from, c, static_cast<size_t>(limit - from));
    return hit ? static_cast<const char*>(hit) : limit;
  };
  const char* nul = next(p, end, 0);
  const char* eof = next(p, end, 0x1A);
  while (p < end) {
    if (nul < p) nul = next(p, end, 0);
    if (eof < p) eof = next(p, end, 0x1A);
    const char* const other = std::min(nul, eof);
    const char* const stop = next(p, other, '\n');
    size_t n = static_cast<size_t>(stop - p);
    if (stop < other && n > 0 && p[n - 1] == '\r') --n;  // ended by LF
    onLine(p, n);
    if (stop == end) break;
    p = stop + 1;
  }
}

// Position of the first "|" in [from, n) that stands at a character start, or n.
inline size_t nextSeparator(const char* p, size_t from, size_t n) {
  while (from < n) {
    const void* hit = std::memchr(p + from, '|', n - from);
    if (!hit) return n;
    const size_t k = static_cast<size_t>(static_cast<const char*>(hit) - p);
    // A "|" is a separator unless it is the trail of a double-byte character.
    // A byte below 0x80 always ends a character, so the run of bytes >= 0x80
    // before the "|" is read as pairs: an odd run means its last byte is a lead
    // that takes this "|" as its trail. The run stops at the previous "|" at the
    // latest, so the line is looked at only once more.
    size_t run = 0;
    while (run < k && static_cast<unsigned char>(p[k - 1 - run]) >= 0x80) ++run;
    if (run % 2 == 0) return k;
    from = k + 1;
  }
  return n;
}

// Where the three fields of a record lie in its line: time is [0, timeEnd),
// kind [timeEnd + 1, kindEnd), message [kindEnd + 1, messageEnd).
struct LogLineFields {
  size_t timeEnd;
  size_t kindEnd;
  size_t messageEnd;
};

// Cuts one line (without its line end) at "|" found at character starts. False
// when it holds fewer than three pieces: fewer than two separators, or two with
// nothing after the second. Pieces after the third are ignored.
inline bool splitLogLine(const char* p, size_t n, LogLineFields& out) {
  const size_t first = nextSeparator(p, 0, n);
  if (first == n) return false;
  const size_t second = nextSeparator(p, first + 1, n);
  if (second + 1 >= n) return false;
  out.timeEnd = first;
  out.kindEnd = second;
  out.messageEnd = nextSeparator(p, second + 1, n);
  return true;
}

inline bool holdsRecord(const char* p, size_t n) {
  const size_t first = nextSeparator(p, 0, n);
  return first < n && nextSeparator(p, first + 1, n) + 1 < n;
}

// Turns one line (without its line end) into a record; false as splitLogLine.
inline bool parseLogLine(const char* p, size_t n, LogRecord& out) {
  LogLineFields f;
  if (!splitLogLine(p, n, f)) return false;
  out.time.assign(p, f.timeEnd);
  out.kind.assign(p + f.timeEnd + 1, f.kindEnd - f.timeEnd - 1);
  out.message.assign(p + f.kindEnd + 1, f.messageEnd - f.kindEnd - 1);
  return true;
}

// Appends "time|kind|message" CR LF to out.
inline void appendLogLine(std::string& out, const LogRecord& r) {
  out.append(r.time).append(1, '|').append(r.kind).append(1, '|').append(r.message).append("\r\n", 2);
}

// The same for a record still in its line: only the three fields are written.
inline void appendLogLine(std::string& out, const char* p, const LogLineFields& f) {
  out.append(p, f.kindEnd + 1).append(p + f.kindEnd + 1, f.messageEnd - f.kindEnd - 1).append("\r\n", 2);
}

}  // namespace usbdup
