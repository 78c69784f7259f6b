// A target volume that fills up in the middle of a file: the copy answers
// false and leaves no truncated file behind. Needs a small tmpfs, so it is
// skipped where mounting is not allowed.
#include <gtest/gtest.h>

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
    if (!runHostCommand("mount -t tmpfs -o size=256k tmpfs " + small_ + " 2>/dev/null")) GTEST_SKIP() << "cannot mount";
    mounted_ = true;
    ASSERT_TRUE(mapTestDrive('O', dir_.file("small")));
  }
  void TearDown() override {
    unmapTestDrive('O');
    if (mounted_) runHostCommand("umount " + small_);
    CopyFixture::TearDown();
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
