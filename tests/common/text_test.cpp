#include <gtest/gtest.h>

#include "common/text.h"

namespace usbdup {
namespace {

struct SplitCase {
  std::string text;
  char separator;
  std::vector<std::string> pieces;
};

TEST(SplitText, FollowsThePieceRules) {
  const SplitCase cases[] = {
      {"E:\\a\\b.txt", '\\', {"E:", "a", "b.txt"}},
      {"E:\\a\\", '\\', {"E:", "a"}},
      {"D:F:", ':', {"D", "F"}},
      {"", '|', {}},
      {"a||c", '|', {"a", "", "c"}},
      {"a|b|", '|', {"a", "b"}},
      {"|", '|', {""}},
      {"abc", '|', {"abc"}},
      // 0x7C as the trail byte of a double-byte character is no separator.
      {"x\x81|y|z", '|', {"x\x81|y", "z"}},
      // GBK trail byte 0x5C is no backslash: the 表 of 表格 is B1 ED, 功 is B9 A6,
      // and 0x95 0x5C is a valid GBK pair.
      {"E:\\\x95\\\\b", '\\', {"E:", "\x95\\", "b"}},
      // A lone lead byte at the end is kept and never reads past the text.
      {"a|\xB1", '|', {"a", "\xB1"}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(splitText(c.text, c.separator), c.pieces) << "text: " << c.text;
  }
}

TEST(DriveLetters, FromMask) {
  const struct {
    DriveMask mask;
    const char* letters;
  } cases[] = {
      {0x28, "D:F:"}, {0x30, "E:F:"}, {1u << 16, "Q:"}, {1u << 26, ""}, {0, ""}, {0xFFFFFFFFu, "A:B:C:D:E:F:G:H:I:J:K:L:M:N:O:P:Q:R:S:T:U:V:W:X:Y:Z:"},
  };
  for (const auto& c : cases) EXPECT_EQ(driveLettersFromMask(c.mask), c.letters) << "mask 0x" << std::hex << c.mask;
}

}  // namespace
}  // namespace usbdup
