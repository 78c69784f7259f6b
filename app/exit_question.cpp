// The exit question that guards every way of closing the window.
//
// A close confirmed while a master census is running (the close box and Esc
// stay usable in the busy state) is deferred: the census is asked to stop, and
// the outermost census destroys the window once it has unwound, so no census
// ever works on destroyed controls.
#include "app/events.h"
#include "app/program.h"
#include "device/census.h"

namespace usbdup {

namespace {
// The question is task-modal, but a close request can still be sent to the
// window while it is open; one question at a time.
bool g_asking = false;

bool askExit() {
  g_asking = true;
  const bool ok = ui().messageBox("确实要退出软件", "退出", kBoxQuestion) == kAnswerOk;
  g_asking = false;
  return ok;
}
}  // namespace

bool onCloseRequested() {
  Program& p = program();
  // Already asking, or confirmed and waiting for the census to unwind.
  if (g_asking || p.closeAfterCensus) return false;
  if (!askExit()) return false;
  if (p.censusDepth > 0) {
    p.closeAfterCensus = true;
    return false;
  }
  return true;
}

void onExitClicked() {
  Program& p = program();
  if (g_asking || p.closeAfterCensus) return;
  if (!askExit()) return;
  if (p.censusDepth > 0) {
    p.closeAfterCensus = true;
    return;
  }
  ui().destroyWindow();
}

}  // namespace usbdup
