// log-load: how long EventLog::open + load take on a log of 1,000,000 records,
// against reading the same file line by line with std::getline, and how much
// memory the loaded records take against the file's size (heap and the large
// blocks of platform/memory.h together).
//
//   bench_log_load [FILE]   without FILE, a log is generated in
//                           /dev/shm/usbdup-bench-syslog.log and removed at the end.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "eventlog/event_log.h"
#include "platform/memory.h"

namespace {

// Live heap bytes, counted by the global operator new/delete: the records'
// memory exactly, without the noise of the allocator's own caching.
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void noteAlloc(long long n) {
  const long long now = g_live.fetch_add(n) + n;
  long long peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}

}  // namespace

// Each block carries its size in a header as wide as the strictest alignment.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* operator new(std::size_t n) {
  char* p = static_cast<char*>(std::malloc(n + kHeader));
  if (!p) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(p) = n;
  noteAlloc(static_cast<long long>(n));
  return p + kHeader;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  char* block = static_cast<char*>(p) - kHeader;
  g_live.fetch_sub(static_cast<long long>(*reinterpret_cast<std::size_t*>(block)));
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

constexpr int kRecords = 1000000;

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A log as the tree copy writes it: time texts such as 2024年3月5日9时7分2秒,
// kind 错误, and the source path of a failed file.
bool generate(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const char* folders[] = {"照片", "docs\\报告", "视频\\2023", "a", "工程\\源代码\\模块"};
  std::string line;
  for (int i = 0; i < kRecords; ++i) {
    line = "2024年" + std::to_string(1 + i % 12) + "月" + std::to_string(1 + i % 28) + "日" +
           std::to_string(i % 24) + "时" + std::to_string(i % 60) + "分" + std::to_string((i / 7) % 60) + "秒|错误|文件：" +
           std::string(1, static_cast<char>('E' + i % 4)) + ":\\" + folders[i % 5] + "\\文件" + std::to_string(i) +
           ".dat复制失败！\r\n";
    if (std::fwrite(line.data(), 1, line.size(), f) != line.size()) {
      std::fclose(f);
      return false;
    }
  }
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "/dev/shm/usbdup-bench-syslog.log";
  const bool ownFile = argc <= 1;
  if (ownFile && !generate(path)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  long long fileSize = 0;
  {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    fileSize = static_cast<long long>(in.tellg());
  }

  double bestGetline = 1e9;
  long long lines = 0;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    std::ifstream in(path, std::ios::binary);
    std::string line;
    long long n = 0;
    while (std::getline(in, line)) ++n;
    bestGetline = std::min(bestGetline, seconds(std::chrono::steady_clock::now() - start));
    lines = n;
  }

  double bestLoad = 1e9;
  double firstLoad = 0;  // the fresh memory of a first load may cost more on some machines
  long long records = 0;
  long long memory = 0;
  for (int run = 0; run < 3; ++run) {
    const long long before = g_live.load();
    g_peak.store(before);
    usbdup::resetBlockPeak();
    const long long blocksBefore = static_cast<long long>(usbdup::blockUsage().live);
    const auto start = std::chrono::steady_clock::now();
    usbdup::EventLog log;
    if (!log.open(path) || !log.load()) {
      std::fprintf(stderr, "cannot load %s\n", path.c_str());
      return 1;
    }
    const double took = seconds(std::chrono::steady_clock::now() - start);
    if (run == 0) firstLoad = took;
    bestLoad = std::min(bestLoad, took);
    records = log.recordCount();
    // The heap's peak and the blocks' peak may fall at different moments: their
    // sum is an upper bound.
    const long long blocks = static_cast<long long>(usbdup::blockUsage().peak) - blocksBefore;
    memory = std::max(memory, g_peak.load() - before + blocks);
  }

  if (ownFile) std::remove(path.c_str());
  const double ratio = bestLoad / bestGetline;
  const double memoryRatio = static_cast<double>(memory) / static_cast<double>(fileSize);
  std::printf("file: %s, %lld bytes, %lld lines\n", path.c_str(), fileSize, lines);
  std::printf("getline: %.1f ms (best of 3)\n", bestGetline * 1000);
  std::printf("open+load: %.1f ms (best of 3; first %.1f ms), %lld records\n", bestLoad * 1000, firstLoad * 1000,
              records);
  std::printf("memory: peak %lld bytes taken from the heap and as blocks while loading = %.2fx the file (goal <= 3.0)\n",
              memory, memoryRatio);
  std::printf("bench log-load: ratio=%.2f goal<=2.0\n", ratio);
  if (ownFile && records != kRecords) {
    std::printf("expected %d records\n", kRecords);
    return 1;
  }
  return memoryRatio > 3.0 ? 1 : 0;
}
