#include "copy/tree_copy.h"

#include <cmath>
#include <limits>
#include <memory>

#include "common/text.h"
#include "copy/mirrored_copy.h"
#include "platform/files.h"

namespace usbdup {

int32_t copyPercent(int64_t copied, int64_t total) {
  if (total == 0) return 0;
  // Quotient first, then times 100: exact percentages may come out one lower,
  // which is how the figures have always been shown.
  const double quotient = static_cast<double>(copied) / static_cast<double>(total);
  const double product = quotient * 100.0;
  // Out-of-range products (a total far below the count) are held at the edge
  // instead of being converted, which would be undefined.
  if (std::isnan(product)) return 0;
  if (product >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (product <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(product);  // cuts the fraction off toward zero
}

std::string timeText(const LocalTime& t) {
  std::string text = std::to_string(t.year) + "年" + std::to_string(t.month) + "月" + std::to_string(t.day) + "日";
  if (t.second != 0) {
    text += std::to_string(t.hour) + "时" + std::to_string(t.minute) + "分" + std::to_string(t.second) + "秒";
  } else if (t.minute != 0) {
    text += std::to_string(t.hour) + "时" + std::to_string(t.minute) + "分";
  } else if (t.hour != 0) {
    text += std::to_string(t.hour) + "时";
  }
  return text;
}

std::string progressText(int32_t percent) { return "正在复制...(" + std::to_string(percent) + "%)"; }

void copyTree(const std::string& masterRoot, const std::string& folderIn, const std::string& targetRoot,
              const CopyTask& task, int64_t total, int64_t& copiedCount, int32_t& percent, CopyReporter& reporter) {
  const std::string folder = withBackslash(folderIn);
  const std::string pattern = folder + "*.*";
  FileSystem& fs = fileSystem();
  DirEntry entry;

  // Files pass: this folder's own files before any of its subfolders.
  if (std::unique_ptr<Listing> files = fs.listFolder(pattern)) {
    while (files->next(entry)) {
      if (entry.attributes & kAttrDirectory) continue;
      if (reporter.stopRequested()) return;
      if (copyMirroredFile(masterRoot, folder + entry.name, targetRoot)) {
        ++copiedCount;
        percent = copyPercent(copiedCount, total);
        reporter.showStatus(task.taskId, progressText(percent));
      } else {
        reporter.logFailure(timeText(localNow()), "错误", "文件：" + folder + entry.name + "复制失败！");
      }
    }
  }

  // Folders pass: the listing stays open while each subfolder is copied whole.
  if (std::unique_ptr<Listing> folders = fs.listFolder(pattern)) {
    while (folders->next(entry)) {
      if (!(entry.attributes & kAttrDirectory) || entry.name == "." || entry.name == "..") continue;
      if (reporter.stopRequested()) return;
      copyTree(masterRoot, folder + entry.name, targetRoot, task, total, copiedCount, percent, reporter);
    }
  }
}

}  // namespace usbdup
