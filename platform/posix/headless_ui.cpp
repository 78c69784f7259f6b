#include "headless_ui.h"

#include <cstring>

#include "app/events.h"
#include "window_hook_posix.h"

namespace usbdup {

namespace {
int index(Control c) { return static_cast<int>(c); }
}  // namespace

HeadlessUi::HeadlessUi() {
  // Every control shown and enabled; copySwitch ticked, formatSwitch not,
  // censusNotice hidden: the window's initial state.
  for (int i = 0; i < kControls; ++i) visible_[i] = true;
  checked_[index(Control::copySwitch)] = true;
  visible_[index(Control::censusNotice)] = false;
  registerWindow(handle(), ownProc);
}

HeadlessUi::~HeadlessUi() { unregisterWindow(handle()); }

intptr_t USBDUP_CALLBACK HeadlessUi::ownProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
  HeadlessUi* self = static_cast<HeadlessUi*>(window);
  std::lock_guard<std::recursive_mutex> lock(self->mutex_);
  self->messagesSeen_.push_back(message);
  return kOwnProcResult;
}

bool HeadlessUi::create() {
  const bool running = onWindowCreated(*this, handle());
  if (!running) destroyWindow();
  return running;
}

void HeadlessUi::requestClose() {
  if (destroyed()) return;
  if (onCloseRequested()) destroyWindow();
}

bool HeadlessUi::destroyed() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return destroyed_;
}

void HeadlessUi::scriptAnswer(int answer, std::function<void()> whileOpen) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  answers_.push_back(Answer{answer, std::move(whileOpen)});
}

intptr_t HeadlessUi::sendDeviceNotice(uint32_t event, DriveMask mask, uint32_t deviceType) {
  // DEV_BROADCAST_VOLUME: size, device type, reserved, unit mask, flags.
  unsigned char record[20] = {};
  const uint32_t size = 18;
  std::memcpy(record + 0, &size, 4);
  std::memcpy(record + 4, &deviceType, 4);
  std::memcpy(record + 12, &mask, 4);
  return sendWindowMessage(handle(), 0x0219, event, reinterpret_cast<intptr_t>(record));
}

std::vector<HeadlessUi::Row> HeadlessUi::rows(ListView l) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return list(l);
}

std::vector<HeadlessUi::Box> HeadlessUi::boxes() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return boxes_;
}

void HeadlessUi::clearBoxes() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  boxes_.clear();
}

std::vector<uint32_t> HeadlessUi::timerCalls() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return timerCalls_;
}

void HeadlessUi::clearTimerCalls() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  timerCalls_.clear();
}

void HeadlessUi::setPumpHook(std::function<void()> hook) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  pumpHook_ = std::move(hook);
}

std::vector<HeadlessUi::CellWrite> HeadlessUi::cellWrites() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return cellWrites_;
}

void HeadlessUi::clearCellWrites() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  cellWrites_.clear();
}

std::vector<HeadlessUi::Change> HeadlessUi::changes() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return changes_;
}

void HeadlessUi::clearChanges() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  changes_.clear();
}

bool HeadlessUi::isVisible(Control c) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return visible_[index(c)];
}

bool HeadlessUi::isDisabled(Control c) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return disabled_[index(c)];
}

std::vector<uint32_t> HeadlessUi::messagesSeen() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return messagesSeen_;
}

int HeadlessUi::callsAfterDestroy() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return callsAfterDestroy_;
}

bool HeadlessUi::gone() {
  if (destroyed_) ++callsAfterDestroy_;
  return destroyed_;
}

int32_t HeadlessUi::rowCount(ListView l) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone()) return 0;
  return static_cast<int32_t>(list(l).size());
}

int32_t HeadlessUi::appendRow(ListView l, const std::string& text) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone()) return -1;
  Row row;
  row.cells[0] = text;
  list(l).push_back(row);
  return static_cast<int32_t>(list(l).size()) - 1;
}

void HeadlessUi::setCellText(ListView l, int32_t row, int32_t column, const std::string& text) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone() || !validRow(l, row) || column < 0 || column > 1) return;
  Row& r = list(l)[static_cast<size_t>(row)];
  r.cells[column] = text;
  cellWrites_.push_back(CellWrite{l, r.value, column, text});
}

std::string HeadlessUi::cellText(ListView l, int32_t row, int32_t column) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone() || !validRow(l, row) || column < 0 || column > 1) return std::string();
  return list(l)[static_cast<size_t>(row)].cells[column];
}

int32_t HeadlessUi::rowValue(ListView l, int32_t row) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone() || !validRow(l, row)) return 0;
  return list(l)[static_cast<size_t>(row)].value;
}

void HeadlessUi::setRowValue(ListView l, int32_t row, int32_t value) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone() || !validRow(l, row)) return;
  list(l)[static_cast<size_t>(row)].value = value;
}

void HeadlessUi::deleteRow(ListView l, int32_t row) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone() || !validRow(l, row)) return;
  list(l).erase(list(l).begin() + row);
}

bool HeadlessUi::isChecked(Control c) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone()) return false;
  return checked_[index(c)];
}

void HeadlessUi::setChecked(Control c, bool checked) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone()) return;
  checked_[index(c)] = checked;
}

void HeadlessUi::setVisible(Control c, bool visible) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone()) return;
  visible_[index(c)] = visible;
  changes_.push_back(Change{c, 'v', visible});
}

void HeadlessUi::setDisabled(Control c, bool disabled) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone()) return;
  disabled_[index(c)] = disabled;
  changes_.push_back(Change{c, 'd', disabled});
}

void HeadlessUi::setTimerPeriod(uint32_t milliseconds) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (gone()) return;
  timerCalls_.push_back(milliseconds);
  period_ = milliseconds;
}

uint32_t HeadlessUi::timerPeriod() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return period_;
}

int HeadlessUi::messageBox(const std::string& text, const std::string& title, uint32_t style) {
  Answer answer{kAnswerOk, {}};
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    boxes_.push_back(Box{text, title, style});
    if (!answers_.empty()) {
      answer = std::move(answers_.front());
      answers_.pop_front();
    }
  }
  // The box's own message loop: the window takes no input, but notices,
  // ticks and posted messages are still handled.
  if (answer.whileOpen) answer.whileOpen();
  processPendingMessages();
  return answer.answer;
}

void HeadlessUi::processPendingMessages() {
  std::function<void()> hook;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    hook = pumpHook_;
  }
  if (hook) hook();
  for (;;) {
    std::function<void()> message;
    {
      std::lock_guard<std::recursive_mutex> lock(mutex_);
      if (pending_.empty()) return;
      message = std::move(pending_.front());
      pending_.pop_front();
    }
    message();
  }
}

void HeadlessUi::runOnUiThread(const std::function<void()>& fn) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  fn();
}

void HeadlessUi::postToUiThread(std::function<void()> fn) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  pending_.push_back(std::move(fn));
}

void HeadlessUi::destroyWindow() {
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (destroyed_) return;
  }
  // The will-be-destroyed event sees the window and its controls still there.
  onWindowDestroying();
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  destroyed_ = true;
}

}  // namespace usbdup
