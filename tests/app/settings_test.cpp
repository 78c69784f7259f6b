// Reading the setting as an integer, and the INI calls beneath the settings
// file. The same table runs natively (our own INI reader and writer) and under
// Wine (the profile calls), so both give the same results.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace usbdup {
namespace {

using test::readHostFile;
using test::TempDir;
using test::writeHostFile;

TEST(Settings, IntegerReading) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"1", 1},
      {"0", 0},
      {"2", 2},
      {"yes", 0},
      {"", 0},
      {"1abc", 1},
      {"+1", 1},
      {"-1", -1},
      {" \t1", 1},
      {"\xA3\xB1", 1},                  // full-width one
      {"\xA3\xAB\xA3\xB1", 1},          // full-width plus, one
      {"\xA3\xAD\xA3\xB1\xA3\xB2", -12},  // full-width minus, one, two
      {"\xA1\xA1\xA3\xB1", 1},          // full-width blank first
      {"\xA3\xB1\xD6\xD0", 1},          // a Chinese character ends the digits
      {"\xD6\xD0" "1", 0},              // ...or comes before them
      {"+-1", 0},
      {"1 1", 1},
      {"0001", 1},
      {"4294967297", 2147483647},       // too long: stays at the limit, never wraps to 1
      {"-99999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(settingInteger(c.text), c.value) << "text \"" << c.text << "\"";
  }
}

TEST(Settings, ProfileReadsLikeTheWin32Calls) {
  struct Case {
    const char* file;  // nullptr: no file
    const char* value;
  } cases[] = {
      {nullptr, "dflt"},
      {"[system]\r\nautocopyto=0\r\n", "0"},
      {"[system]\nautocopyto=1abc\n", "1abc"},
      {"[System]\r\nAutoCopyTo = 1 \r\n", "1"},
      {"[system]\r\nautocopyto=\r\n", ""},
      {"[system]\r\nother=0\r\n", "dflt"},
      {"[other]\r\nautocopyto=0\r\n", "dflt"},
      {"[other]\r\nautocopyto=0\r\n[system]\r\nautocopyto=2\r\n", "2"},
      {"", "dflt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "(no file)");
    TempDir dir;
    const std::string path = dir.file("setup.ini");
    if (c.file) {
      ASSERT_TRUE(writeHostFile(path, c.file));
    }
    EXPECT_EQ(readProfileString(path, "system", "autocopyto", "dflt"), c.value);
  }
}

TEST(Settings, ProfileWrites) {
  TempDir dir;
  const std::string path = dir.file("setup.ini");
  ASSERT_TRUE(writeProfileString(path, "system", "autocopyto", "1"));
  EXPECT_EQ(readHostFile(path), "[system]\r\nautocopyto=1\r\n");
  ASSERT_TRUE(writeProfileString(path, "system", "autocopyto", "0"));
  EXPECT_EQ(readProfileString(path, "system", "autocopyto", "x"), "0");

  // Other sections and keys survive a write of one key.
  const std::string other = dir.file("other.ini");
  ASSERT_TRUE(writeHostFile(other, "[a]\r\nk=v\r\n[system]\r\nx=1\r\n"));
  ASSERT_TRUE(writeProfileString(other, "system", "autocopyto", "0"));
  EXPECT_EQ(readProfileString(other, "a", "k", ""), "v");
  EXPECT_EQ(readProfileString(other, "system", "x", ""), "1");
  EXPECT_EQ(readProfileString(other, "system", "autocopyto", ""), "0");

  // A folder where the file should be cannot be written.
  EXPECT_FALSE(writeProfileString(dir.path(), "system", "autocopyto", "1"));
}

}  // namespace
}  // namespace usbdup
