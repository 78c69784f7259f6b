// Small non-owning wrappers over the controls of the main window: each holds
// an HWND and turns one message into one method. Sent messages are carried out
// on the window's thread even when the caller runs on another one.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace usbdup::win {

class Window {
 public:
  explicit Window(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  HWND handle() const { return hwnd_; }
  LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(hwnd_, message, wParam, lParam);
  }
  void setFont(HFONT font) const { send(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }
  void setText(const std::string& text) const { SetWindowTextA(hwnd_, text.c_str()); }
  void show(bool visible) const { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
  bool isVisible() const { return IsWindowVisible(hwnd_) != FALSE; }
  void enable(bool enabled) const { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
  bool isEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

 protected:
  HWND hwnd_;
};

class Static : public Window {
 public:
  using Window::Window;
};

class Button : public Window {
 public:
  using Window::Window;
  void click() const { send(BM_CLICK); }
};

class CheckBox : public Window {
 public:
  using Window::Window;
  bool isChecked() const { return send(BM_GETCHECK) == BST_CHECKED; }
  void setChecked(bool checked) const { send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
};

class ComboBox : public Window {
 public:
  using Window::Window;
  int addString(const char* text) const { return int(send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
  void select(int index) const { send(CB_SETCURSEL, WPARAM(index)); }
  int selection() const { return int(send(CB_GETCURSEL)); }
  int itemHeight(int index) const { return int(send(CB_GETITEMHEIGHT, WPARAM(index))); }
  void setItemHeight(int index, int height) const { send(CB_SETITEMHEIGHT, WPARAM(index), height); }
};

class Edit : public Window {
 public:
  using Window::Window;
};

class StatusBar : public Window {
 public:
  using Window::Window;
  void setParts(int count, const int* rightEdges) const {
    send(SB_SETPARTS, WPARAM(count), reinterpret_cast<LPARAM>(rightEdges));
  }
  void setPartText(int part, const char* text) const { send(SB_SETTEXTA, WPARAM(part), reinterpret_cast<LPARAM>(text)); }
};

class ListView : public Window {
 public:
  using Window::Window;
  void setExtendedStyle(DWORD style) const { send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
  void setTextColor(COLORREF color) const { send(LVM_SETTEXTCOLOR, 0, LPARAM(color)); }
  void setTextBkColor(COLORREF color) const { send(LVM_SETTEXTBKCOLOR, 0, LPARAM(color)); }
  void setBkColor(COLORREF color) const { send(LVM_SETBKCOLOR, 0, LPARAM(color)); }
  int insertColumn(int index, const LVCOLUMNA& column) const {
    return int(send(LVM_INSERTCOLUMNA, WPARAM(index), reinterpret_cast<LPARAM>(&column)));
  }
  int itemCount() const { return int(send(LVM_GETITEMCOUNT)); }
  int insertItem(const LVITEMA& item) const { return int(send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item))); }
  bool setItem(const LVITEMA& item) const { return send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0; }
  bool getItem(LVITEMA& item) const { return send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0; }
  bool setItemText(int row, const LVITEMA& item) const {
    return send(LVM_SETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item)) != 0;
  }
  int getItemText(int row, LVITEMA& item) const {
    return int(send(LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item)));
  }
  bool deleteItem(int row) const { return send(LVM_DELETEITEM, WPARAM(row)) != 0; }
};

}  // namespace usbdup::win
