// One run of usbdup.exe as the operator sees it: the program in its own
// folder, drive letters plugged and pulled, the lists, the busy state, the
// message boxes and the way out. The tests of the window, the drive lists and
// the copy cycle are written against this.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/app.h"
#include "driver/files.h"
#include "driver/list_view.h"
#include "driver/windows.h"
#include "platform/win32/control_ids.h"

namespace e2e {

using Rows = std::vector<std::vector<std::string>>;

// Titles of the program's message boxes.
extern const char* const kSetMasterTitle;  // the set-master prompt
extern const char* const kExitTitle;       // the exit question
extern const char* const kSavedTitle;      // the save confirmation
extern const char* const kLogFailTitle;    // the event log failed at start

class Session {
 public:
  // The program runs from programFolder (created if missing); nothing is
  // started yet.
  explicit Session(std::string programFolder);
  ~Session();  // the process is gone afterwards, one way or another

  // Starts the program and waits for its window.
  bool start();
  App& app() { return *app_; }
  HWND window() const { return app_->window(); }
  DWORD pid() const { return app_->pid(); }
  const std::string& folder() const { return folder_; }

  HWND control(int id) const { return findControl(window(), id); }
  Rows masterRows() const;
  Rows targetRows() const;
  // Row values of targetList, top to bottom.
  std::vector<long long> targetValues() const;
  // The status text of the target row that carries taskId; empty when no
  // row carries it (any more).
  std::string targetStatus(long long taskId) const;
  // Watches that status text, polling about every millisecond, until it
  // reads `until` (when given) or timeoutMs have passed; returns the
  // succession of distinct texts seen, the empty text standing for a row
  // that is gone. A text that lasts less than one poll can go unseen.
  std::vector<std::string> watchStatus(long long taskId, DWORD timeoutMs, const std::string& until = "") const;

  // The busy state of the master census: censusNotice shown and the five
  // controls disabled. busy() and idle() are each all-or-nothing.
  bool busy() const;
  bool idle() const;
  bool waitIdle(DWORD timeoutMs = 60000) const;

  // Maps letter to folder without telling the program (the stick is in, the
  // notice not yet sent).
  bool insert(char letter, const std::string& folder) { return drives_.map(letter, folder); }
  // One arrival notice naming all the letters (insert them first; a letter
  // that is not mapped makes a notice for a drive that cannot be reached).
  bool plug(const std::string& letters);
  // Unmaps the letters and sends one removal notice with all of them.
  bool pull(const std::string& letters);

  // The set-master flow: the button, the prompt, one arrival notice for the
  // letters (already inserted), OK, and the census to its end.
  bool setMasters(const std::string& letters);

  // The exit button and OK; the exit code, or -1 if the program stayed.
  long quit();

 private:
  std::string folder_;
  DriveMap drives_;
  std::unique_ptr<App> app_;
};

// Lines of a text file without their CR LF; empty when it cannot be read.
std::vector<std::string> fileLines(const std::string& path);

}  // namespace e2e
