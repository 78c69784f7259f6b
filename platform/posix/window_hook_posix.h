// Window procedures of the headless model: each registered window has one
// procedure slot that replaceWindowProc swaps, and tests "send" messages
// through whatever procedure is in the slot.
#pragma once
#include "platform/window_hook.h"

namespace usbdup {

void registerWindow(WindowHandle window, WindowProc proc);
void unregisterWindow(WindowHandle window);
// The procedure in the window's slot; null for an unknown window.
WindowProc currentWindowProc(WindowHandle window);
// Calls the window's current procedure, as SendMessage does; 0 for an unknown window.
intptr_t sendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace usbdup
