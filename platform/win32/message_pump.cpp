#include "window_messages.h"

namespace usbdup {

void pumpMessage(HWND mainWindow, MSG& msg) {
  if (mainWindow != nullptr && IsWindow(mainWindow) && IsDialogMessageA(mainWindow, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

}  // namespace usbdup
