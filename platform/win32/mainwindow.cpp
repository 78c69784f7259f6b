#include "mainwindow.h"

#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <memory>

#include "control_ids.h"
#include "controls.h"
#include "window_layout.h"
#include "pictures.h"
#include "window_messages.h"

namespace usbdup {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// A drop-down list's window height includes the list that drops down.
constexpr int kComboDropHeight = 200;

HFONT makeFont(int pixels, int weight) {
  return CreateFontA(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "宋体");
}

struct WindowClass {
  const char* name;
  DWORD style;
  DWORD exStyle;
};

WindowClass classFor(const ControlLayout& layout) {
  switch (layout.kind) {
    case ControlKind::groupBox: return {"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::checkBox: return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::button: return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::label:
      if (layout.id == idCensusNotice) return {"STATIC", SS_CENTER | SS_CENTERIMAGE, 0};
      return {"STATIC", SS_LEFTNOWORDWRAP, 0};
    case ControlKind::picture: return {"STATIC", SS_OWNERDRAW, 0};
    case ControlKind::comboBox: return {"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::listView:
      return {WC_LISTVIEWA, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case ControlKind::editBox: return {"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::statusBar: return {STATUSCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE, 0};
  }
  return {"STATIC", 0, 0};
}

void setUpList(HWND handle, const char* secondTitle) {
  win::ListView list(handle);
  list.setExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  list.setTextColor(RGB(0, 0, 0));
  list.setTextBkColor(RGB(255, 255, 255));
  list.setBkColor(RGB(255, 255, 255));
  const struct {
    const char* title;
    int width;
  } columns[] = {{"盘符：", 50}, {secondTitle, 200}};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = columns[i].width;
    column.pszText = const_cast<char*>(columns[i].title);
    column.iSubItem = i;
    list.insertColumn(i, column);
  }
}

void setUpFileSystemChoice(HWND handle, int height) {
  win::ComboBox combo(handle);
  for (const char* item : {"FAT32（默认）", "NTFS", "exFAT(需系统支持)"}) combo.addString(item);
  combo.select(0);
  // The closed box's height follows its selection field; fit it to the layout.
  // The height a system reports for the field need not be the one it was
  // given (Wine adds 2), so the value set is kept here and the frame measured.
  int fieldHeight = combo.itemHeight(-1);
  for (int attempt = 0; attempt < 4; ++attempt) {
    RECT rect;
    GetWindowRect(handle, &rect);
    const int excess = (rect.bottom - rect.top) - height;
    if (excess == 0) break;
    fieldHeight -= excess;
    combo.setItemHeight(-1, fieldHeight);
  }
}

}  // namespace

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  for (HFONT font : {bold12_, bold14_, song12_}) {
    if (font != nullptr) DeleteObject(font);
  }
}

bool MainWindow::create(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindow::windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  if (windowClass.hIcon == nullptr) windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainWindowClass;
  if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
  startFailed_ = false;
  HWND hwnd = CreateWindowExA(0, kMainWindowClass, kWindowTitle, kWindowStyle, x, y, kWindowWidth, kWindowHeight,
                              nullptr, nullptr, instance, this);
  return hwnd != nullptr;
}

void MainWindow::show(int showCommand) {
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
}

void MainWindow::runMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) pumpMessage(hwnd_, msg);
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  return self->onMessage(message, wParam, lParam);
}

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return onCreate();
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CLOSE: onCloseRequest(); return 0;
    case WM_TIMER: onTimer(wParam); return 0;
    case WM_DRAWITEM: onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_ACTIVATE: onActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_SETFOCUS: onSetFocus(); return 0;
    case WM_APP_RUN: (*reinterpret_cast<const std::function<void()>*>(lParam))(); return 0;
    case WM_APP_POST: {
      std::unique_ptr<std::function<void()>> job(reinterpret_cast<std::function<void()>*>(lParam));
      (*job)();
      return 0;
    }
    case WM_APP_TIMER: ui_.setTimerPeriod(uint32_t(wParam)); return 0;
    case WM_DESTROY: onDestroy(); return 0;
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      onNcDestroy();
      return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    default: return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

