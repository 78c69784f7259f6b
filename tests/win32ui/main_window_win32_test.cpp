#include <cstring>

#include "window_fixture.h"
#include "window_layout.h"
#include "window_messages.h"

namespace usbdup::test {
namespace {

const char* expectedClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::groupBox:
    case ControlKind::checkBox:
    case ControlKind::button: return "Button";
    case ControlKind::label:
    case ControlKind::picture: return "Static";
    case ControlKind::comboBox: return "ComboBox";
    case ControlKind::listView: return "SysListView32";
    case ControlKind::editBox: return "Edit";
    case ControlKind::statusBar: return "msctls_statusbar32";
  }
  return "";
}

TEST_F(WindowTest, FrameTitleSizeAndCentre) {
  EXPECT_EQ(windowText(hwnd_), "KV9T USB\xb4\xe6\xb4\xa2\xc9\xe8\xb1\xb8\xc5\xfa\xc1\xbf\xb6\xd4\xbf\xbd\xb9\xa4\xbe\xdf SW  by Dornak Software Lab");
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  EXPECT_EQ(outer.right - outer.left, 657);
  EXPECT_EQ(outer.bottom - outer.top, 570);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 657) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 570) / 2);
  const LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetWindow(hwnd_, GW_OWNER), nullptr);
}

TEST_F(WindowTest, EveryControlHasItsKindPlaceSizeAndText) {
  size_t count = 0;
  const ControlLayout* layouts = controlLayouts(&count);
  ASSERT_EQ(count, 29u);
  for (size_t i = 0; i < count; ++i) {
    const ControlLayout& layout = layouts[i];
    SCOPED_TRACE(layout.id);
    HWND handle = control(layout.id);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetParent(handle), hwnd_);
    char className[64] = {};
    GetClassNameA(handle, className, sizeof className);
    EXPECT_STREQ(className, expectedClass(layout.kind));
    int x = 0, y = 0;
    clientPosition(layout, &x, &y);
    const RECT place = placeInParent(handle);
    EXPECT_EQ(place.left, x);
    EXPECT_EQ(place.top, y);
    EXPECT_EQ(place.right - place.left, layout.width);
    EXPECT_EQ(place.bottom - place.top, layout.height);
    const bool tabStop = (GetWindowLongPtrA(handle, GWL_STYLE) & WS_TABSTOP) != 0;
    const bool takesTab = layout.kind == ControlKind::checkBox || layout.kind == ControlKind::button ||
                          layout.kind == ControlKind::listView || layout.kind == ControlKind::comboBox ||
                          layout.kind == ControlKind::editBox;
    EXPECT_EQ(tabStop, takesTab);
    if (layout.kind != ControlKind::comboBox && layout.kind != ControlKind::statusBar) {
      EXPECT_EQ(windowText(handle), layout.text);
    }
  }
}

// A few places straight from the window's design, to catch a wrong group sum.
TEST_F(WindowTest, ControlsInsideGroupsSitAtGroupOriginPlusOffset) {
  const struct {
    int id;
    int x, y;
  } cases[] = {
      {idFormatSwitch, 5 + 131, 11 - 5},          {idSkipIfDataSwitch, 5 + 329 + 34, 11 + 15 + 21},
      {idMasterList, 5 + 22 + 8, 102 + 45 + 17}, {idCensusNotice, 5 + 22 + 43, 102 + 45 + 60},
      {idTargetList, 5 + 344 + 8, 102 + 45 + 16}, {idParallelField, 5 + 23 + 88, 102 + 233 + 48},
      {idStatusBar, 0, 522},
  };
  for (const auto& c : cases) {
    const RECT place = placeInParent(control(c.id));
    EXPECT_EQ(place.left, c.x) << "control " << c.id;
    EXPECT_EQ(place.top, c.y) << "control " << c.id;
  }
}

