// Entry of the end-to-end test programs. They run inside a Wine virtual
// desktop (explorer /desktop=...), which does not hand the program's exit
// code back, so the result is also left in the file named by
// USBDUP_E2E_RESULT for the runner to read.
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  if (const char* path = std::getenv("USBDUP_E2E_RESULT"); path && *path) {
    if (FILE* f = std::fopen(path, "w")) {
      std::fprintf(f, "%d\n", rc);
      std::fclose(f);
    }
  }
  std::fflush(stdout);
  return rc;
}
