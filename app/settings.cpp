#include "app/settings.h"

#include <limits>

#include "app/events.h"
#include "app/program.h"
#include "common/text.h"
#include "device/census.h"
#include "platform/files.h"
#include "platform/system.h"

namespace usbdup {

namespace {
const char kSection[] = "system";
const char kKey[] = "autocopyto";

// GBK full-width forms: 0xA3 0xA1..0xFE stand for the ASCII bytes 0x21..0x7E,
// and 0xA1 0xA1 is the full-width blank.
std::string foldFullWidth(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!isLeadByte(c) || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
    if (c == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out += static_cast<char>(trail - 0x80);
    } else if (c == 0xA1 && trail == 0xA1) {
      out += ' ';
    } else {
      out += text[i];
      out += text[i + 1];
    }
    ++i;
  }
  return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
}  // namespace

int32_t settingInteger(const std::string& text) {
  const std::string folded = foldFullWidth(text);
  size_t i = 0;
  while (i < folded.size() && isBlank(folded[i])) ++i;
  bool negative = false;
  if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) negative = folded[i++] == '-';
  // Saturate rather than wrap, so that no long number can pass for 1.
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  int64_t value = 0;
  for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
    value = value * 10 + (folded[i] - '0');
    if (value > limit) value = limit;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

void loadSettings() {
  Program& p = program();
  // The first run leaves a settings file behind; a failure here only means the
  // default below is read.
  if (!fileSystem().entryExists(p.settingsPath)) writeProfileString(p.settingsPath, kSection, kKey, "1");
  p.copyOnInsert = settingInteger(readProfileString(p.settingsPath, kSection, kKey, "1"));
}

void applyCopySwitch() { ui().setChecked(Control::copySwitch, program().copyOnInsert == 1); }

bool saveSettings() {
  Program& p = program();
  p.copyOnInsert = ui().isChecked(Control::copySwitch) ? 1 : 0;
  // Deleting the old file first would lose it when the new one cannot be
  // written (read-only folder, full disk). Write the new file completely
  // beside it, then put it in place in one step.
  const std::string fresh = p.settingsPath + ".new";
  FileSystem& fs = fileSystem();
  fs.deleteFile(fresh);  // a leftover of an earlier failed save would keep its other keys
  const bool saved = writeProfileString(fresh, kSection, kKey, p.copyOnInsert == 1 ? "1" : "0") &&
                     fs.replaceFile(fresh, p.settingsPath);
  if (!saved) fs.deleteFile(fresh);
  return saved;
}

void onSaveClicked() {
  const bool saved = saveSettings();
  runMasterCensus();
  // A close confirmed during the census has taken the window away.
  if (program().windowDestroyed) return;
  if (saved) {
    ui().messageBox("设置已保存！", "完成", kBoxInformation);
  } else {
    ui().messageBox("设置保存失败！", "错误", kBoxError);
  }
}

}  // namespace usbdup
