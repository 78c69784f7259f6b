#include "window_hook_posix.h"

#include <map>
#include <mutex>

namespace usbdup {

namespace {
std::mutex g_mutex;
std::map<WindowHandle, WindowProc>& slots() {
  static std::map<WindowHandle, WindowProc> s;
  return s;
}
}  // namespace

void registerWindow(WindowHandle window, WindowProc proc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  slots()[window] = proc;
}

void unregisterWindow(WindowHandle window) {
  std::lock_guard<std::mutex> lock(g_mutex);
  slots().erase(window);
}

WindowProc currentWindowProc(WindowHandle window) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const auto it = slots().find(window);
  return it == slots().end() ? nullptr : it->second;
}

WindowProc replaceWindowProc(WindowHandle window, WindowProc proc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const auto it = slots().find(window);
  // Like SetWindowLongPtrA on an invalid handle: nothing replaced, null answered.
  if (it == slots().end() || proc == nullptr) return nullptr;
  WindowProc previous = it->second;
  it->second = proc;
  return previous;
}

intptr_t callWindowProc(WindowProc proc, WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return proc ? proc(window, message, wParam, lParam) : 0;
}

intptr_t sendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // The procedure runs without the lock: it may replace itself (unhooking).
  return callWindowProc(currentWindowProc(window), window, message, wParam, lParam);
}

}  // namespace usbdup
