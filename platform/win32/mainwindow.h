// The program's one top-level window: creates every control, keeps `this` in
// GWLP_USERDATA and turns its messages into the events of WindowEvents.
#pragma once
#include <windows.h>

#include "win32_ui.h"

namespace usbdup {

// What the window raises, all on the UI thread. The program forwards these to
// the handlers of app/events.h; tests record them.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // All controls exist; false ends the program at once (the window is not created).
  virtual bool created(Ui& ui, HWND window) = 0;
  // Close box, system menu, Alt+F4, Esc: true lets the window close.
  virtual bool closeRequested() = 0;
  virtual void exitClicked() = 0;
  virtual void saveClicked() = 0;
  virtual void setMasterClicked() = 0;
  virtual void dispatchTick() = 0;
  virtual void destroying() = 0;
};

class MainWindow {
 public:
  explicit MainWindow(WindowEvents& events) : events_(events) {}
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window centred on the screen, still hidden. False when it
  // could not be created or the created event declined.
  bool create(HINSTANCE instance);
  void show(int showCommand);
  // Runs the thread's message loop until the quit message.
  void runMessageLoop();
  HWND handle() const { return hwnd_; }
  Win32Ui& ui() { return ui_; }

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onCreate();
  void onCommand(int id, int code);
  void onCloseRequest();
  void onTimer(UINT_PTR id);
  void onDrawItem(const DRAWITEMSTRUCT& item);
  void onActivate(bool active);
  void onSetFocus();
  void onDestroy();
  void onNcDestroy();

  void createFonts();
  void createControls();
  HFONT fontFor(int kind) const;

  WindowEvents& events_;
  Win32Ui ui_;
  HWND hwnd_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool startFailed_ = false;
  HFONT bold12_ = nullptr;
  HFONT bold14_ = nullptr;
  HFONT song12_ = nullptr;
};

}  // namespace usbdup
