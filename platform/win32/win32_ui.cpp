#include "win32_ui.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "control_ids.h"
#include "controls.h"
#include "window_layout.h"
#include "window_messages.h"

namespace usbdup {

void Win32Ui::attach(HWND mainWindow) {
  uiThread_ = GetCurrentThreadId();
  masterList_ = GetDlgItem(mainWindow, idMasterList);
  targetList_ = GetDlgItem(mainWindow, idTargetList);
  disabledIds_.clear();
  size_t count = 0;
  const ControlLayout* layouts = controlLayouts(&count);
  for (size_t i = 0; i < count; ++i) {
    HWND control = GetDlgItem(mainWindow, layouts[i].id);
    if (control != nullptr && !IsWindowEnabled(control)) disabledIds_.insert(layouts[i].id);
  }
  main_ = mainWindow;
}

void Win32Ui::detach() {
  main_ = nullptr;
  masterList_ = nullptr;
  targetList_ = nullptr;
}

HWND Win32Ui::controlHandle(Control control) const {
  int id = 0;
  switch (control) {
    case Control::formatGroup: id = idFormatGroup; break;
    case Control::copyGroup: id = idCopyGroup; break;
    case Control::saveButton: id = idSaveButton; break;
    case Control::exitButton: id = idExitButton; break;
    case Control::setMasterButton: id = idSetMasterButton; break;
    case Control::censusNotice: id = idCensusNotice; break;
    case Control::copySwitch: id = idCopySwitch; break;
    case Control::formatSwitch: id = idFormatSwitch; break;
  }
  HWND main = main_;
  return main != nullptr ? GetDlgItem(main, id) : nullptr;
}

// List calls are plain SendMessage: from a worker thread Windows carries them
// out on the UI thread while the worker waits.

int32_t Win32Ui::rowCount(ListView list) { return win::ListView(listHandle(list)).itemCount(); }

int32_t Win32Ui::appendRow(ListView list, const std::string& text) {
  win::ListView view(listHandle(list));
  if (view.handle() == nullptr) return -1;
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = view.itemCount();
  item.pszText = const_cast<char*>(text.c_str());
  item.lParam = 0;
  return view.insertItem(item);
}

void Win32Ui::setCellText(ListView list, int32_t row, int32_t column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  win::ListView(listHandle(list)).setItemText(row, item);
}

std::string Win32Ui::cellText(ListView list, int32_t row, int32_t column) {
  win::ListView view(listHandle(list));
  if (view.handle() == nullptr || row < 0) return std::string();
  for (size_t size = 512;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = int(size);
    view.getItemText(row, item);
    buffer[size - 1] = '\0';
    const size_t length = strnlen(buffer.data(), size);
    // A text cut to fit may end one byte early, where a double-byte character
    // did not fit whole; so a text that reaches the last two bytes is read
    // again into a larger buffer.
    if (length + 2 < size) return std::string(buffer.data(), length);
  }
}

int32_t Win32Ui::rowValue(ListView list, int32_t row) {
  if (row < 0) return 0;
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!win::ListView(listHandle(list)).getItem(item)) return 0;
  return static_cast<int32_t>(item.lParam);
}

void Win32Ui::setRowValue(ListView list, int32_t row, int32_t value) {
  if (row < 0) return;
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = value;
  win::ListView(listHandle(list)).setItem(item);
}

void Win32Ui::deleteRow(ListView list, int32_t row) {
  if (row < 0) return;
  win::ListView(listHandle(list)).deleteItem(row);
}

bool Win32Ui::isChecked(Control control) { return win::CheckBox(controlHandle(control)).isChecked(); }

void Win32Ui::setChecked(Control control, bool checked) { win::CheckBox(controlHandle(control)).setChecked(checked); }

void Win32Ui::setVisible(Control control, bool visible) {
  if (!onUiThread()) return runOnUiThread([&] { setVisible(control, visible); });
  win::Window(controlHandle(control)).show(visible);
}

