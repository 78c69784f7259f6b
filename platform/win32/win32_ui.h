// The Ui of the logic over the real controls of the main window.
#pragma once
#include <windows.h>

#include <atomic>
#include <set>

#include "platform/ui.h"

namespace usbdup {

class Win32Ui : public Ui {
 public:
  // Binds to the main window once its controls exist; the calling thread is
  // the UI thread from then on.
  void attach(HWND mainWindow);
  // The window is gone: later calls find no control and change nothing.
  void detach();
  HWND mainWindow() const { return main_; }

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
  void waitHandlingSentMessages(const std::function<bool()>& done) override;

 private:
  bool onUiThread() const { return GetCurrentThreadId() == uiThread_; }
  HWND listHandle(ListView list) const { return list == ListView::masterList ? masterList_ : targetList_; }
  HWND controlHandle(Control control) const;
  // Enables every control whose own flag and whose groups' flags are clear.
  void applyEnabledStates();

  std::atomic<HWND> main_{nullptr};
  HWND masterList_ = nullptr;
  HWND targetList_ = nullptr;
  DWORD uiThread_ = 0;
  std::atomic<uint32_t> period_{0};
  std::set<int> disabledIds_;  // UI thread only
};

}  // namespace usbdup
