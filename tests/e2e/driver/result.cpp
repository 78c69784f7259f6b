#include "result.h"

#include <cstdio>
#include <cstdlib>

namespace e2e {

int reportResult(int rc) {
  std::fflush(stdout);
  if (const char* path = std::getenv("USBDUP_E2E_RESULT"); path && *path) {
    if (FILE* f = std::fopen(path, "w")) {
      std::fprintf(f, "%d\n", rc);
      std::fclose(f);
    }
  }
  return rc;
}

}  // namespace e2e
