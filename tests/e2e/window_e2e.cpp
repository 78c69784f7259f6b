// The main window as the operator first sees it, and every way of closing it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "driver/screenshot.h"
#include "driver/session.h"

namespace e2e {
namespace {

using namespace usbdup;

enum class Kind { group, check, label, combo, list, button, picture, edit, status };

struct Expected {
  int id;
  const char* name;
  Kind kind;
  int parent;  // 0: the main window
  int x, y, width, height;
  const char* text;  // nullptr: not examined (lists, combo, pictures)
  bool visible, enabled;
};

// The window's design: places relative to the parent group box (or the
// client area), sizes, texts and the state right after start-up.
const Expected kControls[] = {
    {idFormatGroup, "formatGroup", Kind::group, 0, 5, 11, 640, 82, "存储空间自动初始化：", true, true},
    {idFormatSwitch, "formatSwitch", Kind::check, idFormatGroup, 131, -5, 50, 24, "启用", true, true},
    {idFormatHint, "formatHint", Kind::label, idFormatGroup, 20, 17, 308, 24,
     "启用该功能后，将会对插入的子盘设备执行自动格式化。", true, true},
    {idFileSystemLabel, "fileSystemLabel", Kind::label, idFormatGroup, 20, 44, 64, 24, "文件系统：", true, true},
    {idFileSystemChoice, "fileSystemChoice", Kind::combo, idFormatGroup, 83, 47, 144, 20, nullptr, true, true},
    {idFormatAdvancedGroup, "formatAdvancedGroup", Kind::group, idFormatGroup, 329, 15, 295, 59, "", true, true},
    {idFormatAdvancedTitle, "formatAdvancedTitle", Kind::label, idFormatAdvancedGroup, 9, -2, 44, 19, "高级：", true,
     true},
    {idSkipIfDataSwitch, "skipIfDataSwitch", Kind::check, idFormatAdvancedGroup, 34, 21, 221, 24,
     "检测到设备存储有数据时跳过格式化", true, true},
    {idCopyGroup, "copyGroup", Kind::group, 0, 5, 102, 640, 368, "设备对拷：", true, true},
    {idCopySwitch, "copySwitch", Kind::check, idCopyGroup, 71, -4, 50, 24, "启用", true, true},
    {idCopyHint, "copyHint", Kind::label, idCopyGroup, 21, 16, 490, 24,
     "启用该功能后，将会以设定的母盘为源，将其上的文件数据原样的拷贝到插入的子盘当中。", true, true},
    {idMasterGroup, "masterGroup", Kind::group, idCopyGroup, 22, 45, 271, 181, "", true, true},
    {idMasterGroupTitle, "masterGroupTitle", Kind::label, idMasterGroup, 10, -3, 44, 19, "母盘：", true, true},
    {idMasterList, "masterList", Kind::list, idMasterGroup, 8, 17, 255, 127, nullptr, true, true},
    {idCensusNotice, "censusNotice", Kind::label, idMasterGroup, 43, 60, 184, 56, "请稍后，正在检查母盘设备...",
     false, true},
    {idSetMasterButton, "setMasterButton", Kind::button, idMasterGroup, 8, 148, 253, 24, "点击设置母盘", true, true},
    {idCopyArrow, "copyArrow", Kind::picture, idCopyGroup, 302, 120, 32, 32, nullptr, true, true},
    {idTargetGroup, "targetGroup", Kind::group, idCopyGroup, 344, 45, 271, 309, "", true, true},
    {idTargetGroupTitle, "targetGroupTitle", Kind::label, idTargetGroup, 11, -3, 44, 19, "子盘：", true, true},
    {idTargetList, "targetList", Kind::list, idTargetGroup, 8, 16, 255, 284, nullptr, true, true},
    {idParallelGroup, "parallelGroup", Kind::group, idCopyGroup, 23, 233, 268, 121, "", true, true},
    {idParallelGroupTitle, "parallelGroupTitle", Kind::label, idParallelGroup, 11, -3, 44, 19, "多线程：", true, true},
    {idParallelLabel, "parallelLabel", Kind::label, idParallelGroup, 22, 15, 222, 24, "设定软件同时操作的最多子盘数量：",
     true, true},
    {idParallelField, "parallelField", Kind::edit, idParallelGroup, 88, 48, 80, 20, "1", true, false},
    {idSaveButton, "saveButton", Kind::button, 0, 13, 477, 144, 32, "保存全部设置", true, true},
    {idSaveHintIcon, "saveHintIcon", Kind::picture, 0, 167, 486, 16, 16, nullptr, true, true},
    {idSaveHint, "saveHint", Kind::label, 0, 190, 482, 298, 24, "提示：更改软件的任何选项后，请保存设置，以便生效！", true,
     true},
    {idExitButton, "exitButton", Kind::button, 0, 496, 477, 144, 32, "退出！", true, true},
    {idStatusBar, "statusBar", Kind::status, 0, 0, 522, 651, 20, "监视服务已启动！", true, true},
};

bool kindMatches(HWND w, Kind kind) {
  std::string name = className(w);
  auto is = [&](const char* cls) { return lstrcmpiA(name.c_str(), cls) == 0; };
  LONG_PTR type = style(w) & BS_TYPEMASK;
  switch (kind) {
    case Kind::group: return is("Button") && type == BS_GROUPBOX;
    case Kind::check: return is("Button") && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
    case Kind::button: return is("Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
    case Kind::label:
    case Kind::picture: return is("Static");
    case Kind::combo: return is("ComboBox") && (style(w) & 3) == CBS_DROPDOWNLIST;
    case Kind::list: return is(WC_LISTVIEWA);
    case Kind::edit: return is("Edit");
    case Kind::status: return is(STATUSCLASSNAMEA);
  }
  return false;
}

// Which controls take part in Tab navigation.
bool takesTab(Kind kind) {
  return kind == Kind::check || kind == Kind::button || kind == Kind::list || kind == Kind::combo ||
         kind == Kind::edit;
}

// Top-left corner in the main window's client area, whoever the parent is.
POINT clientCorner(HWND main, HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  POINT p{r.left, r.top};
  ScreenToClient(main, &p);
  return p;
}

class WindowTest : public ::testing::Test {
 protected:
  TempFolder tmp{"win"};
  Session app{tmp / "prog"};
};

TEST_F(WindowTest, OpensCentredWithFixedFrameAndTitle) {
  ASSERT_TRUE(app.start());
  HWND w = app.window();
  char title[256] = {};
  GetWindowTextA(w, title, sizeof title);
  EXPECT_EQ(std::string(title), kMainTitle);

  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_EQ(r.right - r.left, 657);
  EXPECT_EQ(r.bottom - r.top, 570);
  int sx = GetSystemMetrics(SM_CXSCREEN), sy = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(r.left, (sx - 657) / 2, 1) << "screen " << sx << "x" << sy;
  EXPECT_NEAR(r.top, (sy - 570) / 2, 1) << "screen " << sx << "x" << sy;

  LONG_PTR s = style(w), ex = exStyle(w);
  EXPECT_TRUE(s & WS_SYSMENU);
  EXPECT_TRUE(s & WS_MINIMIZEBOX);
  EXPECT_FALSE(s & WS_MAXIMIZEBOX);
  EXPECT_FALSE(s & WS_THICKFRAME) << "the frame must not be resizable";
  EXPECT_FALSE(ex & WS_EX_TOPMOST);
  EXPECT_FALSE(ex & WS_EX_TOOLWINDOW) << "the window needs a task-bar entry";
  EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);

  // The window can be minimised (and comes back at the same place).
  ShowWindowAsync(w, SW_MINIMIZE);
  EXPECT_TRUE(waitUntil([&] { return IsIconic(w) != 0; }, 5000));
  ShowWindowAsync(w, SW_RESTORE);
  RECT back{};
  EXPECT_TRUE(waitUntil([&] { return !IsIconic(w) && GetWindowRect(w, &back) && back.left == r.left; }, 5000));
  EXPECT_EQ(back.left, r.left);
  EXPECT_EQ(back.top, r.top);

  // The fresh window, as an artefact of the run.
  Sleep(300);  // let it paint
  std::string shot = artefactFolder() + "\\fresh-window.png";
  EXPECT_TRUE(saveWindowPng(w, shot)) << shot;
}

TEST_F(WindowTest, EveryControlHasItsPlaceTextAndInitialState) {
  ASSERT_TRUE(app.start());
  HWND w = app.window();
  for (const Expected& e : kControls) {
    SCOPED_TRACE(e.name);
    HWND c = app.control(e.id);
    ASSERT_NE(c, nullptr) << "no control with id " << e.id;
    EXPECT_TRUE(kindMatches(c, e.kind)) << "class " << className(c) << ", style 0x" << std::hex << style(c);
    POINT at = clientCorner(w, c);
    POINT origin{0, 0};
    if (e.parent) origin = clientCorner(w, app.control(e.parent));
    RECT r{};
    GetWindowRect(c, &r);
    EXPECT_EQ(at.x - origin.x, e.x);
    EXPECT_EQ(at.y - origin.y, e.y);
    EXPECT_EQ(r.right - r.left, e.width);
    EXPECT_EQ(r.bottom - r.top, e.height);
    if (e.text) {
      EXPECT_EQ(windowText(c), e.text);
    }
    EXPECT_EQ(IsWindowVisible(c) != 0, e.visible);
    EXPECT_EQ(IsWindowEnabled(c) != 0, e.enabled);
    EXPECT_EQ((style(c) & WS_TABSTOP) != 0, takesTab(e.kind));
  }
}

TEST_F(WindowTest, SwitchesChoiceAndListsStartAsDesigned) {
  ASSERT_TRUE(app.start());
  EXPECT_TRUE(isChecked(app.control(idCopySwitch))) << "a first start ticks copySwitch";
  EXPECT_FALSE(isChecked(app.control(idFormatSwitch)));
  EXPECT_FALSE(isChecked(app.control(idSkipIfDataSwitch)));

  HWND choice = app.control(idFileSystemChoice);
  ASSERT_EQ(comboCount(choice), 3);
  EXPECT_EQ(comboItem(choice, 0), "FAT32（默认）");
  EXPECT_EQ(comboItem(choice, 1), "NTFS");
  EXPECT_EQ(comboItem(choice, 2), "exFAT(需系统支持)");
  EXPECT_EQ(comboSelection(choice), 0);

  const struct {
    int id;
    const char* name;
    const char* second;
  } lists[] = {{idMasterList, "masterList", "类型："}, {idTargetList, "targetList", "状态："}};
  for (const auto& l : lists) {
    SCOPED_TRACE(l.name);
    HWND h = app.control(l.id);
    RemoteListView list(h);
    ASSERT_TRUE(list.ok());
    EXPECT_EQ(list.rowCount(), 0);
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.columnTitle(0), "盘符：");
    EXPECT_EQ(list.columnTitle(1), l.second);
    EXPECT_EQ(list.columnWidth(0), 50);
    EXPECT_EQ(list.columnWidth(1), 200);
    EXPECT_EQ(list.columnFormat(0) & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    EXPECT_EQ(list.columnFormat(1) & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    LONG_PTR s = style(h);
    EXPECT_EQ(s & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(s & LVS_NOSORTHEADER);
    EXPECT_TRUE(s & LVS_SINGLESEL);
    EXPECT_TRUE(s & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(s & LVS_NOCOLUMNHEADER);
    DWORD ex = list.extendedStyle();
    EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
    EXPECT_EQ(SendMessageA(h, LVM_GETTEXTCOLOR, 0, 0), (LRESULT)RGB(0, 0, 0));
    EXPECT_EQ(SendMessageA(h, LVM_GETBKCOLOR, 0, 0), (LRESULT)RGB(255, 255, 255));
  }
}

// Every way of closing the window asks "确实要退出软件"; Cancel keeps the
// window with its rows, OK ends the program with exit code 0 after that one
// question.
enum class Way { closeBox, closeMessage, escKey, altF4, exitButton };

struct CloseCase {
  Way way;
  const char* name;
};

class CloseTest : public WindowTest, public ::testing::WithParamInterface<CloseCase> {
 protected:
  void ask() {
    HWND w = app.window();
    switch (GetParam().way) {
      case Way::closeBox: PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); break;
      case Way::closeMessage: PostMessageA(w, WM_CLOSE, 0, 0); break;
      case Way::escKey: pressKey(w, VK_ESCAPE); break;
      case Way::altF4: pressKey(w, VK_F4, /*alt=*/true); break;
      case Way::exitButton: clickPosted(app.control(idExitButton)); break;
    }
  }
};

TEST_P(CloseTest, AsksOnceAndHonoursTheAnswer) {
  ASSERT_TRUE(app.start());
  // A row that must survive a Cancel: a target with both switches off, so
  // that nothing else happens to it.
  setChecked(app.control(idCopySwitch), false);
  ASSERT_TRUE(app.plug("W"));
  Rows before = app.targetRows();
  ASSERT_EQ(before.size(), 1u);

  ask();
  HWND box = waitForMessageBox(app.pid(), kExitTitle);
  ASSERT_NE(box, nullptr) << "no exit question";
  EXPECT_EQ(messageBoxText(box), "确实要退出软件");
  EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
  EXPECT_NE(GetDlgItem(box, IDCANCEL), nullptr);
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the question has no owner";
  EXPECT_FALSE(IsWindowEnabled(app.window())) << "task-modal: the window takes no input meanwhile";
  ASSERT_TRUE(answerMessageBox(box, IDCANCEL));

  EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(app.window()) != 0; }, 5000)) << "left disabled";
  EXPECT_TRUE(app.app().running());
  EXPECT_TRUE(IsWindow(app.window()));
  EXPECT_EQ(app.targetRows(), before);
  EXPECT_TRUE(openMessageBoxes(app.pid()).empty());

  ask();
  box = waitForMessageBox(app.pid(), kExitTitle);
  ASSERT_NE(box, nullptr) << "no exit question the second time";
  ASSERT_TRUE(answerMessageBox(box, IDOK));
  DWORD code = 99;
  ASSERT_TRUE(app.app().waitForExit(10000, &code)) << "still running, boxes open: " << openMessageBoxes(app.pid()).size();
  EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseTest,
                         ::testing::Values(CloseCase{Way::closeBox, "closeBox"},
                                           CloseCase{Way::closeMessage, "closeMessage"},
                                           CloseCase{Way::escKey, "escKey"}, CloseCase{Way::altF4, "altF4"},
                                           CloseCase{Way::exitButton, "exitButton"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
