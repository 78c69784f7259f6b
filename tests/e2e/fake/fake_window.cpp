// A small stand-in for usbdup.exe's window, for the driver's own check: the
// same title, a list view inside a group box that fills from volume notices,
// a check box, a combo box, a button that opens a task-modal box, and the
// exit question on every close. Nothing here is the real program.
#include <windows.h>

#include <commctrl.h>
#include <dbt.h>

#include <string>

namespace {

enum { kGroup = 100, kList = 101, kCheck = 102, kCombo = 103, kAsk = 104, kAnswer = 105 };
const char kTitle[] = "KV9T USB存储设备批量对拷工具 SW  by Dornak Software Lab";
HWND gList, gAnswer;
int gNextValue = 7;

void addColumn(HWND list, int index, const char* title, int width) {
  LVCOLUMNA c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  c.fmt = LVCFMT_LEFT;
  c.cx = width;
  c.pszText = const_cast<char*>(title);
  SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&c));
}

void onCreate(HWND w) {
  HINSTANCE hi = GetModuleHandleA(nullptr);
  HWND group = CreateWindowA("BUTTON", "组", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 5, 11, 300, 200, w,
                             (HMENU)kGroup, hi, nullptr);
  gList = CreateWindowA(WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 8, 17, 255, 127, group,
                        (HMENU)kList, hi, nullptr);
  addColumn(gList, 0, "盘符：", 50);
  addColumn(gList, 1, "状态：", 200);
  HWND check = CreateWindowA("BUTTON", "启用", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 320, 10, 60,
                             24, w, (HMENU)kCheck, hi, nullptr);
  SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
  HWND combo = CreateWindowA("COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 320, 40, 144, 200, w,
                             (HMENU)kCombo, hi, nullptr);
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("FAT32（默认）"));
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("NTFS"));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  CreateWindowA("BUTTON", "问", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 320, 80, 80, 24, w, (HMENU)kAsk, hi, nullptr);
  gAnswer = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 320, 110, 80, 24, w, (HMENU)kAnswer, hi, nullptr);
}

void onVolume(WPARAM event, DWORD mask) {
  for (int bit = 0; bit < 26; ++bit) {
    if (!(mask & (1u << bit))) continue;
    std::string drive = std::string(1, char('A' + bit)) + ":\\";
    if (event == DBT_DEVICEARRIVAL) {
      LVITEMA it{};
      it.mask = LVIF_TEXT | LVIF_PARAM;
      it.iItem = (int)SendMessageA(gList, LVM_GETITEMCOUNT, 0, 0);
      it.pszText = &drive[0];
      it.lParam = gNextValue++;
      int row = (int)SendMessageA(gList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
      it.iSubItem = 1;
      it.pszText = const_cast<char*>("等待执行操作...");
      SendMessageA(gList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&it));
    } else {
      LVFINDINFOA f{};
      f.flags = LVFI_STRING;
      f.psz = drive.c_str();
      int row = (int)SendMessageA(gList, LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&f));
      if (row >= 0) SendMessageA(gList, LVM_DELETEITEM, row, 0);
    }
  }
}

LRESULT CALLBACK windowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      onCreate(w);
      return 0;
    case WM_DEVICECHANGE:
      if ((wp == DBT_DEVICEARRIVAL || wp == DBT_DEVICEREMOVECOMPLETE) && lp &&
          reinterpret_cast<DEV_BROADCAST_HDR*>(lp)->dbch_devicetype == DBT_DEVTYP_VOLUME)
        onVolume(wp, reinterpret_cast<DEV_BROADCAST_VOLUME*>(lp)->dbcv_unitmask);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == kAsk) {
        int answer = MessageBoxA(nullptr, "你好", "提问", 33 | MB_TASKMODAL);
        SetWindowTextA(gAnswer, answer == IDOK ? "OK" : "Cancel");
      }
      return 0;
    case WM_CLOSE:
      if (MessageBoxA(nullptr, "确实要退出软件", "退出", 33 | MB_TASKMODAL) == IDOK) DestroyWindow(w);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hi, HINSTANCE, LPSTR, int show) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = hi;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "e2eFakeWindow";
  RegisterClassA(&wc);
  int x = (GetSystemMetrics(SM_CXSCREEN) - 657) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 570) / 2;
  HWND w = CreateWindowA("e2eFakeWindow", kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                         657, 570, nullptr, nullptr, hi, nullptr);
  ShowWindow(w, show);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
      PostMessageA(w, WM_CLOSE, 0, 0);
      continue;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
