// Copies a master tree onto an empty target with copyTree and prints the time;
// with --checks it copies nothing and prints instead the per-call cost of the
// drive-list and folder-chain checks (run apart, so that the timed copy run
// holds nothing but the copy).
//   bench_copy_tree [--checks] M:\ N:\ [hostMaster hostTarget]
// The host folders (native runs) are mapped to the two letters first.
#include <chrono>
#include <cstdio>
#include <string>

#include "bench_drives.h"
#include "copy/mirrored_copy.h"
#include "copy/tree_copy.h"
#include "platform/files.h"

using namespace usbdup;

namespace {

struct CountingReporter : CopyReporter {
  int64_t failures = 0;
  void showStatus(int32_t, const std::string&) override {}
  void logFailure(const std::string&, const std::string&, const std::string& message) override {
    if (++failures <= 5) std::fprintf(stderr, "failed: %s\n", message.c_str());
  }
};

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}


// The checks every file pays for, measured on their own.
void measureChecks(const std::string& target) {
  const int rounds = 2000;
  auto t = std::chrono::steady_clock::now();
  int roots = 0;
  for (int i = 0; i < rounds; ++i) roots += isExistingDriveRoot(target);
  const double driveCheck = seconds(t) / rounds;
  t = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) createFolderChain(target + "bench-chain\\a\\b");
  const double chainCheck = seconds(t) / rounds;
  std::printf("per file: drive-list check %.2f us, folder-chain check (3 levels, existing) %.2f us (%d)\n",
              driveCheck * 1e6, chainCheck * 1e6, roots == rounds);
}

}  // namespace

int main(int argc, char** argv) {
  const bool checks = argc > 1 && std::string(argv[1]) == "--checks";
  if (checks) {
    --argc;
    ++argv;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_copy_tree [--checks] MASTER_ROOT TARGET_ROOT [HOST_MASTER HOST_TARGET]\n");
    return 2;
  }
  const std::string master = argv[1];
  const std::string target = argv[2];
  if (argc >= 5) {
    benchMapDrive(master[0], argv[3]);
    benchMapDrive(target[0], argv[4]);
  }
  if (checks) {
    measureChecks(target);
    return 0;
  }
  CountingReporter reporter;
  CopyTask task;
  task.taskId = 1;
  task.rootPath = target;
  int64_t copied = 0;
  int32_t percent = 0;
  const auto start = std::chrono::steady_clock::now();
  copyTree(master, master, target, task, 0, copied, percent, reporter);
  const double copySeconds = seconds(start);
  std::printf("copyTree: %lld files copied, %lld failed, %.3f s\n", static_cast<long long>(copied),
              static_cast<long long>(reporter.failures), copySeconds);
  std::printf("seconds=%.6f\n", copySeconds);
  return reporter.failures == 0 ? 0 : 1;
}
