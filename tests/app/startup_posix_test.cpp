// Start-up, the settings file, saving and the exit question on the headless
// window, with a fresh program folder for each case.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings.h"
#include "device/device_hook.h"
#include "platform/files.h"
#include "support/headless_app.h"
#include "window_hook_posix.h"

namespace usbdup {
namespace {

using test::HeadlessApp;
using test::hostFileExists;
using test::readHostFile;
using test::writeHostFile;
namespace fs = std::filesystem;

TEST(Startup, FirstStartFromAnEmptyFolder) {
  HeadlessApp app;
  const WindowProc own = currentWindowProc(app.ui.handle());
  ASSERT_TRUE(app.start());
  EXPECT_TRUE(fs::is_directory(app.dir.file("log")));
  EXPECT_TRUE(fs::is_regular_file(app.dir.file("log/syslog.log")));
  EXPECT_EQ(fs::file_size(app.dir.file("log/syslog.log")), 0u);
  EXPECT_EQ(readHostFile(app.dir.file("setup.ini")), "[system]\r\nautocopyto=1\r\n");
  EXPECT_EQ(program().settingsPath, app.dir.path() + "\\setup.ini");
  EXPECT_TRUE(app.ui.isChecked(Control::copySwitch));
  EXPECT_EQ(app.ui.timerCalls(), std::vector<uint32_t>{0});
  EXPECT_EQ(taskQueue().totalCount(), 0);
  EXPECT_EQ(program().masterSetMode, 0);
  EXPECT_EQ(currentWindowProc(app.ui.handle()), &deviceWindowProc);
  EXPECT_EQ(deviceHook().previousProc, own);
  EXPECT_TRUE(app.ui.boxes().empty());
}

TEST(Startup, ExistingLogIsLoaded) {
  HeadlessApp app;
  fs::create_directories(app.dir.file("log"));
  writeHostFile(app.dir.file("log/syslog.log"),
                "2026-01-02 03:04:05|错误|a.txt\r\nbroken line\r\n2026-01-02 03:04:06|错误|b.txt\r\n");
  ASSERT_TRUE(app.start());
  EXPECT_EQ(eventLog().recordCount(), 2);
}

TEST(Startup, LogThatCannotStartEndsTheProgram) {
  struct Case {
    const char* what;
    void (*prepare)(const std::string& folder);
  } cases[] = {
      {"syslog.log is a folder", [](const std::string& f) { fs::create_directories(f + "/log/syslog.log"); }},
      {"log is a file", [](const std::string& f) { writeHostFile(f + "/log", "x"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HeadlessApp app;
    c.prepare(app.dir.path());
    const WindowProc own = currentWindowProc(app.ui.handle());
    EXPECT_FALSE(app.start());
    ASSERT_EQ(app.ui.boxes().size(), 1u);
    EXPECT_EQ(app.ui.boxes()[0].text, "日志系统初始化失败！");
    EXPECT_EQ(app.ui.boxes()[0].title, "初始化出现问题！");
    EXPECT_EQ(app.ui.boxes()[0].style, 16u);
    EXPECT_FALSE(hostFileExists(app.dir.file("setup.ini")));
    EXPECT_TRUE(app.ui.destroyed());
    EXPECT_EQ(currentWindowProc(app.ui.handle()), own);  // no hook was ever installed
    EXPECT_TRUE(app.ui.timerCalls().empty());
  }
}

TEST(Startup, SettingValuesDecideTheSwitch) {
  struct Case {
    const char* file;
    bool ticked;
  } cases[] = {
      {"[system]\r\nautocopyto=1\r\n", true},
      {"[system]\r\nautocopyto=0\r\n", false},
      {"[system]\r\nautocopyto=2\r\n", false},
      {"[system]\r\nautocopyto=yes\r\n", false},
      {"[system]\r\nautocopyto=\r\n", false},
      {"[system]\r\nautocopyto=1abc\r\n", true},
      {"[system]\r\nautocopyto=+1\r\n", true},
      {"[system]\r\nautocopyto=\xA3\xB1\r\n", true},
      {"[system]\r\nother=0\r\n", true},  // key missing: "1"
      {"[other]\r\nautocopyto=0\r\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    HeadlessApp app;
    writeHostFile(app.dir.file("setup.ini"), c.file);
    app.ui.setChecked(Control::copySwitch, !c.ticked);
    ASSERT_TRUE(app.start());
    EXPECT_EQ(app.ui.isChecked(Control::copySwitch), c.ticked);
    EXPECT_EQ(readHostFile(app.dir.file("setup.ini")), c.file) << "the file was corrected";
  }
}

TEST(Settings, SaveUntickedThenRestart) {
  test::TempDir keep;
  {
    HeadlessApp app;
    writeHostFile(app.dir.file("setup.ini"), "[other]\r\nx=1\r\n[system]\r\nautocopyto=1\r\nmore=2\r\n");
    ASSERT_TRUE(app.start());
    app.ui.setChecked(Control::copySwitch, false);
    app.ui.clearChanges();
    onSaveClicked();
    EXPECT_EQ(readHostFile(app.dir.file("setup.ini")), "[system]\r\nautocopyto=0\r\n");
    EXPECT_FALSE(hostFileExists(app.dir.file("setup.ini.new")));
    EXPECT_EQ(program().copyOnInsert, 0);
    ASSERT_EQ(app.ui.boxes().size(), 1u);
    EXPECT_EQ(app.ui.boxes()[0].text, "设置已保存！");
    EXPECT_EQ(app.ui.boxes()[0].title, "完成");
    EXPECT_EQ(app.ui.boxes()[0].style, 64u);
    EXPECT_FALSE(app.ui.changes().empty()) << "no census with its busy state";
    fs::copy_file(app.dir.file("setup.ini"), keep.file("setup.ini"));
  }
  HeadlessApp again;
  fs::copy_file(keep.file("setup.ini"), again.dir.file("setup.ini"));
  ASSERT_TRUE(again.start());
  EXPECT_FALSE(again.ui.isChecked(Control::copySwitch));
}

// Fails replaceFile, passes every other call to the platform.
class NoReplace : public FileSystem {
 public:
  FileSystem& real = platformFileSystem();
  bool entryExists(const std::string& p) override { return real.entryExists(p); }
  bool folderExists(const std::string& p) override { return real.folderExists(p); }
  bool createFolder(const std::string& p) override { return real.createFolder(p); }
  bool deleteFile(const std::string& p) override { return real.deleteFile(p); }
  bool replaceFile(const std::string&, const std::string&) override { return false; }
  bool readAttributes(const std::string& p, uint32_t& b) override { return real.readAttributes(p, b); }
  bool writeAttributes(const std::string& p, uint32_t b) override { return real.writeAttributes(p, b); }
  std::unique_ptr<Listing> listFolder(const std::string& p) override { return real.listFolder(p); }
  bool copyFile(const std::string& f, const std::string& t) override { return real.copyFile(f, t); }
  std::vector<std::string> driveList() override { return real.driveList(); }
  bool volumeTotalSize(const std::string& r, uint64_t& b) override { return real.volumeTotalSize(r, b); }
  std::unique_ptr<File> openFile(const std::string& p, OpenMode m) override { return real.openFile(p, m); }
};

TEST(Settings, FailedSaveKeepsTheOldFileAndSaysSo) {
  struct Case {
    const char* what;
    bool folderInTheWay;  // else: the file cannot be put in place
  } cases[] = {{"new file cannot be written", true}, {"new file cannot replace the old", false}};
  const std::string old = "[system]\r\nautocopyto=1\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HeadlessApp app;
    app.drive('M', 2);
    writeHostFile(app.dir.file("setup.ini"), old);
    ASSERT_TRUE(app.start());
    app.ui.scriptAnswer(kAnswerOk, [&] { app.ui.sendDeviceNotice(0x8000, test::bit('M')); });
    onSetMasterClicked();
    program().masterFileTotal = 0;
    app.ui.clearBoxes();
    if (c.folderInTheWay) fs::create_directories(app.dir.file("setup.ini.new"));
    NoReplace noReplace;
    if (!c.folderInTheWay) setFileSystem(&noReplace);
    app.ui.setChecked(Control::copySwitch, false);
    onSaveClicked();
    setFileSystem(nullptr);
    EXPECT_EQ(readHostFile(app.dir.file("setup.ini")), old);
    if (!c.folderInTheWay) {
      EXPECT_FALSE(hostFileExists(app.dir.file("setup.ini.new")));
    }
    EXPECT_EQ(program().masterFileTotal.load(), 2) << "the census must run as usual";
    ASSERT_EQ(app.ui.boxes().size(), 1u);
    EXPECT_EQ(app.ui.boxes()[0].text, "设置保存失败！");
    EXPECT_EQ(app.ui.boxes()[0].title, "错误");
    EXPECT_EQ(app.ui.boxes()[0].style, 16u);
  }
}

TEST(ExitQuestion, EveryWayOutAsksOnce) {
  struct Case {
    bool exitButton;
    int answer;
    bool closes;
  } cases[] = {
      {true, kAnswerOk, true}, {true, kAnswerCancel, false}, {false, kAnswerOk, true}, {false, kAnswerCancel, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.exitButton ? "exit button" : "close request") << " answer " << c.answer);
    HeadlessApp app;
    const WindowProc own = currentWindowProc(app.ui.handle());
    ASSERT_TRUE(app.start());
    app.ui.sendDeviceNotice(0x8000, test::bit('E'));
    app.ui.scriptAnswer(c.answer);
    if (c.exitButton) {
      onExitClicked();
    } else {
      app.ui.requestClose();
    }
    ASSERT_EQ(app.ui.boxes().size(), 1u);
    EXPECT_EQ(app.ui.boxes()[0].text, "确实要退出软件");
    EXPECT_EQ(app.ui.boxes()[0].title, "退出");
    EXPECT_EQ(app.ui.boxes()[0].style, 33u);
    EXPECT_EQ(app.ui.destroyed(), c.closes);
    if (c.closes) {
      EXPECT_EQ(currentWindowProc(app.ui.handle()), own) << "procedure not restored";
    } else {
      EXPECT_EQ(app.ui.rowCount(ListView::targetList), 1);
      EXPECT_EQ(taskQueue().pendingCount(), 1);
    }
  }
}

}  // namespace
}  // namespace usbdup
