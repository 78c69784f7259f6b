// How well the window keeps answering while it counts a large master.
//   e2e_census_responsive.exe TREE [ROUNDS]
// TREE (a Windows or Unix path) is mapped as a master through the set-master
// flow; the census then runs ROUNDS times in all (the later ones through the
// save button). Meanwhile WM_NULL round trips go to the window one after
// another. Prints the figures and "slowest_us=N".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "driver/result.h"
#include "driver/session.h"

namespace {

using namespace e2e;
using namespace usbdup;

// Round trips from now until the busy state has come and gone.
bool sampleCensus(Session& app, std::vector<long long>* trips, DWORD* busyMs) {
  if (!waitUntil([&] { return app.busy(); }, 30000, 1)) return false;
  DWORD began = GetTickCount();
  while (!app.idle()) {
    long long us = pingMicros(app.window(), 10000);
    if (us < 0) return false;
    trips->push_back(us);
    Sleep(1);
  }
  *busyMs = GetTickCount() - began;
  return true;
}

int run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TREE [ROUNDS]\n", argv[0]);
    return 2;
  }
  std::string tree = windowsPathOf(argv[1]);
  int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  TempFolder tmp("bench");
  Session app(tmp / "prog");
  if (!app.start()) {
    std::fprintf(stderr, "usbdup.exe did not start (USBDUP_EXE)\n");
    return 1;
  }
  if (!app.insert('Y', tree)) {
    std::fprintf(stderr, "cannot map Y: to %s\n", tree.c_str());
    return 1;
  }
  // The same round trips with the window idle, for comparison: what the
  // machine's load alone costs.
  std::vector<long long> idle;
  for (DWORD began = GetTickCount(); GetTickCount() - began < 2000; Sleep(1)) idle.push_back(pingMicros(app.window()));
  std::sort(idle.begin(), idle.end());
  std::printf("idle window: %zu round trips, median %lld us, slowest %lld us\n", idle.size(), idle[idle.size() / 2],
              idle.back());

  std::vector<long long> trips;
  for (int round = 0; round < rounds; ++round) {
    HWND box = nullptr;
    if (round == 0) {
      clickPosted(app.control(idSetMasterButton));
      box = waitForMessageBox(app.pid(), kSetMasterTitle);
      if (!box || !app.plug("Y") || !answerMessageBox(box, IDOK)) return 1;
    } else {
      clickPosted(app.control(idSaveButton));
    }
    DWORD busyMs = 0;
    size_t before = trips.size();
    if (!sampleCensus(app, &trips, &busyMs)) {
      std::fprintf(stderr, "round %d: no busy state, or the window stopped answering\n", round + 1);
      return 1;
    }
    if (round > 0) {
      box = waitForMessageBox(app.pid(), kSavedTitle, 30000);
      if (!box || !answerMessageBox(box, IDOK)) return 1;
    }
    std::printf("census %d: busy %lu ms, %zu round trips\n", round + 1, busyMs, trips.size() - before);
  }
  if (trips.empty()) return 1;
  std::sort(trips.begin(), trips.end());
  auto at = [&](double q) { return trips[std::min(trips.size() - 1, size_t(q * trips.size()))]; };
  std::printf("round trips: %zu, median %lld us, p99 %lld us, slowest %lld us\n", trips.size(), at(0.5), at(0.99),
              trips.back());
  std::printf("slowest_us=%lld\n", trips.back());
  std::printf("exit code %ld\n", app.quit());
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return e2e::reportResult(run(argc, argv)); }
