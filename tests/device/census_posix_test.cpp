// The master census on the headless window: the count, the busy state, and
// what happens when notices or a close arrive while it lets messages in.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>

#include "device/census.h"
#include "support/headless_app.h"

namespace usbdup {
namespace {

using test::bit;
using test::HeadlessApp;
using test::writeHostFile;
using Change = HeadlessUi::Change;

const uint32_t kArrival = 0x8000, kRemoval = 0x8004;

// Lists the masters through the set-master box, as the operator does.
void setMasters(HeadlessApp& app, DriveMask mask) {
  app.ui.scriptAnswer(kAnswerOk, [&app, mask] { app.ui.sendDeviceNotice(kArrival, mask); });
  onSetMasterClicked();
}

std::vector<Change> busyChanges(bool busy) {
  std::vector<Change> out{{Control::censusNotice, 'v', busy}};
  for (Control c : {Control::formatGroup, Control::copyGroup, Control::saveButton, Control::exitButton,
                    Control::setMasterButton}) {
    out.push_back({c, 'd', busy});
  }
  return out;
}
std::vector<Change> oneBusySpell() {
  std::vector<Change> out = busyChanges(true);
  for (const Change& c : busyChanges(false)) out.push_back(c);
  return out;
}

TEST(Census, CountsFilesOfEveryKindButNoFolders) {
  HeadlessApp app;
  const std::string m = app.drive('M', 3);
  std::filesystem::create_directories(m + "/sub/deeper");
  std::filesystem::create_directories(m + "/empty");
  writeHostFile(m + "/sub/a.txt", "a");
  writeHostFile(m + "/sub/deeper/中文.txt", "b");
  // A read-only file, and one marked hidden and system the way Wine and Samba do.
  chmod((m + "/f0").c_str(), 0444);
  setxattr((m + "/f1").c_str(), "user.DOSATTRIB", "0x6", 3, 0);
  ASSERT_TRUE(app.start());
  setMasters(app, bit('M'));
  EXPECT_EQ(program().masterFileTotal.load(), 5);
}

TEST(Census, EmptyOrUnreadableMastersCountNothing) {
  HeadlessApp app;
  ASSERT_TRUE(app.start());
  program().masterFileTotal = 42;
  app.ui.clearChanges();
  runMasterCensus();  // no master at all
  EXPECT_EQ(program().masterFileTotal.load(), 0);
  EXPECT_EQ(app.ui.changes(), oneBusySpell());

  // Listed masters whose drives cannot be listed (letters never mapped).
  setMasters(app, bit('X') | bit('Y'));
  EXPECT_EQ(app.ui.rowCount(ListView::masterList), 2);
  EXPECT_EQ(program().masterFileTotal.load(), 0);
}

TEST(Census, WindowIsBusyWhileCounting) {
  HeadlessApp app;
  app.drive('M', 2);
  ASSERT_TRUE(app.start());
  setMasters(app, bit('M'));
  app.ui.clearChanges();
  std::vector<bool> seen;
  app.ui.setPumpHook([&] {
    seen = {app.ui.isVisible(Control::censusNotice), app.ui.isDisabled(Control::saveButton),
            app.ui.isDisabled(Control::exitButton), app.ui.isDisabled(Control::setMasterButton),
            app.ui.isDisabled(Control::formatGroup), app.ui.isDisabled(Control::copyGroup)};
  });
  runMasterCensus();
  app.ui.setPumpHook(nullptr);
  EXPECT_EQ(seen, std::vector<bool>(6, true));
  EXPECT_EQ(app.ui.changes(), oneBusySpell());
  EXPECT_FALSE(app.ui.isVisible(Control::censusNotice));
}

// A master pulled while the census lets messages in runs a census of its own
// inside it. Whichever master goes and whenever, the result must be one
// clean count of the masters still listed, with a single busy spell.
TEST(Census, MasterPulledDuringCensusGivesAFreshCount) {
  struct Case {
    char pulled;
    int atPump;  // the Nth time the census lets messages in
  } cases[] = {{'M', 1}, {'M', 4}, {'M', 9}, {'N', 1}, {'N', 3}, {'N', 6},
               {'P', 2}, {'P', 7}, {'P', 8}, {'N', 100 /* never */}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "pull " << c.pulled << " at pump " << c.atPump);
    HeadlessApp app;
    const std::string m = app.drive('M', 3);  // M: 3 + 2 in a subfolder + an empty folder = 5
    std::filesystem::create_directories(m + "/sub");
    std::filesystem::create_directories(m + "/empty");
    writeHostFile(m + "/sub/a", "a");
    writeHostFile(m + "/sub/b", "b");
    app.drive('N', 2);
    const std::string p = app.drive('P');  // P: 1 file, three folders down
    std::filesystem::create_directories(p + "/x/y/z");
    writeHostFile(p + "/x/y/z/f", "f");
    ASSERT_TRUE(app.start());
    setMasters(app, bit('M') | bit('N') | bit('P'));
    ASSERT_EQ(program().masterFileTotal.load(), 8);

    app.ui.clearChanges();
    int pumps = 0;
    app.ui.setPumpHook([&] {
      if (++pumps == c.atPump) app.ui.sendDeviceNotice(kRemoval, bit(c.pulled));
    });
    runMasterCensus();
    app.ui.setPumpHook(nullptr);

    const int sizes[] = {5, 2, 1};
    const int expected = c.atPump > pumps ? 8 : 8 - sizes[c.pulled == 'M' ? 0 : c.pulled == 'N' ? 1 : 2];
    EXPECT_EQ(program().masterFileTotal.load(), expected);
    EXPECT_EQ(app.ui.changes(), oneBusySpell());
    EXPECT_EQ(program().censusDepth, 0);
  }
}

TEST(Census, MasterAddedUnderACensusInsideTheSetMasterBoxIsCounted) {
  HeadlessApp app;
  app.drive('M', 3);
  app.drive('N', 2);
  app.drive('Q', 4);
  ASSERT_TRUE(app.start());
  setMasters(app, bit('M') | bit('N'));
  // In the box: N is pulled (a census starts inside the box) and while that
  // census runs, Q is plugged in as a new master.
  int pumps = 0;
  int64_t totalWhenBoxCloses = -1;
  app.ui.scriptAnswer(kAnswerOk, [&] {
    app.ui.setPumpHook([&] {
      if (++pumps == 2) app.ui.sendDeviceNotice(kArrival, bit('Q'));
    });
    app.ui.sendDeviceNotice(kRemoval, bit('N'));
    app.ui.setPumpHook(nullptr);
    totalWhenBoxCloses = program().masterFileTotal.load();
  });
  onSetMasterClicked();
  EXPECT_EQ(totalWhenBoxCloses, 7);
  EXPECT_EQ(program().masterFileTotal.load(), 7);
}

// Closing during a census: confirmed, the close waits until the census has
// unwound; nothing touches the window after it is gone.
TEST(Census, CloseDuringCensus) {
  struct Case {
    bool viaSave;
    int answer;
  } cases[] = {{false, kAnswerOk}, {false, kAnswerCancel}, {true, kAnswerOk}, {true, kAnswerCancel}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.viaSave ? "save" : "census") << " answer " << c.answer);
    HeadlessApp app;
    const std::string m = app.drive('M', 3);
    std::filesystem::create_directories(m + "/a/b");
    writeHostFile(m + "/a/b/f", "f");
    app.drive('N', 2);
    ASSERT_TRUE(app.start());
    setMasters(app, bit('M') | bit('N'));
    app.ui.clearBoxes();
    int pumps = 0;
    app.ui.setPumpHook([&] {
      ++pumps;
      if (pumps == 2) {
        app.ui.scriptAnswer(c.answer);
        app.ui.requestClose();
        EXPECT_FALSE(app.ui.destroyed()) << "destroyed under the census";
      }
      if (pumps == 3 && c.answer == kAnswerOk) app.ui.requestClose();  // a second close while one waits
    });
    if (c.viaSave) {
      onSaveClicked();
    } else {
      runMasterCensus();
    }
    std::vector<std::string> titles;
    for (const HeadlessUi::Box& b : app.ui.boxes()) titles.push_back(b.title);
    if (c.answer == kAnswerOk) {
      EXPECT_TRUE(app.ui.destroyed());
      EXPECT_EQ(app.ui.callsAfterDestroy(), 0);
      EXPECT_EQ(titles, std::vector<std::string>{"退出"});  // asked once; no save box after the end
    } else {
      EXPECT_FALSE(app.ui.destroyed());
      EXPECT_EQ(program().masterFileTotal.load(), 6);
      std::vector<std::string> expected{"退出"};
      if (c.viaSave) expected.push_back("完成");
      EXPECT_EQ(titles, expected);
      EXPECT_FALSE(app.ui.isVisible(Control::censusNotice));
    }
  }
}

}  // namespace
}  // namespace usbdup
