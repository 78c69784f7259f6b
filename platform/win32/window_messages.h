// The main window's own messages, and the one way a message is handed on,
// shared by the message loop and by Ui::processPendingMessages.
#pragma once
#include <windows.h>

namespace usbdup {

enum AppMessage : UINT {
  // Sent from another thread: lParam points at a std::function<void()> that
  // runs on the UI thread while the sender waits.
  WM_APP_RUN = WM_APP + 1,
  // Posted: lParam is a heap std::function<void()> that the window runs and frees.
  WM_APP_POST,
  // Posted from another thread: wParam is the new dispatchTimer period.
  WM_APP_TIMER,
};

// Tab, Esc and the other dialog keys go through IsDialogMessageA for the main
// window; everything else is translated and dispatched as usual.
void pumpMessage(HWND mainWindow, MSG& msg);

}  // namespace usbdup
