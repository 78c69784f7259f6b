#include "driver/windows.h"

#include <dbt.h>

namespace e2e {

namespace {

struct TopSearch {
  DWORD pid;
  const char* cls;
  const char* title;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK collectTop(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<TopSearch*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid) return TRUE;
  if (s->visibleOnly && !IsWindowVisible(w)) return TRUE;
  if (s->cls && className(w) != s->cls) return TRUE;
  if (s->title) {
    char buf[512] = {};
    GetWindowTextA(w, buf, sizeof buf);
    if (std::string(buf) != s->title) return TRUE;
  }
  s->found.push_back(w);
  return TRUE;
}

struct ChildSearch {
  int id;
  const char* cls;
  const std::string* text;
  HWND found;
};

BOOL CALLBACK findChild(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<ChildSearch*>(p);
  if (s->text) {
    if (className(w) == s->cls && windowText(w) == *s->text) {
      s->found = w;
      return FALSE;
    }
  } else if (GetDlgCtrlID(w) == s->id) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

bool sendNotice(HWND w, WPARAM event, DWORD mask, DWORD timeoutMs) {
  DEV_BROADCAST_VOLUME v{};
  v.dbcv_size = sizeof v;
  v.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  v.dbcv_unitmask = mask;
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(w, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&v), SMTO_NORMAL, timeoutMs,
                             &result) != 0;
}

}  // namespace

HWND findTopLevel(DWORD pid, const char* cls, const char* title) {
  TopSearch s{pid, cls, title, true, {}};
  EnumWindows(collectTop, reinterpret_cast<LPARAM>(&s));
  return s.found.empty() ? nullptr : s.found.front();
}

std::vector<HWND> topLevelWindows(DWORD pid) {
  TopSearch s{pid, nullptr, nullptr, false, {}};
  EnumWindows(collectTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND findControl(HWND root, int id) {
  ChildSearch s{id, nullptr, nullptr, nullptr};
  EnumChildWindows(root, findChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND findControlByText(HWND root, const char* cls, const std::string& text) {
  ChildSearch s{0, cls, &text, nullptr};
  EnumChildWindows(root, findChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string className(HWND w) {
  char buf[256] = {};
  GetClassNameA(w, buf, sizeof buf);
  return buf;
}

std::string windowText(HWND w) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &len)) return "<no answer>";
  std::string buf(len + 64, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(&buf[0]), SMTO_NORMAL, 5000, &got);
  buf.resize(strnlen(buf.c_str(), buf.size()));
  return buf;
}

RECT placeInParent(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  HWND parent = GetParent(w);
  if (parent && (GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LONG_PTR style(HWND w) { return GetWindowLongPtrA(w, GWL_STYLE); }
LONG_PTR exStyle(HWND w) { return GetWindowLongPtrA(w, GWL_EXSTYLE); }

bool isChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void setChecked(HWND button, bool checked) {
  if (isChecked(button) != checked) click(button);
}

void click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
void clickPosted(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

int comboCount(HWND combo) { return (int)SendMessageA(combo, CB_GETCOUNT, 0, 0); }
int comboSelection(HWND combo) { return (int)SendMessageA(combo, CB_GETCURSEL, 0, 0); }

std::string comboItem(HWND combo, int index) {
  // Wine hands CB_GETLBTEXT's text across processes in UTF-16 even to the
  // ANSI call, so ask for UTF-16 and turn it into the ANSI code page here.
  LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (len < 0) return "<no item>";
  std::wstring wide(len + 64, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&wide[0]));
  wide.resize(wcsnlen(wide.c_str(), wide.size()));
  int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), (int)wide.size(), &out[0], n, nullptr, nullptr);
  return out;
}

HWND waitForMessageBox(DWORD pid, const std::string& title, DWORD timeoutMs) {
  HWND box = nullptr;
  waitUntil([&] { return (box = findTopLevel(pid, "#32770", title.c_str())) != nullptr; }, timeoutMs, 10);
  return box;
}

std::vector<std::string> openMessageBoxes(DWORD pid) {
  std::vector<std::string> titles;
  TopSearch s{pid, "#32770", nullptr, true, {}};
  EnumWindows(collectTop, reinterpret_cast<LPARAM>(&s));
  for (HWND w : s.found) {
    char buf[512] = {};
    GetWindowTextA(w, buf, sizeof buf);
    titles.push_back(buf);
  }
  return titles;
}

std::string messageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? windowText(text) : "<no text control>";
}

bool answerMessageBox(HWND box, int buttonId, DWORD timeoutMs) {
  HWND button = GetDlgItem(box, buttonId);
  if (button)
    PostMessageA(button, BM_CLICK, 0, 0);
  else
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
  return waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs, 10);
}

void pressKey(HWND top, WORD vk, bool alt) {
  SetForegroundWindow(top);
  waitUntil([&] { return GetForegroundWindow() == top; }, 2000, 10);
  INPUT in[4] = {};
  int n = 0;
  auto key = [&](WORD k, bool up) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = k;
    in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++n;
  };
  if (alt) key(VK_MENU, false);
  key(vk, false);
  key(vk, true);
  if (alt) key(VK_MENU, true);
  SendInput(n, in, sizeof(INPUT));
}

bool sendVolumeArrival(HWND w, DWORD mask, DWORD timeoutMs) {
  return sendNotice(w, DBT_DEVICEARRIVAL, mask, timeoutMs);
}

bool sendVolumeRemoval(HWND w, DWORD mask, DWORD timeoutMs) {
  return sendNotice(w, DBT_DEVICEREMOVECOMPLETE, mask, timeoutMs);
}

long long pingMicros(HWND w, DWORD timeoutMs) {
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &r)) return -1;
  QueryPerformanceCounter(&b);
  return (b.QuadPart - a.QuadPart) * 1000000 / f.QuadPart;
}

}  // namespace e2e
