// Reading and working the windows of another process: controls, message
// boxes, keys and volume notices. Every call works across processes; where a
// message carries a pointer the memory is placed in the other process.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A visible top-level window of process pid with that class (nullptr: any)
// and exact title (nullptr: any); nullptr if none.
HWND findTopLevel(DWORD pid, const char* className, const char* title);
// Every top-level window of process pid, visible or not.
std::vector<HWND> topLevelWindows(DWORD pid);

// A descendant (any depth) with that control id; nullptr if none.
HWND findControl(HWND root, int id);
// A descendant with that class and exact text; nullptr if none.
HWND findControlByText(HWND root, const char* className, const std::string& text);

std::string className(HWND w);
std::string windowText(HWND w);  // WM_GETTEXT
// The window's rectangle relative to its parent's client area (or the screen
// for a top-level window).
RECT placeInParent(HWND w);
LONG_PTR style(HWND w);
LONG_PTR exStyle(HWND w);

// Check boxes and buttons.
bool isChecked(HWND button);
void setChecked(HWND button, bool checked);  // a click when the state differs
void click(HWND button);                     // BM_CLICK, waits for the handler
void clickPosted(HWND button);               // BM_CLICK posted: the handler may open a modal box

// Combo boxes.
int comboCount(HWND combo);
int comboSelection(HWND combo);
std::string comboItem(HWND combo, int index);

// Message boxes: top-level dialogs of process pid with class "#32770".
HWND waitForMessageBox(DWORD pid, const std::string& title, DWORD timeoutMs = 10000);
// Every message box of the process now open, as its title.
std::vector<std::string> openMessageBoxes(DWORD pid);
std::string messageBoxText(HWND box);  // the static text with id 0xFFFF
// Presses the box's button with that id (IDOK, IDCANCEL) and waits until the
// box is gone; false if it stays.
bool answerMessageBox(HWND box, int buttonId, DWORD timeoutMs = 10000);

// Keys as the operator types them, to whichever window of the target has the
// focus: the window is brought to the front first.
void pressKey(HWND top, WORD vk, bool alt = false);

// Volume notices as Windows broadcasts them. Sent with a timeout: a modal box
// of the target keeps handling sent messages, but a hung target must not hang
// the test. True when the window answered in time.
bool sendVolumeArrival(HWND w, DWORD mask, DWORD timeoutMs = 30000);
bool sendVolumeRemoval(HWND w, DWORD mask, DWORD timeoutMs = 30000);

// One WM_NULL round trip in microseconds; -1 when it timed out.
long long pingMicros(HWND w, DWORD timeoutMs = 5000);

// Polls pred every few milliseconds until it holds; false on timeout.
template <class Pred>
bool waitUntil(Pred pred, DWORD timeoutMs = 10000, DWORD stepMs = 5) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (GetTickCount() - start >= timeoutMs) return pred();
    Sleep(stepMs);
  }
}

}  // namespace e2e
