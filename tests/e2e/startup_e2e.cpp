// Start-up from the files in the program folder, the event log failure, and
// the settings file across a save and a restart.
#include <windows.h>

#include <gtest/gtest.h>

#include "driver/session.h"

namespace e2e {
namespace {

using namespace usbdup;
using Lines = std::vector<std::string>;

class StartupTest : public ::testing::Test {
 protected:
  std::string prog() const { return tmp / "prog"; }
  std::string ini() const { return tmp / "prog\\setup.ini"; }

  TempFolder tmp{"start"};
};

TEST_F(StartupTest, FirstStartFromAnEmptyFolderCreatesLogAndSettings) {
  Session app(prog());
  ASSERT_TRUE(app.start());
  EXPECT_TRUE(isFolder(prog() + "\\log"));
  std::string log = "<missing>";
  EXPECT_TRUE(readFile(prog() + "\\log\\syslog.log", &log));
  EXPECT_EQ(log, "");
  EXPECT_EQ(fileLines(ini()), (Lines{"[system]", "autocopyto=1"}));
  EXPECT_TRUE(isChecked(app.control(idCopySwitch)));
  // Nothing lands in the current folder of the start (the folder above).
  EXPECT_FALSE(isFile(tmp / "setup.ini"));
  EXPECT_FALSE(isFolder(tmp / "log"));
  EXPECT_EQ(app.quit(), 0);
}

TEST_F(StartupTest, LogThatCannotBeOpenedEndsTheProgramAfterAMessage) {
  // A folder where the log file must go.
  ASSERT_TRUE(makeFolders(prog() + "\\log\\syslog.log"));
  Session app(prog());
  ASSERT_TRUE(app.app().start(prog()));
  HWND box = waitForMessageBox(app.pid(), kLogFailTitle, 30000);
  ASSERT_NE(box, nullptr) << "no failure message";
  EXPECT_EQ(messageBoxText(box), "日志系统初始化失败！");
  EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "an OK box";
  ASSERT_TRUE(answerMessageBox(box, IDOK));
  DWORD code = 99;
  ASSERT_TRUE(app.app().waitForExit(10000, &code)) << "the program goes on after the log failure";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(isFile(ini())) << "no settings file after the log failure";
}

TEST_F(StartupTest, SavedSwitchSurvivesARestartAndTheFileHoldsOnlyTheKey) {
  // Other sections and keys go on the first save.
  makeFolders(prog());
  ASSERT_TRUE(writeFile(ini(), "[other]\r\nname=x\r\n[system]\r\nautocopyto=1\r\nmore=2\r\n"));
  {
    Session app(prog());
    ASSERT_TRUE(app.start());
    ASSERT_TRUE(isChecked(app.control(idCopySwitch)));
    setChecked(app.control(idCopySwitch), false);
    clickPosted(app.control(idSaveButton));
    HWND box = waitForMessageBox(app.pid(), kSavedTitle, 30000);
    ASSERT_NE(box, nullptr) << "no confirmation";
    EXPECT_EQ(messageBoxText(box), "设置已保存！");
    EXPECT_TRUE(app.idle()) << "the census ended before the confirmation";
    EXPECT_EQ(fileLines(ini()), (Lines{"[system]", "autocopyto=0"}));
    ASSERT_TRUE(answerMessageBox(box, IDOK));
    EXPECT_EQ(app.quit(), 0);
  }
  Session again(prog());
  ASSERT_TRUE(again.start());
  EXPECT_FALSE(isChecked(again.control(idCopySwitch)));
  EXPECT_EQ(fileLines(ini()), (Lines{"[system]", "autocopyto=0"})) << "a start does not rewrite the file";
  EXPECT_EQ(again.quit(), 0);
}

// The setting as the profile calls of the system read it back from a file
// written by someone else (GBK full-width digits included).
struct IniCase {
  const char* name;
  const char* content;
  bool ticked;
};

class SettingsValueTest : public StartupTest, public ::testing::WithParamInterface<IniCase> {};

TEST_P(SettingsValueTest, TicksTheSwitchOnlyForOne) {
  makeFolders(prog());
  ASSERT_TRUE(writeFile(ini(), GetParam().content));
  Session app(prog());
  ASSERT_TRUE(app.start());
  EXPECT_EQ(isChecked(app.control(idCopySwitch)), GetParam().ticked);
  std::string after;
  EXPECT_TRUE(readFile(ini(), &after));
  EXPECT_EQ(after, GetParam().content) << "reading must leave the file as it was";
  EXPECT_EQ(app.quit(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsValueTest,
    ::testing::Values(IniCase{"plusOne", "[system]\r\nautocopyto=+1\r\n", true},
                      IniCase{"fullWidthOne", "[system]\r\nautocopyto=１\r\n", true},
                      IniCase{"oneAndLetters", "[system]\r\nautocopyto=1abc\r\n", true},
                      IniCase{"otherSectionOnly", "[other]\r\nautocopyto=0\r\n", true},
                      IniCase{"two", "[system]\r\nautocopyto=2\r\n", false},
                      IniCase{"yes", "[system]\r\nautocopyto=yes\r\n", false},
                      IniCase{"empty", "[system]\r\nautocopyto=\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
