// The handlers that the main window calls, all on the UI thread. The window
// (platform/win32 or the headless model) owns the controls; these own the logic.
#pragma once
#include "platform/ui.h"
#include "platform/window_hook.h"

namespace usbdup {

// Creates the program-wide objects (before the window exists).
void programStart();
// Created event: runs the start-up sequence. False when the program must end
// at once (the event log could not be started; its message has been shown).
bool onWindowCreated(Ui& ui, WindowHandle window);
// May-close event (close box, system menu, Alt+F4, Esc): true lets it close.
bool onCloseRequested();
void onExitClicked();
void onSaveClicked();
void onSetMasterClicked();
void onDispatchTick();
// Will-be-destroyed event.
void onWindowDestroying();
// Release routine, once, at the end of the program, whichever way it ends.
void releaseAll();

}  // namespace usbdup
