// Walks a master folder depth first and copies every file to its mirrored place
// on the target, reporting progress and failures as it goes.
#pragma once
#include <cstdint>
#include <string>

#include "jobs/task_queue.h"
#include "platform/system.h"

namespace usbdup {

// How the tree copy reports; the copy worker connects it to the window and the event log.
class CopyReporter {
 public:
  virtual ~CopyReporter() = default;
  // Progress texts for the task's row.
  virtual void showStatus(int32_t taskId, const std::string& text) = 0;
  // One call per file that failed to copy.
  virtual void logFailure(const std::string& time, const std::string& kind, const std::string& message) = 0;
  // Checked before each file: at program exit the walk ends at a file boundary.
  virtual bool stopRequested() { return false; }
};

// Copies folder (under masterRoot) and everything below it onto targetRoot.
// copiedCount runs on over the whole task; percent is the last percentage shown.
void copyTree(const std::string& masterRoot, const std::string& folder, const std::string& targetRoot,
              const CopyTask& task, int64_t total, int64_t& copiedCount, int32_t& percent, CopyReporter& reporter);

// copied of total in whole percent, the quotient taken first (29 of 100 -> 28).
int32_t copyPercent(int64_t copied, int64_t total);

// "2024年3月5日9时7分2秒", with trailing zero fields left out.
std::string timeText(const LocalTime& t);

// "正在复制...(" + digits + "%)".
std::string progressText(int32_t percent);

}  // namespace usbdup
