// What the logic needs of the main window: its two list views, a few control
// properties, the dispatch timer, message boxes and the message pump.
// platform/win32 implements it over the real controls; platform/posix holds a
// headless model for native tests.
//
// Threads: every call may come from any thread. List and control calls made
// from a worker are carried out on the UI thread (the caller waits, as with a
// cross-thread SendMessage); setTimerPeriod from a worker is posted.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace usbdup {

enum class ListView { masterList, targetList };

enum class Control {
  formatGroup,
  copyGroup,
  saveButton,
  exitButton,
  setMasterButton,
  censusNotice,
  copySwitch,
  formatSwitch,
};

// Message-box styles and answers, as Win32 numbers them.
enum : uint32_t {
  kBoxError = 16,        // MB_OK | MB_ICONHAND
  kBoxQuestion = 33,     // MB_OKCANCEL | MB_ICONQUESTION
  kBoxExclamation = 48,  // MB_OK | MB_ICONEXCLAMATION
  kBoxInformation = 64,  // MB_OK | MB_ICONASTERISK
};
enum : int { kAnswerOk = 1, kAnswerCancel = 2 };

class Ui {
 public:
  virtual ~Ui() = default;

  virtual int32_t rowCount(ListView list) = 0;
  // Appends a row with text in column 0 and row value 0; its index, or -1.
  virtual int32_t appendRow(ListView list, const std::string& text) = 0;
  virtual void setCellText(ListView list, int32_t row, int32_t column, const std::string& text) = 0;
  // Any length; empty for an empty cell or a missing row.
  virtual std::string cellText(ListView list, int32_t row, int32_t column) = 0;
  // 0 for a missing row.
  virtual int32_t rowValue(ListView list, int32_t row) = 0;
  virtual void setRowValue(ListView list, int32_t row, int32_t value) = 0;
  virtual void deleteRow(ListView list, int32_t row) = 0;

  virtual bool isChecked(Control control) = 0;
  virtual void setChecked(Control control, bool checked) = 0;
  virtual void setVisible(Control control, bool visible) = 0;
  virtual void setDisabled(Control control, bool disabled) = 0;

  // dispatchTimer: 0 stops it; a positive value (re)starts it with that
  // interval; setting the period it already has changes nothing.
  virtual void setTimerPeriod(uint32_t milliseconds) = 0;
  virtual uint32_t timerPeriod() = 0;

  // A task-modal box without owner; device notices and ticks go on meanwhile.
  virtual int messageBox(const std::string& text, const std::string& title, uint32_t style) = 0;

  // Dispatches pending messages (sent ones on the way); a quit message stays queued.
  virtual void processPendingMessages() = 0;

  // Runs fn on the UI thread and waits for it (at once when already there).
  virtual void runOnUiThread(const std::function<void()>& fn) = 0;
  // Queues fn to run on the UI thread later.
  virtual void postToUiThread(std::function<void()> fn) = 0;

  // Destroys the main window (the exit button's way out).
  virtual void destroyWindow() = 0;

  // Waits until done() answers true while handling only what other threads
  // send to the window (a worker's status texts), so that a worker that waits
  // for the UI thread can finish: no timer tick, no input, no posted message.
  virtual void waitHandlingSentMessages(const std::function<bool()>& done) {
    while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
};

}  // namespace usbdup