TEST_F(WindowTest, InitialStates) {
  EXPECT_EQ(SendMessageA(control(idCopySwitch), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(control(idFormatSwitch), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(control(idSkipIfDataSwitch), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(hasVisibleStyle(control(idCensusNotice)));
  EXPECT_TRUE(hasVisibleStyle(control(idMasterList)));
  EXPECT_FALSE(IsWindowEnabled(control(idParallelField)));
  EXPECT_EQ(windowText(control(idParallelField)), "1");
  for (int id : {idFormatGroup, idCopyGroup, idSaveButton, idExitButton, idSetMasterButton, idCopySwitch}) {
    EXPECT_TRUE(IsWindowEnabled(control(id))) << "control " << id;
  }

  HWND combo = control(idFileSystemChoice);
  EXPECT_EQ(GetWindowLongPtrA(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
  const char* items[] = {"FAT32\xa3\xa8\xc4\xac\xc8\xcf\xa3\xa9", "NTFS", "exFAT(\xd0\xe8\xcf\xb5\xcd\xb3\xd6\xa7\xb3\xd6)"};
  for (int i = 0; i < 3; ++i) {
    char text[64] = {};
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, items[i]);
  }

  HWND status = control(idStatusBar);
  EXPECT_EQ(SendMessageA(status, SB_GETPARTS, 0, 0), 1);
  char statusText[64] = {};
  SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(statusText));
  EXPECT_STREQ(statusText, "\xbc\xe0\xca\xd3\xb7\xfe\xce\xf1\xd2\xd1\xc6\xf4\xb6\xaf\xa3\xa1");  // 监视服务已启动！
  EXPECT_EQ(ui().timerPeriod(), 0u);
}

TEST_F(WindowTest, ListViewsAreReportViewsWithTheirColumns) {
  const struct {
    int id;
    const char* second;
  } lists[] = {{idMasterList, "\xc0\xe0\xd0\xcd\xa3\xba"}, {idTargetList, "\xd7\xb4\xcc\xac\xa3\xba"}};
  for (const auto& list : lists) {
    SCOPED_TRACE(list.id);
    HWND handle = control(list.id);
    const LONG_PTR style = GetWindowLongPtrA(handle, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_NE(style & LVS_SINGLESEL, 0);
    EXPECT_NE(style & LVS_SHOWSELALWAYS, 0);
    EXPECT_NE(style & LVS_NOSORTHEADER, 0);
    EXPECT_EQ(style & LVS_NOCOLUMNHEADER, 0);
    const LRESULT extended = SendMessageA(handle, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(extended & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    EXPECT_EQ(COLORREF(SendMessageA(handle, LVM_GETTEXTCOLOR, 0, 0)), RGB(0, 0, 0));
    EXPECT_EQ(COLORREF(SendMessageA(handle, LVM_GETBKCOLOR, 0, 0)), RGB(255, 255, 255));
    EXPECT_EQ(SendMessageA(handle, LVM_GETITEMCOUNT, 0, 0), 0);
    const struct {
      const char* title;
      int width;
    } columns[] = {{"\xc5\xcc\xb7\xfb\xa3\xba", 50}, {list.second, 200}};  // 盘符：
    for (int i = 0; i < 2; ++i) {
      char title[64] = {};
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      column.pszText = title;
      column.cchTextMax = sizeof title;
      ASSERT_TRUE(SendMessageA(handle, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
      EXPECT_STREQ(title, columns[i].title);
      EXPECT_EQ(column.cx, columns[i].width);
      EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
  }
}

TEST_F(WindowTest, FontsFollowTheDesign) {
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const struct {
    int id;
    int height;  // 0: the default GUI font
    int weight;
  } cases[] = {
      {idCensusNotice, -12, FW_BOLD}, {idStatusBar, -12, FW_BOLD},    {idSaveButton, -14, FW_BOLD},
      {idExitButton, -14, FW_BOLD},   {idMasterGroup, -12, FW_NORMAL}, {idTargetGroup, -12, FW_NORMAL},
      {idFormatAdvancedGroup, -12, FW_NORMAL}, {idCopyHint, 0, 0},     {idSetMasterButton, 0, 0},
      {idMasterList, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control(c.id), WM_GETFONT, 0, 0));
    if (c.height == 0) {
      EXPECT_EQ(font, guiFont);
      continue;
    }
    LOGFONTA logFont{};
    ASSERT_NE(GetObjectA(font, sizeof logFont, &logFont), 0);
    EXPECT_EQ(logFont.lfHeight, c.height);
    EXPECT_EQ(logFont.lfWeight, c.weight);
    EXPECT_EQ(logFont.lfCharSet, GB2312_CHARSET);
  }
}

TEST_F(WindowTest, TabVisitsTheInputControlsInOrderAndSkipsTheGreyedField) {
  const int order[] = {idFormatSwitch, idFileSystemChoice, idSkipIfDataSwitch, idCopySwitch, idMasterList,
                       idSetMasterButton, idTargetList, idSaveButton, idExitButton, idFormatSwitch};
  HWND current = control(order[0]);
  for (size_t i = 1; i < sizeof order / sizeof order[0]; ++i) {
    current = GetNextDlgTabItem(hwnd_, current, FALSE);
    EXPECT_EQ(GetDlgCtrlID(current), order[i]) << "step " << i;
  }
}

TEST_F(WindowTest, CreatedEventSeesAllControls) {
  EXPECT_EQ(events_.createdCount, 1);
  EXPECT_TRUE(events_.controlsExistedAtCreate);
  EXPECT_EQ(events_.createdWindow, hwnd_);
  EXPECT_EQ(events_.ui, &ui());
}

TEST_F(WindowTest, ButtonsRaiseTheirEventsAndNothingElse) {
  SendMessageA(control(idExitButton), BM_CLICK, 0, 0);
  SendMessageA(control(idSaveButton), BM_CLICK, 0, 0);
  SendMessageA(control(idSetMasterButton), BM_CLICK, 0, 0);
  SendMessageA(control(idSetMasterButton), BM_CLICK, 0, 0);
  SendMessageA(control(idFormatSwitch), BM_CLICK, 0, 0);  // a switch has no handler
  EXPECT_EQ(events_.exitCount, 1);
  EXPECT_EQ(events_.saveCount, 1);
  EXPECT_EQ(events_.setMasterCount, 2);
  EXPECT_EQ(events_.closeCount, 0);
  EXPECT_TRUE(IsWindow(hwnd_));
}

TEST_F(WindowTest, RefusedCloseKeepsTheWindowAndItsRows) {
  ui().appendRow(ListView::targetList, "F:\\");
  events_.closeAnswer = false;
  SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  SendMessageA(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(events_.closeCount, 2);
  EXPECT_TRUE(IsWindow(hwnd_));
  EXPECT_EQ(ui().rowCount(ListView::targetList), 1);
  EXPECT_EQ(events_.destroyingCount, 0);
}

TEST_F(WindowTest, EscapeAsksToClose) {
  SetFocus(control(idMasterList));
  MSG msg{control(idMasterList), WM_KEYDOWN, VK_ESCAPE, 0x00010001, GetTickCount(), {0, 0}};
  pumpMessage(hwnd_, msg);
  EXPECT_EQ(events_.closeCount, 1);
  EXPECT_TRUE(IsWindow(hwnd_));
}

TEST_F(WindowTest, AcceptedCloseDestroysOnceAndQuits) {
  events_.closeAnswer = true;
  SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(events_.destroyingCount, 1);
  EXPECT_EQ(window_->handle(), nullptr);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  // The Ui outlives the window and answers as for an empty list.
  EXPECT_EQ(ui().rowCount(ListView::masterList), 0);
  EXPECT_EQ(ui().appendRow(ListView::masterList, "E:\\"), -1);
  EXPECT_EQ(ui().cellText(ListView::masterList, 0, 0), "");
}

TEST_F(WindowTest, DispatchTimerTicksUntilStopped) {
  ui().setTimerPeriod(20);
  EXPECT_EQ(ui().timerPeriod(), 20u);
  pumpFor(200);
  EXPECT_GE(events_.tickCount, 2);
  ui().setTimerPeriod(0);
  EXPECT_EQ(ui().timerPeriod(), 0u);
  const int ticks = events_.tickCount;
  pumpFor(100);
  EXPECT_EQ(events_.tickCount, ticks);
}

TEST(WindowCreation, DeclinedCreatedEventEndsWithoutWindowOrShutDown) {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (probe == nullptr) GTEST_SKIP() << "no window can be created here (no display)";
  DestroyWindow(probe);
  drainThreadQueue();
  RecordingEvents events;
  events.createdAnswer = false;
  {
    MainWindow window(events);
    EXPECT_FALSE(window.create(GetModuleHandleA(nullptr)));
    EXPECT_EQ(window.handle(), nullptr);
  }
  EXPECT_EQ(events.createdCount, 1);
  EXPECT_EQ(events.destroyingCount, 0);
  // No window of ours is left on this thread (other programs may run theirs).
  int windowsLeft = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM count) -> BOOL {
        char name[64] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (strcmp(name, kMainWindowClass) == 0) ++*reinterpret_cast<int*>(count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windowsLeft));
  EXPECT_EQ(windowsLeft, 0);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace usbdup::test
