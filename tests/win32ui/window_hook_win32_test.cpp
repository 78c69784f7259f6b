#include "platform/window_hook.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace usbdup::test {
namespace {

WindowProc gPrevious = nullptr;
UINT gSeen = 0;

intptr_t USBDUP_CALLBACK hookProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_APP + 50) {
    gSeen = message;
    // Passed on, with the previous procedure's result returned.
    return callWindowProc(gPrevious, window, message, wParam, lParam) + 1;
  }
  return callWindowProc(gPrevious, window, message, wParam, lParam);
}

LRESULT CALLBACK originalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP + 50) return LRESULT(wParam) * 10;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(WindowHook, ReplacesCallsThroughAndRestores) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = originalProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "UsbdupHookTest";
  RegisterClassA(&windowClass);
  HWND hwnd = CreateWindowExA(0, "UsbdupHookTest", "", WS_OVERLAPPED, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (hwnd == nullptr) GTEST_SKIP() << "no window can be created here";

  gPrevious = replaceWindowProc(hwnd, hookProc);
  ASSERT_NE(gPrevious, nullptr);
  EXPECT_EQ(SendMessageA(hwnd, WM_APP + 50, 4, 0), 41);
  EXPECT_EQ(gSeen, UINT(WM_APP + 50));

  EXPECT_EQ(replaceWindowProc(hwnd, gPrevious), &hookProc);
  EXPECT_EQ(SendMessageA(hwnd, WM_APP + 50, 4, 0), 40);
  DestroyWindow(hwnd);

  // A handle that is no window: nothing is replaced.
  EXPECT_EQ(replaceWindowProc(reinterpret_cast<WindowHandle>(0x1234), hookProc), nullptr);
}

}  // namespace
}  // namespace usbdup::test
