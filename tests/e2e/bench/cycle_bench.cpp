// One master copied onto three targets plugged at once, timed from the
// arrival notice to the last "复制完成，请拔除！".
//   e2e_cycle_bench.exe MASTER TARGET1 TARGET2 TARGET3
// Folders are Windows or Unix paths; the targets should be empty. Prints the
// figures and the lines "cycle_ms=N" and "peak_kb=N" (the largest resident
// size of the usbdup.exe process, VmHWM, as the Unix side reports it).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/result.h"
#include "driver/session.h"

namespace {

using namespace e2e;
using namespace usbdup;

const char kDone[] = "复制完成，请拔除！";

double nowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * double(t.QuadPart) / double(frequency.QuadPart);
}

// VmHWM of the Unix process behind the program, found by the name of its
// own program folder (unique to this run); -1 when it cannot be read.
long long peakKb(const TempFolder& tmp) {
  const std::string folder = tmp.path().substr(tmp.path().find_last_of('\\') + 1);
  const std::string out = tmp / "vmhwm.txt";
  const std::string unixOut = unixPathOf(out);
  if (unixOut.empty()) return -1;
  // pgrep -f also finds the shell that runs it (its command names the
  // folder too): only the process called usbdup.exe counts.
  runUnix("for p in $(pgrep -f " + shellQuote(folder) + "); do if [ \"$(cat /proc/$p/comm 2>/dev/null)\" = usbdup.exe ];"
          " then sed -n 's/^VmHWM:[^0-9]*\\([0-9]*\\).*/\\1/p' /proc/$p/status; fi; done > " + shellQuote(unixOut));
  std::string text;
  if (!readFile(out, &text) || text.empty()) return -1;
  return std::atoll(text.c_str());
}

int run(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s MASTER TARGET1 TARGET2 TARGET3\n", argv[0]);
    return 2;
  }
  TempFolder tmp("cyclebench");
  Session app(tmp / "prog");
  if (!app.start()) {
    std::fprintf(stderr, "usbdup.exe did not start (USBDUP_EXE)\n");
    return 1;
  }
  if (!app.insert('R', windowsPathOf(argv[1])) || !app.setMasters("R")) {
    std::fprintf(stderr, "the master could not be set\n");
    return 1;
  }
  const char letters[] = "TUV";
  for (int i = 0; i < 3; ++i)
    if (!app.insert(letters[i], windowsPathOf(argv[2 + i]))) return 1;
  std::printf("peak before the copies: %lld kB\n", peakKb(tmp));
  // Let a dispatch timer armed by the master's arrival run out first, so that
  // every job waits its full second.
  Sleep(1500);

  RemoteListView list(app.control(idTargetList));
  const double plugged = nowMs();
  if (!app.plug(letters)) return 1;
  double started[3] = {0, 0, 0}, ended[3] = {0, 0, 0};
  int done = 0;
  while (done < 3) {
    const double now = nowMs();
    if (now - plugged > 600000) {
      std::fprintf(stderr, "the copies did not end within 10 minutes\n");
      return 1;
    }
    for (int r = 0, n = list.rowCount(); r < n && r < 3; ++r) {
      const long long id = list.rowValue(r);
      if (id < 0 || id > 2) continue;
      const std::string text = list.cell(r, 1);
      if (!started[id] && text != "等待执行操作...") started[id] = now;
      if (!ended[id] && text == kDone) {
        ended[id] = now;
        ++done;
      }
    }
    Sleep(2);
  }
  const double total = nowMs() - plugged;
  for (int id = 0; id < 3; ++id)
    std::printf("job %d: started %.0f ms, ended %.0f ms after the notice (copy %.0f ms)\n", id,
                started[id] - plugged, ended[id] - plugged, ended[id] - started[id]);
  std::printf("notice to last end: %.0f ms\n", total);
  const long long peak = peakKb(tmp);
  std::printf("cycle_ms=%.0f\n", total - 3 * 1000.0);
  std::printf("peak_kb=%lld\n", peak);
  std::printf("exit code %ld\n", app.quit());
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return e2e::reportResult(run(argc, argv)); }