LRESULT MainWindow::onCreate() {
  createFonts();
  createControls();
  ui_.attach(hwnd_);
  if (!events_.created(ui_, hwnd_)) {
    // Returning -1 makes CreateWindowExA fail: the program ends without a
    // message loop and without the shut-down of a running window.
    startFailed_ = true;
    return -1;
  }
  return 0;
}

void MainWindow::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDCANCEL: onCloseRequest(); break;  // Esc, through IsDialogMessageA
    case idExitButton: events_.exitClicked(); break;
    case idSaveButton: events_.saveClicked(); break;
    case idSetMasterButton: events_.setMasterClicked(); break;
    default: break;
  }
}

void MainWindow::onCloseRequest() {
  if (events_.closeRequested() && hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void MainWindow::onTimer(UINT_PTR id) {
  if (id == kDispatchTimerId) events_.dispatchTick();
}

void MainWindow::onDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == UINT(idCopyArrow)) drawDoubleChevron(item.hDC, item.rcItem);
  if (item.CtlID == UINT(idSaveHintIcon)) drawWarningTriangle(item.hDC, item.rcItem);
}

// A plain window has no dialog manager to remember the focused control when
// it is deactivated; these two do it, so Tab starts where the operator was.
void MainWindow::onActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus != nullptr && GetParent(focus) == hwnd_) lastFocus_ = focus;
  }
}

void MainWindow::onSetFocus() {
  HWND target = lastFocus_;
  if (target == nullptr || !IsWindow(target) || !IsWindowEnabled(target) || !IsWindowVisible(target)) {
    target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (target != nullptr) SetFocus(target);
}

void MainWindow::onDestroy() {
  if (startFailed_) return;
  events_.destroying();
  // Jobs still queued for the window will never run; free them.
  MSG msg;
  while (PeekMessageA(&msg, hwnd_, WM_APP_POST, WM_APP_POST, PM_REMOVE)) {
    delete reinterpret_cast<std::function<void()>*>(msg.lParam);
  }
  PostQuitMessage(0);
}

void MainWindow::onNcDestroy() {
  ui_.detach();
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  lastFocus_ = nullptr;
}

void MainWindow::createFonts() {
  if (bold12_ == nullptr) bold12_ = makeFont(12, FW_BOLD);
  if (bold14_ == nullptr) bold14_ = makeFont(14, FW_BOLD);
  if (song12_ == nullptr) song12_ = makeFont(12, FW_NORMAL);
}

HFONT MainWindow::fontFor(int kind) const {
  switch (FontKind(kind)) {
    case FontKind::bold12: return bold12_;
    case FontKind::bold14: return bold14_;
    case FontKind::song12: return song12_;
    case FontKind::defaultGui: break;
  }
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void MainWindow::createControls() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
  size_t count = 0;
  const ControlLayout* layouts = controlLayouts(&count);
  for (size_t i = 0; i < count; ++i) {
    const ControlLayout& layout = layouts[i];
    const WindowClass windowClass = classFor(layout);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | windowClass.style;
    if (layout.id != idCensusNotice) style |= WS_VISIBLE;     // shown only during a census
    if (layout.id == idParallelField) style |= WS_DISABLED;  // greyed for the whole run
    int x = 0, y = 0;
    clientPosition(layout, &x, &y);
    const int height = layout.kind == ControlKind::comboBox ? kComboDropHeight : layout.height;
    const char* text = layout.kind == ControlKind::statusBar ? "" : layout.text;
    HWND control = CreateWindowExA(windowClass.exStyle, windowClass.name, text, style, x, y, layout.width, height,
                                   hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, nullptr);
    if (control == nullptr) continue;
    win::Window(control).setFont(fontFor(int(layout.font)));
    switch (layout.id) {
      case idCopySwitch: win::CheckBox(control).setChecked(true); break;
      case idFileSystemChoice: setUpFileSystemChoice(control, layout.height); break;
      case idMasterList: setUpList(control, "类型："); break;
      case idTargetList: setUpList(control, "状态："); break;
      case idStatusBar: {
        const int wholeWidth[] = {-1};
        win::StatusBar(control).setParts(1, wholeWidth);
        win::StatusBar(control).setPartText(0, layout.text);
        break;
      }
      default: break;
    }
  }
}

}  // namespace usbdup
