#include <gtest/gtest.h>

#include "copy/mirrored_copy.h"
#include "copy/tree_copy.h"

namespace usbdup {
namespace {

TEST(TimeText, LeavesOutTrailingZeroFields) {
  const struct {
    LocalTime t;
    const char* text;
  } cases[] = {
      {{2024, 3, 5, 9, 7, 2}, "2024年3月5日9时7分2秒"},
      {{2024, 3, 5, 9, 7, 0}, "2024年3月5日9时7分"},
      {{2024, 3, 5, 9, 0, 0}, "2024年3月5日9时"},
      {{2024, 3, 5, 0, 0, 0}, "2024年3月5日"},
      {{2024, 3, 5, 0, 0, 5}, "2024年3月5日0时0分5秒"},
      {{2024, 12, 31, 23, 59, 59}, "2024年12月31日23时59分59秒"},
      {{2024, 3, 5, 0, 30, 0}, "2024年3月5日0时30分"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(timeText(c.t), c.text) << c.t.year << '-' << c.t.month << '-' << c.t.day << ' ' << c.t.hour << ':'
                                     << c.t.minute << ':' << c.t.second;
  }
}

TEST(CopyPercent, DividesFirstThenCuts) {
  const struct {
    int64_t copied, total;
    int32_t percent;
  } cases[] = {
      {1, 3, 33}, {2, 3, 66}, {3, 3, 100}, {29, 100, 28}, {57, 100, 56}, {1, 0, 0}, {5, 0, 0},
      {3, 2, 150}, {0, 7, 0}, {int64_t{1} << 40, 1, 2147483647},
  };
  for (const auto& c : cases)
    EXPECT_EQ(copyPercent(c.copied, c.total), c.percent) << c.copied << " of " << c.total;
}

TEST(ProgressText, DigitsBetweenTheFixedParts) {
  EXPECT_EQ(progressText(0), "正在复制...(0%)");
  EXPECT_EQ(progressText(28), "正在复制...(28%)");
  EXPECT_EQ(progressText(150), "正在复制...(150%)");
}

TEST(RemoveAllIgnoringCase, CharacterStartsOnlyAnyCase) {
  const struct {
    const char* text;
    const char* pattern;
    const char* result;
  } cases[] = {
      {"E:\\docs\\", "E:\\", "docs\\"},
      {"e:\\docs\\", "E:\\", "docs\\"},
      {"E:\\", "E:\\", ""},
      {"E:\\a\\E:\\b\\", "e:\\", "a\\b\\"},  // every occurrence
      {"aaa", "aa", "a"},                    // left to right, no overlap
      {"E:\\x\\", "", "E:\\x\\"},
      // "\x95\x5c" is one character whose trail byte is a backslash: not a match.
      {"E:\\\x95\\\\", "\\", "E:\x95\\"},
      // A trail byte that looks like a letter does not fold case.
      {"\x81\x41", "\x81\x61", "\x81\x41"},
      {"\x81\x61x", "\x81\x61", "x"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(removeAllIgnoringCase(c.text, c.pattern), c.result) << '"' << c.text << "\" - \"" << c.pattern << '"';
}

}  // namespace
}  // namespace usbdup
