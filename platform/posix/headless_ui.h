// A headless model of the main window for native tests: the two lists, the
// control states, the dispatch timer, a queue of pending messages and message
// boxes whose answers a test scripts. Thread-safe: calls from a second thread
// are serialised with the UI thread's, as cross-thread SendMessage does.
#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/ui.h"
#include "platform/window_hook.h"

namespace usbdup {

class HeadlessUi : public Ui {
 public:
  struct Row {
    std::string cells[2];
    int32_t value = 0;
  };
  struct Box {
    std::string text;
    std::string title;
    uint32_t style;
  };

  HeadlessUi();
  ~HeadlessUi() override;
  HeadlessUi(const HeadlessUi&) = delete;
  HeadlessUi& operator=(const HeadlessUi&) = delete;

  WindowHandle handle() { return this; }

  // The window's own events, as the real window raises them.
  // Created event; when the start-up fails the window is destroyed.
  bool create();
  // May-close event (close box, Esc): destroys the window when allowed.
  void requestClose();
  bool destroyed();

  // Scripts the answer of the next message box; whileOpen runs while the box
  // is open (before the pending messages it lets through).
  void scriptAnswer(int answer, std::function<void()> whileOpen = {});
  // A message that the next processPendingMessages dispatches.
  void post(std::function<void()> message) { postToUiThread(std::move(message)); }
  // Runs at the start of every processPendingMessages call (a test's way to
  // make something happen at the Nth point where the census lets messages in).
  void setPumpHook(std::function<void()> hook);
  // Sends WM_DEVICECHANGE with a volume record through the window's procedure.
  intptr_t sendDeviceNotice(uint32_t event, DriveMask mask, uint32_t deviceType = 2);

  std::vector<Row> rows(ListView list);
  std::vector<Box> boxes();
  void clearBoxes();
  // Every setTimerPeriod call, in order.
  std::vector<uint32_t> timerCalls();
  void clearTimerCalls();
  // Every text written into a cell of an existing row, in order, with the
  // row's value at that moment (a target row's taskId), so that a test can
  // read back all the status texts of one job even after its row moved.
  struct CellWrite {
    ListView list;
    int32_t rowValue;
    int32_t column;
    std::string text;
  };
  std::vector<CellWrite> cellWrites();
  void clearCellWrites();
  // Every change of a visible or disabled property, in order.
  struct Change {
    Control control;
    char property;  // 'v' visible, 'd' disabled
    bool value;
    bool operator==(const Change& o) const {
      return control == o.control && property == o.property && value == o.value;
    }
  };
  std::vector<Change> changes();
  void clearChanges();
  bool isVisible(Control control);
  bool isDisabled(Control control);
  // Messages that reached the window's own procedure, and its answer to them.
  std::vector<uint32_t> messagesSeen();
  static constexpr intptr_t kOwnProcResult = 0x5A17;
  // List and control calls made after the window was destroyed.
  int callsAfterDestroy();

  // Ui
  int32_t rowCount(ListView list) override;
  int32_t appendRow(ListView list, const std::string& text) override;
  void setCellText(ListView list, int32_t row, int32_t column, const std::string& text) override;
  std::string cellText(ListView list, int32_t row, int32_t column) override;
  int32_t rowValue(ListView list, int32_t row) override;
  void setRowValue(ListView list, int32_t row, int32_t value) override;
  void deleteRow(ListView list, int32_t row) override;
  bool isChecked(Control control) override;
  void setChecked(Control control, bool checked) override;
  void setVisible(Control control, bool visible) override;
  void setDisabled(Control control, bool disabled) override;
  void setTimerPeriod(uint32_t milliseconds) override;
  uint32_t timerPeriod() override;
  int messageBox(const std::string& text, const std::string& title, uint32_t style) override;
  void processPendingMessages() override;
  void runOnUiThread(const std::function<void()>& fn) override;
  void postToUiThread(std::function<void()> fn) override;
  void destroyWindow() override;

 private:
  static constexpr int kControls = 8;
  struct Answer {
    int answer;
    std::function<void()> whileOpen;
  };

  static intptr_t USBDUP_CALLBACK ownProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  std::vector<Row>& list(ListView l) { return l == ListView::masterList ? master_ : target_; }
  // Counts a call on a destroyed window; true when the call must do nothing.
  bool gone();
  bool validRow(ListView l, int32_t row) { return row >= 0 && static_cast<size_t>(row) < list(l).size(); }

  std::recursive_mutex mutex_;
  std::vector<Row> master_, target_;
  bool checked_[kControls] = {};
  bool visible_[kControls] = {};
  bool disabled_[kControls] = {};
  uint32_t period_ = 0;
  std::vector<uint32_t> timerCalls_;
  std::deque<std::function<void()>> pending_;
  std::deque<Answer> answers_;
  std::vector<Box> boxes_;
  std::vector<uint32_t> messagesSeen_;
  std::vector<Change> changes_;
  std::vector<CellWrite> cellWrites_;
  std::function<void()> pumpHook_;
  bool destroyed_ = false;
  int callsAfterDestroy_ = 0;
};

}  // namespace usbdup