void Win32Ui::setDisabled(Control control, bool disabled) {
  if (!onUiThread()) return runOnUiThread([&] { setDisabled(control, disabled); });
  HWND handle = controlHandle(control);
  if (handle == nullptr) return;
  const int id = GetDlgCtrlID(handle);
  if (disabled) {
    disabledIds_.insert(id);
  } else {
    disabledIds_.erase(id);
  }
  applyEnabledStates();
}

void Win32Ui::applyEnabledStates() {
  HWND main = main_;
  if (main == nullptr) return;
  size_t count = 0;
  const ControlLayout* layouts = controlLayouts(&count);
  for (size_t i = 0; i < count; ++i) {
    // The controls inside a group box are siblings of it, so a disabled group
    // passes its state on to them here, without touching their own flags.
    bool enabled = true;
    for (const ControlLayout* layout = &layouts[i]; layout != nullptr && enabled; layout = findControlLayout(layout->group)) {
      enabled = disabledIds_.count(layout->id) == 0;
    }
    win::Window control(GetDlgItem(main, layouts[i].id));
    if (control.handle() != nullptr && control.isEnabled() != enabled) control.enable(enabled);
  }
  // Keyboard focus must not stay on a control that can no longer take it.
  HWND focus = GetFocus();
  if (focus != nullptr && GetParent(focus) == main && !IsWindowEnabled(focus)) {
    HWND next = GetNextDlgTabItem(main, focus, FALSE);
    SetFocus(next != nullptr && next != focus && IsWindowEnabled(next) ? next : main);
  }
}

void Win32Ui::setTimerPeriod(uint32_t milliseconds) {
  HWND main = main_;
  if (main == nullptr) return;
  if (!onUiThread()) {
    // A timer belongs to the UI thread's queue; a worker hands the change over.
    PostMessageA(main, WM_APP_TIMER, milliseconds, 0);
    return;
  }
  if (milliseconds == period_) return;  // a running timer keeps its rhythm
  if (milliseconds == 0) {
    KillTimer(main, kDispatchTimerId);
  } else if (SetTimer(main, kDispatchTimerId, milliseconds, nullptr) == 0) {
    return;
  }
  period_ = milliseconds;
}

uint32_t Win32Ui::timerPeriod() { return period_; }

int Win32Ui::messageBox(const std::string& text, const std::string& title, uint32_t style) {
  return MessageBoxA(nullptr, text.c_str(), title.c_str(), style | MB_TASKMODAL);
}

void Win32Ui::processPendingMessages() {
  if (!onUiThread()) return;
  MSG msg;
  // Peeking also delivers the messages sent from other threads.
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;  // left queued for the message loop
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      return;
    }
    pumpMessage(main_, msg);
  }
}

void Win32Ui::runOnUiThread(const std::function<void()>& fn) {
  if (onUiThread()) {
    fn();
    return;
  }
  HWND main = main_;
  if (main != nullptr) SendMessageA(main, WM_APP_RUN, 0, reinterpret_cast<LPARAM>(&fn));
}

void Win32Ui::postToUiThread(std::function<void()> fn) {
  HWND main = main_;
  if (main == nullptr) return;
  auto job = std::make_unique<std::function<void()>>(std::move(fn));
  if (PostMessageA(main, WM_APP_POST, 0, reinterpret_cast<LPARAM>(job.get()))) job.release();
}

void Win32Ui::destroyWindow() {
  if (!onUiThread()) return runOnUiThread([this] { destroyWindow(); });
  HWND main = main_;
  if (main != nullptr) DestroyWindow(main);
}

void Win32Ui::waitHandlingSentMessages(const std::function<bool()>& done) {
  while (!done()) {
    // Wakes for messages that other threads send to this thread's windows and
    // delivers only those: no timer tick, input or posted message runs here.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace usbdup
