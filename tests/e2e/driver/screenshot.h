// Saves what the screen shows of a window as a PNG file (a test artefact).
#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// Copies the window's screen rectangle from the screen and writes it to path
// (a Windows path). False when nothing could be captured or written.
bool saveWindowPng(HWND w, const std::string& path);

// The folder for test artefacts: the environment variable
// USBDUP_E2E_ARTEFACTS, else the current folder.
std::string artefactFolder();

}  // namespace e2e
