#include "device/drive_lists.h"

#include "app/events.h"
#include "app/program.h"
#include "device/census.h"

namespace usbdup {

namespace {
const char kMasterType[] = "范本母盘";
const char kWaiting[] = "等待执行操作...";
const uint32_t kDispatchPeriod = 1000;
}  // namespace

int32_t findRowByText(Ui& ui, ListView list, const std::string& text) {
  const int32_t n = ui.rowCount(list);
  for (int32_t row = 0; row < n; ++row) {
    if (ui.cellText(list, row, 0) == text) return row;
  }
  return -1;
}

int32_t findTaskRow(Ui& ui, int32_t taskId) {
  const int32_t n = ui.rowCount(ListView::targetList);
  for (int32_t row = 0; row < n; ++row) {
    if (ui.rowValue(ListView::targetList, row) == taskId) return row;
  }
  return -1;
}

void setTaskStatus(Ui& ui, int32_t taskId, int32_t column, const std::string& text) {
  ui.runOnUiThread([&ui, taskId, column, &text] {
    const int32_t row = findTaskRow(ui, taskId);
    if (row >= 0) ui.setCellText(ListView::targetList, row, column, text);
  });
}

void setTaskStatus(int32_t taskId, int32_t column, const std::string& text) {
  setTaskStatus(ui(), taskId, column, text);
}

void onVolumeArrival(DriveMask mask) {
  Program& p = program();
  Ui& window = ui();
  const std::vector<std::string> letters = splitText(driveLettersFromMask(mask), ':');
  // One reading decides for every drive of this notice.
  if (p.masterSetMode == 1) {
    for (const std::string& letter : letters) {
      const int32_t row = window.appendRow(ListView::masterList, letter + ":\\");
      window.setCellText(ListView::masterList, row, 1, kMasterType);
    }
    // A census running beneath the set-master box must not miss the new master.
    if (!letters.empty()) masterListChanged();
  } else {
    for (const std::string& letter : letters) {
      const std::string drive = letter + ":";
      const int32_t row = window.appendRow(ListView::targetList, drive + "\\");
      window.setCellText(ListView::targetList, row, 1, kWaiting);
      CopyTask task;
      task.taskId = taskQueue().totalCount();
      window.setRowValue(ListView::targetList, row, task.taskId);
      task.state = 1;
      task.rootPath = drive + "\\";
      task.pairs.clear();
      taskQueue().addTask(task);
    }
  }
  window.setTimerPeriod(kDispatchPeriod);
}

void onVolumeRemoval(DriveMask mask) {
  Ui& window = ui();
  for (std::string piece : splitText(driveLettersFromMask(mask), ':')) {
    if (!endsWith(piece, ':')) piece += ':';
    piece = withBackslash(piece);
    int32_t row = findRowByText(window, ListView::targetList, piece);
    if (row >= 0) window.deleteRow(ListView::targetList, row);
    row = findRowByText(window, ListView::masterList, piece);
    if (row >= 0) {
      window.deleteRow(ListView::masterList, row);
      runMasterCensus();
    }
  }
}

void onSetMasterClicked() {
  Program& p = program();
  p.masterSetMode = 1;
  ui().messageBox(
      "请将作为范本母本的设备插入电脑，完成后单击确定！\r\n\r\n提示：请等待设备插入后被软件成功识别时再点击确定关闭本对话框！",
      "等待设备插入...", kBoxExclamation);
  p.masterSetMode = 0;
  runMasterCensus();
}

}  // namespace usbdup
