// Fuzzes loading the event log: the input is written to a file and loaded.
// Every line that the splitter cuts into three or more pieces must give exactly
// one record with the first three pieces, and loading must always end. Each
// record read back one by one, and the file saveAll writes, must agree.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/text.h"
#include "eventlog/event_log.h"

namespace {

// The lines as the log defines them, cut the slow and obvious way.
std::vector<usbdup::LogRecord> expectedRecords(const std::string& bytes) {
  std::vector<usbdup::LogRecord> out;
  std::string line;
  auto finishLine = [&](bool endedByLf) {
    if (endedByLf && !line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> pieces = usbdup::splitText(line, '|');
    if (pieces.size() >= 3) out.push_back({pieces[0], pieces[1], pieces[2]});
    line.clear();
  };
  for (char c : bytes) {
    if (c == '\n' || c == '\0' || c == '\x1A') {
      finishLine(c == '\n');
    } else {
      line += c;
    }
  }
  if (!line.empty()) finishLine(false);
  return out;
}

std::string tempPath() {
  static const std::string path = "/tmp/usbdup-fuzz-log-" + std::to_string(getpid()) + ".log";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = tempPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size > 0 && std::fwrite(bytes.data(), 1, size, f) != size) std::abort();
  std::fclose(f);

  usbdup::EventLog log;
  if (!log.open(path) || !log.load()) std::abort();
  const std::vector<usbdup::LogRecord> got = log.allRecords();
  const std::vector<usbdup::LogRecord> want = expectedRecords(bytes);
  if (got.size() != want.size()) std::abort();
  for (size_t i = 0; i < got.size(); ++i) {
    if (got[i].time != want[i].time || got[i].kind != want[i].kind || got[i].message != want[i].message) std::abort();
  }
  for (size_t i = 0; i < got.size(); i += 1 + got.size() / 16) {
    const usbdup::LogRecord one = log.recordAt(static_cast<int32_t>(i + 1));
    if (one.time != want[i].time || one.kind != want[i].kind || one.message != want[i].message) std::abort();
  }

  // Writing the records back gives exactly their three fields, one line each.
  std::string lines;
  for (const usbdup::LogRecord& r : want) lines += r.time + "|" + r.kind + "|" + r.message + "\r\n";
  if (!log.saveAll()) std::abort();
  f = std::fopen(path.c_str(), "rb");
  if (!f) std::abort();
  std::string saved(lines.size() + 1, '\0');
  saved.resize(std::fread(&saved[0], 1, saved.size(), f));
  std::fclose(f);
  if (saved != lines) std::abort();
  std::remove(path.c_str());
  return 0;
}
