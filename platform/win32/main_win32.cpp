// Program entry: the common controls, the program-wide objects, the main
// window and its message loop, and the release routine at the end.
#include <windows.h>
#include <commctrl.h>

#include "app/events.h"
#include "mainwindow.h"

namespace {

// The window's events, handed to the application's handlers.
class AppEvents : public usbdup::WindowEvents {
 public:
  bool created(usbdup::Ui& ui, HWND window) override { return usbdup::onWindowCreated(ui, window); }
  bool closeRequested() override { return usbdup::onCloseRequested(); }
  void exitClicked() override { usbdup::onExitClicked(); }
  void saveClicked() override { usbdup::onSaveClicked(); }
  void setMasterClicked() override { usbdup::onSetMasterClicked(); }
  void dispatchTick() override { usbdup::onDispatchTick(); }
  void destroying() override { usbdup::onWindowDestroying(); }
};

// Runs the release routine once, on every way out of WinMain.
struct ReleaseAtEnd {
  ~ReleaseAtEnd() { usbdup::releaseAll(); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  usbdup::programStart();
  ReleaseAtEnd releaseAtEnd;
  AppEvents events;
  usbdup::MainWindow window(events);
  if (window.create(instance)) {
    window.show(showCommand);
    window.runMessageLoop();
  }
  return 0;
}
