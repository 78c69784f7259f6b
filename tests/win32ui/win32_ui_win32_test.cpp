#include <atomic>
#include <climits>
#include <string>
#include <thread>

#include "window_fixture.h"

namespace usbdup::test {
namespace {

// Runs body on a thread of its own while this (the UI) thread keeps pumping,
// as the copy worker does while the window runs.
template <typename Body>
void onWorkerThread(Body body) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    body();
    done = true;
  });
  const DWORD start = GetTickCount();
  while (!done && GetTickCount() - start < 10000) pumpFor(5);
  worker.join();
}

std::string longText(size_t bytes, bool doubleByte) {
  std::string text;
  while (text.size() < bytes) text += doubleByte ? "\xd6\xd0" : "x";  // 中
  return text;
}

TEST_F(WindowTest, RowsAppendReadAndDelete) {
  for (ListView list : {ListView::masterList, ListView::targetList}) {
    EXPECT_EQ(ui().appendRow(list, "D:\\"), 0);
    EXPECT_EQ(ui().appendRow(list, "F:\\"), 1);
    EXPECT_EQ(ui().appendRow(list, "D:\\"), 2);  // duplicates are allowed
    EXPECT_EQ(ui().rowCount(list), 3);
    ui().setCellText(list, 1, 1, "\xb7\xb6\xb1\xbe\xc4\xb8\xc5\xcc");  // 范本母盘
    EXPECT_EQ(ui().cellText(list, 1, 0), "F:\\");
    EXPECT_EQ(ui().cellText(list, 1, 1), "\xb7\xb6\xb1\xbe\xc4\xb8\xc5\xcc");
    EXPECT_EQ(ui().cellText(list, 0, 1), "");
    EXPECT_EQ(ui().rowValue(list, 0), 0);
    ui().deleteRow(list, 0);
    EXPECT_EQ(ui().rowCount(list), 2);
    EXPECT_EQ(ui().cellText(list, 0, 0), "F:\\");
  }
}

TEST_F(WindowTest, MissingRowsReadEmptyAndChangeNothing) {
  ui().appendRow(ListView::targetList, "E:\\");
  ui().setRowValue(ListView::targetList, 0, 9);
  for (int row : {-1, 1, 100}) {
    SCOPED_TRACE(row);
    EXPECT_EQ(ui().cellText(ListView::targetList, row, 0), "");
    EXPECT_EQ(ui().rowValue(ListView::targetList, row), 0);
    ui().setCellText(ListView::targetList, row, 1, "x");
    ui().setRowValue(ListView::targetList, row, 5);
    ui().deleteRow(ListView::targetList, row);
  }
  EXPECT_EQ(ui().rowCount(ListView::targetList), 1);
  EXPECT_EQ(ui().rowValue(ListView::targetList, 0), 9);
  EXPECT_EQ(ui().cellText(ListView::targetList, 0, 1), "");
}

TEST_F(WindowTest, RowValuesKeepAllThirtyTwoBits) {
  const int32_t values[] = {0, 1, -1, 123456, INT32_MAX, INT32_MIN};
  for (int32_t value : values) {
    ui().appendRow(ListView::targetList, "G:\\");
    const int32_t row = ui().rowCount(ListView::targetList) - 1;
    ui().setRowValue(ListView::targetList, row, value);
    EXPECT_EQ(ui().rowValue(ListView::targetList, row), value);
  }
  // A value stays with its row when rows above it go.
  ui().deleteRow(ListView::targetList, 0);
  EXPECT_EQ(ui().rowValue(ListView::targetList, 0), 1);
}

