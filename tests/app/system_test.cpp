// Platform services the start-up relies on: the program folder and threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/text.h"
#include "platform/files.h"
#include "platform/system.h"

namespace usbdup {
namespace {

TEST(System, ProgramFolderIsTheExecutablesFolderWithoutTrailingSeparator) {
  const std::string folder = programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_FALSE(endsWithBackslash(folder)) << folder;
  EXPECT_FALSE(endsWith(folder, '/')) << folder;
  EXPECT_TRUE(fileSystem().folderExists(folder)) << folder;
}

std::atomic<int32_t> g_seen{-1};
void record(int32_t value) { g_seen = value; }

TEST(System, StartThreadRunsTheEntryWithItsParameter) {
  ASSERT_TRUE(startThread(record, 4711));
  for (int i = 0; i < 500 && g_seen.load() != 4711; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(g_seen.load(), 4711);
}

}  // namespace
}  // namespace usbdup
