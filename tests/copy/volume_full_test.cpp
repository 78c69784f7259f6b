// A target volume that fills up in the middle of a file: the copy answers
// false and leaves no truncated file behind. Needs a small tmpfs, so it is
// skipped where mounting is not allowed.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "copy/mirrored_copy.h"
#include "copy_fixture.h"
#include "platform/files.h"

namespace usbdup {
namespace test {
namespace {

class VolumeFull : public CopyFixture {
 protected:
  void SetUp() override {
    CopyFixture::SetUp();
    ASSERT_TRUE(makeFolderHost(dir_.file("small")));
    small_ = unixPathOf(dir_.file("small"));
    // The exit code of a host command does not always come back under Wine:
    // judge the mount by its effect, and never leave one behind.
    runHostCommand("mount -t tmpfs -o size=256k tmpfs " + small_ + " 2>/dev/null");
    mounted_ = waitForSmallVolume(true);
    if (!mounted_) {
      runHostCommand("umount " + small_ + " 2>/dev/null");
      GTEST_SKIP() << "cannot mount";
    }
    ASSERT_TRUE(mapTestDrive('O', dir_.file("small")));
  }
  void TearDown() override {
    unmapTestDrive('O');
    if (mounted_) {
      runHostCommand("umount " + small_);
      waitForSmallVolume(false);
    }
    CopyFixture::TearDown();
  }
  // Waits up to about 3 s until the folder is (or is no longer) on the small volume.
  bool waitForSmallVolume(bool wanted) {
    for (int i = 0; i < 60; ++i) {
      uint64_t total = 0;
      const bool small = fileSystem().volumeTotalSize(dir_.file("small") + "\\", total) && total <= (1u << 20);
      if (small == wanted) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  std::string small_;
  bool mounted_ = false;
};

TEST_F(VolumeFull, PartialCopyIsRemoved) {
  put("M:\\fits.txt", std::string(100 << 10, 'f'));
  put("M:\\big.bin", std::string(1 << 20, 'b'));
  EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\fits.txt", "O:\\"));
  EXPECT_FALSE(copyMirroredFile("M:\\", "M:\\big.bin", "O:\\"));
  EXPECT_FALSE(exists("O:\\big.bin"));
  EXPECT_EQ(read("O:\\fits.txt"), std::string(100 << 10, 'f'));
  // The space the failed copy took is free again: a second small file fits.
  EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\fits.txt", "O:\\"));
  EXPECT_EQ(read("O:\\1_fits.txt"), std::string(100 << 10, 'f'));
}

}  // namespace
}  // namespace test
}  // namespace usbdup
