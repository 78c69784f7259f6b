// Native tests of the window logic: the program-wide objects, a fresh program
// folder and the headless window, torn down in the order the program does.
// Header only, and only for *_posix_test.cpp files: the model exists natively.
#pragma once
#include <filesystem>
#include <string>

#include "app/events.h"
#include "app/program.h"
#include "drive_table.h"
#include "headless_ui.h"
#include "support/temp_dir.h"
#include "system_posix.h"

namespace usbdup {
namespace test {

struct HeadlessApp {
  TempDir dir;
  HeadlessUi ui;

  HeadlessApp() {
    programStart();
    setProgramFolder(dir.path());
  }
  ~HeadlessApp() {
    if (!ui.destroyed()) ui.destroyWindow();
    releaseAll();
    setProgramFolder(std::string());
    clearDrives();
  }

  // Starts the window; asserts nothing, answers onWindowCreated's verdict.
  bool start() { return ui.create(); }

  // A folder mapped as drive `letter`, holding `files` files in its root.
  std::string drive(char letter, int files = 0) {
    const std::string folder = dir.file(std::string("drive-") + letter);
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i) writeHostFile(folder + "/f" + std::to_string(i), "x");
    mapDrive(letter, folder);
    return folder;
  }
};

// Bit of a drive letter in a DriveMask.
inline DriveMask bit(char letter) { return 1u << (letter - 'A'); }

}  // namespace test
}  // namespace usbdup