// Texts around the first buffer's size of 512 bytes and far beyond it, in
// single- and double-byte characters, come back whole.
TEST_F(WindowTest, CellTextsOfAnyLengthComeBackWhole) {
  const struct {
    size_t bytes;
    bool doubleByte;
  } cases[] = {{509, false}, {510, false}, {511, false}, {512, false}, {1500, false},
               {510, true},  {512, true},  {514, true},  {4000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bytes << (c.doubleByte ? " double-byte" : " single-byte"));
    const std::string text = longText(c.bytes, c.doubleByte);
    ui().appendRow(ListView::targetList, "H:\\");
    const int32_t row = ui().rowCount(ListView::targetList) - 1;
    ui().setCellText(ListView::targetList, row, 1, text);
    const std::string back = ui().cellText(ListView::targetList, row, 1);
    EXPECT_EQ(back.size(), text.size());
    EXPECT_EQ(back, text);
  }
}

TEST_F(WindowTest, WorkerThreadCallsAreCarriedOutOnTheUiThread) {
  ui().appendRow(ListView::masterList, "E:\\");
  ui().appendRow(ListView::targetList, "F:\\");
  ui().setRowValue(ListView::targetList, 0, 7);
  ui().setChecked(Control::formatSwitch, true);
  const DWORD uiThread = GetCurrentThreadId();
  DWORD ranOn = 0;
  int32_t masterRows = -1, value = -1;
  std::string masterText;
  bool copyOn = false, formatOn = false;
  onWorkerThread([&] {
    masterRows = ui().rowCount(ListView::masterList);
    masterText = ui().cellText(ListView::masterList, 0, 0);
    value = ui().rowValue(ListView::targetList, 0);
    ui().setCellText(ListView::targetList, 0, 1, "\xd5\xfd\xd4\xda\xb8\xb4\xd6\xc6...(50%)");
    copyOn = ui().isChecked(Control::copySwitch);
    formatOn = ui().isChecked(Control::formatSwitch);
    ui().runOnUiThread([&] { ranOn = GetCurrentThreadId(); });
    ui().setTimerPeriod(1000);
  });
  EXPECT_EQ(masterRows, 1);
  EXPECT_EQ(masterText, "E:\\");
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(copyOn);
  EXPECT_TRUE(formatOn);
  EXPECT_EQ(ranOn, uiThread);
  EXPECT_EQ(ui().cellText(ListView::targetList, 0, 1), "\xd5\xfd\xd4\xda\xb8\xb4\xd6\xc6...(50%)");
  pumpFor(20);  // the period change was posted
  EXPECT_EQ(ui().timerPeriod(), 1000u);
}

TEST_F(WindowTest, TimerPeriodChangesOnlyOnANewValue) {
  const uint32_t steps[] = {1000, 1000, 500, 0, 0, 1000};
  for (uint32_t period : steps) {
    ui().setTimerPeriod(period);
    EXPECT_EQ(ui().timerPeriod(), period);
  }
  // Re-setting the running period must not restart it: with a period of 60
  // re-set every 10 ms for 300 ms, the ticks still come.
  ui().setTimerPeriod(60);
  for (int i = 0; i < 30; ++i) {
    ui().setTimerPeriod(60);
    pumpFor(10);
  }
  EXPECT_GE(events_.tickCount, 2);
}

TEST_F(WindowTest, DisablingAGroupCoversItsControlsAndKeepsTheirOwnState) {
  ui().setDisabled(Control::setMasterButton, true);
  ui().setDisabled(Control::copyGroup, true);
  ui().setDisabled(Control::formatGroup, true);
  for (int id : {idCopyGroup, idCopySwitch, idMasterList, idSetMasterButton, idTargetList, idCopyArrow,
                 idFormatGroup, idFormatSwitch, idFileSystemChoice, idSkipIfDataSwitch, idFormatAdvancedGroup}) {
    EXPECT_FALSE(IsWindowEnabled(control(id))) << "control " << id;
  }
  EXPECT_TRUE(IsWindowEnabled(control(idSaveButton)));
  EXPECT_TRUE(IsWindowEnabled(control(idExitButton)));

  ui().setDisabled(Control::copyGroup, false);
  ui().setDisabled(Control::formatGroup, false);
  const struct {
    int id;
    bool enabled;
  } after[] = {{idCopyGroup, true},        {idMasterList, true},  {idCopySwitch, true}, {idSkipIfDataSwitch, true},
               {idSetMasterButton, false},  // still disabled on its own
               {idParallelField, false}};   // greyed for the whole run
  for (const auto& c : after) EXPECT_EQ(IsWindowEnabled(control(c.id)) != FALSE, c.enabled) << "control " << c.id;
  ui().setDisabled(Control::setMasterButton, false);
  EXPECT_TRUE(IsWindowEnabled(control(idSetMasterButton)));
}

