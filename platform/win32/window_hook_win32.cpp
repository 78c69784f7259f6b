#include <windows.h>

#include "platform/window_hook.h"

namespace usbdup {

// WindowProc has the layout and calling convention of WNDPROC.
static_assert(sizeof(WindowProc) == sizeof(WNDPROC), "window procedure pointers differ in size");

WindowProc replaceWindowProc(WindowHandle window, WindowProc proc) {
  // A previous procedure of 0 is only a failure when an error is set.
  SetLastError(0);
  const LONG_PTR previous = SetWindowLongPtrA(static_cast<HWND>(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  if (previous == 0 && GetLastError() != 0) return nullptr;
  return reinterpret_cast<WindowProc>(previous);
}

intptr_t callWindowProc(WindowProc proc, WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return CallWindowProcA(reinterpret_cast<WNDPROC>(proc), static_cast<HWND>(window), message, wParam, lParam);
}

}  // namespace usbdup
