// A real main window with recorded events, for the tests of the Win32 layer.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "control_ids.h"
#include "mainwindow.h"

namespace usbdup::test {

struct RecordingEvents : WindowEvents {
  bool createdAnswer = true;
  bool closeAnswer = false;
  int createdCount = 0, closeCount = 0, exitCount = 0, saveCount = 0, setMasterCount = 0, tickCount = 0,
      destroyingCount = 0;
  Ui* ui = nullptr;
  HWND createdWindow = nullptr;
  bool controlsExistedAtCreate = false;

  bool created(Ui& u, HWND window) override {
    ++createdCount;
    ui = &u;
    createdWindow = window;
    controlsExistedAtCreate = GetDlgItem(window, idStatusBar) != nullptr && GetDlgItem(window, idCopyGroup) != nullptr;
    return createdAnswer;
  }
  bool closeRequested() override { return ++closeCount, closeAnswer; }
  void exitClicked() override { ++exitCount; }
  void saveClicked() override { ++saveCount; }
  void setMasterClicked() override { ++setMasterCount; }
  void dispatchTick() override { ++tickCount; }
  void destroying() override { ++destroyingCount; }
};

// Removes everything queued for this thread, the quit message included.
inline void drainThreadQueue() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// Pumps this thread's messages for about `ms` milliseconds.
inline void pumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// Place of a control in its parent's client area.
inline RECT placeInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Shown by its own style: the window itself stays hidden in these tests.
inline bool hasVisibleStyle(HWND hwnd) { return (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

inline std::string windowText(HWND hwnd) {
  char buffer[1024] = {};
  GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Without a display (Wine outside X) no window at all can exist: skip
    // then, but fail when only ours cannot be created.
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr) GTEST_SKIP() << "no window can be created here (no display)";
    DestroyWindow(probe);
    window_ = std::make_unique<MainWindow>(events_);
    ASSERT_TRUE(window_->create(GetModuleHandleA(nullptr)));
    hwnd_ = window_->handle();
  }
  void TearDown() override {
    window_.reset();
    drainThreadQueue();
  }
  HWND control(int id) const { return GetDlgItem(hwnd_, id); }
  Ui& ui() { return window_->ui(); }

  RecordingEvents events_;
  std::unique_ptr<MainWindow> window_;
  HWND hwnd_ = nullptr;
};

}  // namespace usbdup::test
