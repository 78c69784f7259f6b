#include "device/census.h"

#include <vector>

#include "app/program.h"
#include "common/text.h"
#include "platform/files.h"

namespace usbdup {

namespace {
const Control kBusyControls[] = {Control::formatGroup, Control::copyGroup, Control::saveButton, Control::exitButton,
                                 Control::setMasterButton};

void processPending() {
  if (Ui* window = program().ui.load(std::memory_order_acquire)) window->processPendingMessages();
}

// True when the census under way must give up its current pass: the master
// list changed, a close is waiting, or the window is gone.
bool passAbandoned() {
  const Program& p = program();
  return p.censusDepth > 0 && (p.censusRestart || p.closeAfterCensus || p.windowDestroyed);
}

// The census stops for good (no further pass) only for a close.
bool censusStopped() {
  const Program& p = program();
  return p.closeAfterCensus || p.windowDestroyed;
}
}  // namespace

void enterBusyState() {
  Ui& window = ui();
  window.setVisible(Control::censusNotice, true);
  for (Control c : kBusyControls) window.setDisabled(c, true);
}

void leaveBusyState() {
  Ui& window = ui();
  window.setVisible(Control::censusNotice, false);
  for (Control c : kBusyControls) window.setDisabled(c, false);
}

void masterListChanged() {
  Program& p = program();
  if (p.censusDepth > 0) p.censusRestart = true;
}

void countTreeFiles(const std::string& path, std::atomic<int64_t>& total) {
  processPending();
  if (passAbandoned()) return;
  const std::string folder = withBackslash(path);
  // One listing serves both passes: the files are counted as they come, and
  // the subfolders are entered afterwards in the order they were listed.
  std::vector<std::string> subfolders;
  int64_t files = 0;
  if (std::unique_ptr<Listing> listing = fileSystem().listFolder(folder + "*.*")) {
    DirEntry entry;
    while (listing->next(entry)) {
      if ((entry.attributes & kAttrDirectory) == 0) {
        ++files;
      } else if (entry.name != "." && entry.name != "..") {
        subfolders.push_back(std::move(entry.name));
      }
    }
  }
  total.fetch_add(files, std::memory_order_relaxed);
  for (const std::string& name : subfolders) {
    countTreeFiles(folder + name, total);
    if (passAbandoned()) return;
  }
}

void runMasterCensus() {
  Program& p = program();
  if (p.windowDestroyed) return;
  if (p.censusDepth > 0) {
    // Nested inside a running census (a master pulled while it processed
    // messages): counting here and then letting the outer one go on would mix
    // two lists. The outer census starts over instead.
    p.censusRestart = true;
    return;
  }
  ++p.censusDepth;
  enterBusyState();
  Ui& window = ui();
  do {
    p.censusRestart = false;
    p.masterFileTotal.store(0);
    const int32_t n = window.rowCount(ListView::masterList);
    for (int32_t i = 0; i < n; ++i) {
      processPending();
      if (passAbandoned()) break;
      const std::string root = window.cellText(ListView::masterList, i, 0);
      // An empty cell is no drive: counting it would count the current drive.
      if (!root.empty()) countTreeFiles(root, p.masterFileTotal);
      if (passAbandoned()) break;
    }
  } while (p.censusRestart && !censusStopped());
  --p.censusDepth;
  if (p.windowDestroyed) return;
  leaveBusyState();
  if (p.closeAfterCensus) {
    p.closeAfterCensus = false;
    window.destroyWindow();
  }
}

}  // namespace usbdup
