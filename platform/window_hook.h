// Subclassing of the main window, for the device watch: a window procedure of
// our own in front of the window's, as SetWindowLongPtrA(GWLP_WNDPROC) does.
#pragma once
#include <cstdint>

#include "callconv.h"  // USBDUP_CALLBACK: the platform's window-procedure calling convention

namespace usbdup {

using WindowHandle = void*;
using WindowProc = intptr_t(USBDUP_CALLBACK*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                              intptr_t lParam);

// Puts proc in place of the window's procedure; answers the previous one
// (null when it could not be replaced).
WindowProc replaceWindowProc(WindowHandle window, WindowProc proc);
// Calls a window procedure the way the platform does (CallWindowProcA).
intptr_t callWindowProc(WindowProc proc, WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace usbdup