TEST_F(WindowTest, VisibleAndCheckedProperties) {
  ui().setVisible(Control::censusNotice, true);
  EXPECT_TRUE(hasVisibleStyle(control(idCensusNotice)));
  ui().setVisible(Control::censusNotice, false);
  EXPECT_FALSE(hasVisibleStyle(control(idCensusNotice)));
  ui().setChecked(Control::copySwitch, false);
  EXPECT_FALSE(ui().isChecked(Control::copySwitch));
  // The operator's click is what isChecked reads.
  SendMessageA(control(idCopySwitch), BM_CLICK, 0, 0);
  EXPECT_TRUE(ui().isChecked(Control::copySwitch));
}

TEST_F(WindowTest, PendingMessagesRunButTheQuitMessageStaysQueued) {
  int order = 0, first = 0, second = 0;
  ui().postToUiThread([&] { first = ++order; });
  ui().postToUiThread([&] { second = ++order; });
  PostQuitMessage(3);
  ui().processPendingMessages();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 2);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(WindowTest, PendingMessagesIncludeThoseSentFromAnotherThread) {
  std::atomic<bool> sent{false};
  std::thread worker([&] {
    ui().appendRow(ListView::targetList, "K:\\");
    sent = true;
  });
  const DWORD start = GetTickCount();
  while (!sent && GetTickCount() - start < 5000) ui().processPendingMessages();
  worker.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(ui().cellText(ListView::targetList, 0, 0), "K:\\");
}

TEST_F(WindowTest, DestroyWindowFromTheUi) {
  ui().destroyWindow();
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(events_.closeCount, 0);
  EXPECT_EQ(events_.destroyingCount, 1);
}

// The box is answered from another thread; while it is open the window takes
// no input, yet its timer keeps ticking.
TEST_F(WindowTest, MessageBoxIsTaskModalWithoutOwnerAndReturnsTheAnswer) {
  const struct {
    int press;
    int answer;
  } cases[] = {{IDOK, kAnswerOk}, {IDCANCEL, kAnswerCancel}};
  // A title of this process alone: other programs may show boxes meanwhile.
  const std::string title = "usbdup test box " + std::to_string(GetCurrentProcessId());
  for (const auto& c : cases) {
    std::atomic<bool> windowWasDisabled{false}, boxHadNoOwner{false};
    std::thread answerer([&] {
      HWND box = nullptr;
      for (int i = 0; i < 500 && box == nullptr; ++i) {
        Sleep(10);
        box = FindWindowA("#32770", title.c_str());
      }
      if (box == nullptr) return;
      Sleep(150);
      windowWasDisabled = !IsWindowEnabled(hwnd_);
      boxHadNoOwner = GetWindow(box, GW_OWNER) == nullptr;
      PostMessageA(box, WM_COMMAND, c.press, 0);
    });
    ui().setTimerPeriod(20);
    const int ticksBefore = events_.tickCount;
    const int answer = ui().messageBox("\xc8\xb7\xca\xb5\xd2\xaa\xcd\xcb\xb3\xf6\xc8\xed\xbc\xfe", title, kBoxQuestion);
    answerer.join();
    ui().setTimerPeriod(0);
    EXPECT_EQ(answer, c.answer);
    EXPECT_TRUE(windowWasDisabled);
    EXPECT_TRUE(boxHadNoOwner);
    EXPECT_GT(events_.tickCount, ticksBefore);
    EXPECT_TRUE(IsWindowEnabled(hwnd_));
  }
}

}  // namespace
}  // namespace usbdup::test
