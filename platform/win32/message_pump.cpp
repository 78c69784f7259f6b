#include "window_messages.h"

namespace usbdup {

void pumpMessage(HWND mainWindow, MSG& msg) {
  // Esc while no control has the focus (the focused button was disabled by the
  // busy state) reaches the main window itself, where the dialog keys never
  // turn it into IDCANCEL: it is the same request to close.
  if (mainWindow != nullptr && msg.hwnd == mainWindow && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
      msg.wParam == VK_ESCAPE) {
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    return;
  }
  if (mainWindow != nullptr && IsWindow(mainWindow) && IsDialogMessageA(mainWindow, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

}  // namespace usbdup
