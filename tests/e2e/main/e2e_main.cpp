// Entry of the end-to-end test programs.
#include <gtest/gtest.h>

#include "driver/result.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return e2e::reportResult(RUN_ALL_TESTS());
}
