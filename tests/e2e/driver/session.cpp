#include "driver/session.h"

#include <utility>

namespace e2e {

using namespace usbdup;

const char* const kSetMasterTitle = "等待设备插入...";
const char* const kExitTitle = "退出";
const char* const kSavedTitle = "完成";
const char* const kLogFailTitle = "初始化出现问题！";

namespace {

const int kBusyControls[] = {idFormatGroup, idCopyGroup, idSaveButton, idExitButton, idSetMasterButton};

DWORD maskOf(const std::string& letters) {
  DWORD mask = 0;
  for (char l : letters) mask |= driveBit(l);
  return mask;
}

}  // namespace

Session::Session(std::string programFolder) : folder_(std::move(programFolder)), app_(new App) {}

Session::~Session() {
  if (app_->running() && app_->window()) {
    // Boxes left open by a failed test are answered first, then the way out.
    for (int i = 0; i < 3 && !openMessageBoxes(pid()).empty(); ++i) {
      HWND box = findTopLevel(pid(), "#32770", nullptr);
      if (box) answerMessageBox(box, GetDlgItem(box, IDCANCEL) ? IDCANCEL : IDOK, 3000);
    }
    quit();
  }
  app_.reset();  // terminates whatever is still running, before the drives go
}

bool Session::start() {
  return app_->start(folder_) && app_->waitForWindow() != nullptr;
}

Rows Session::masterRows() const { return RemoteListView(control(idMasterList)).rows(); }
Rows Session::targetRows() const { return RemoteListView(control(idTargetList)).rows(); }

std::vector<long long> Session::targetValues() const {
  RemoteListView list(control(idTargetList));
  std::vector<long long> values;
  for (int r = 0, n = list.rowCount(); r < n; ++r) values.push_back(list.rowValue(r));
  return values;
}

namespace {

std::string statusIn(const RemoteListView& list, long long taskId) {
  for (int r = 0, n = list.rowCount(); r < n; ++r)
    if (list.rowValue(r) == taskId) return list.cell(r, 1);
  return "";
}

}  // namespace

std::string Session::targetStatus(long long taskId) const {
  return statusIn(RemoteListView(control(idTargetList)), taskId);
}

std::vector<std::string> Session::watchStatus(long long taskId, DWORD timeoutMs, const std::string& until) const {
  RemoteListView list(control(idTargetList));
  std::vector<std::string> seen;
  DWORD start = GetTickCount();
  do {
    std::string text = statusIn(list, taskId);
    if (seen.empty() || seen.back() != text) seen.push_back(text);
    if (!until.empty() && text == until) break;
    Sleep(1);
  } while (GetTickCount() - start < timeoutMs);
  return seen;
}

bool Session::busy() const {
  if (!IsWindowVisible(control(idCensusNotice))) return false;
  for (int id : kBusyControls)
    if (IsWindowEnabled(control(id))) return false;
  return true;
}

bool Session::idle() const {
  if (IsWindowVisible(control(idCensusNotice))) return false;
  for (int id : kBusyControls)
    if (!IsWindowEnabled(control(id))) return false;
  return true;
}

bool Session::waitIdle(DWORD timeoutMs) const {
  return waitUntil([&] { return idle(); }, timeoutMs, 5);
}

bool Session::plug(const std::string& letters) { return sendVolumeArrival(window(), maskOf(letters)); }

bool Session::pull(const std::string& letters) {
  bool ok = true;
  for (char l : letters) ok = drives_.unmap(l) && ok;
  return sendVolumeRemoval(window(), maskOf(letters)) && ok;
}

bool Session::setMasters(const std::string& letters) {
  clickPosted(control(idSetMasterButton));
  HWND box = waitForMessageBox(pid(), kSetMasterTitle);
  if (!box) return false;
  if (!letters.empty() && !plug(letters)) return false;
  if (!answerMessageBox(box, IDOK)) return false;
  return waitIdle();
}

long Session::quit() {
  if (!app_->running()) return -1;
  clickPosted(control(idExitButton));
  HWND box = waitForMessageBox(pid(), kExitTitle, 5000);
  if (!box || !answerMessageBox(box, IDOK)) return -1;
  DWORD code = 0;
  return app_->waitForExit(10000, &code) ? (long)code : -1;
}

std::vector<std::string> fileLines(const std::string& path) {
  std::string bytes;
  std::vector<std::string> lines;
  if (!readFile(path, &bytes)) return lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

}  // namespace e2e
