#include "driver/list_view.h"

#include <commctrl.h>

namespace e2e {

namespace {

// Layout of the block in the target: the record first, then the text buffer.
constexpr size_t kRecord = 256;
constexpr size_t kText = 4096;
constexpr size_t kBlock = kRecord + kText;

}  // namespace

RemoteListView::RemoteListView(HWND list) : list_(list) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                         FALSE, pid);
  if (process_)
    memory_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteListView::~RemoteListView() {
  if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

int RemoteListView::rowCount() const { return (int)SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0); }

std::string RemoteListView::cell(int row, int column) const {
  if (!memory_) return "<no access>";
  LVITEMA item{};
  item.iSubItem = column;
  std::string text;
  return textQuery(LVM_GETITEMTEXTA, row, &item, sizeof item, &item.pszText, &item.cchTextMax, &text) ? text
                                                                                                       : std::string();
}

LPARAM RemoteListView::rowValue(int row) const {
  if (!memory_) return 0;
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr);
  if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory_))) return 0;
  ReadProcessMemory(process_, memory_, &item, sizeof item, nullptr);
  return item.lParam;
}

std::vector<std::vector<std::string>> RemoteListView::rows(int columns) const {
  std::vector<std::vector<std::string>> out;
  int n = rowCount();
  for (int r = 0; r < n; ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c) row.push_back(cell(r, c));
    out.push_back(row);
  }
  return out;
}

int RemoteListView::columnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  return header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : -1;
}

std::string RemoteListView::columnTitle(int column) const {
  if (!memory_) return "<no access>";
  LVCOLUMNA col{};
  col.mask = LVCF_TEXT;
  std::string text;
  return textQuery(LVM_GETCOLUMNA, column, &col, sizeof col, &col.pszText, &col.cchTextMax, &text) ? text
                                                                                                   : "<no column>";
}

bool RemoteListView::textQuery(UINT message, WPARAM wParam, void* record, size_t size, LPSTR* textField,
                               int* capacityField, std::string* text) const {
  // The record and its text buffer must live in the list's own process: the
  // text pointer in the record is set to the buffer there, the buffer starts
  // empty, and the answer is read back from it.
  *textField = memory_ + kRecord;
  *capacityField = kText;
  static const char zero = 0;
  WriteProcessMemory(process_, memory_ + kRecord, &zero, 1, nullptr);
  WriteProcessMemory(process_, memory_, record, size, nullptr);
  const LRESULT answer = SendMessageA(list_, message, wParam, reinterpret_cast<LPARAM>(memory_));
  text->assign(kText, '\0');
  ReadProcessMemory(process_, memory_ + kRecord, &(*text)[0], kText, nullptr);
  text->resize(strnlen(text->c_str(), kText));
  return answer != 0;
}

int RemoteListView::columnWidth(int column) const {
  return (int)SendMessageA(list_, LVM_GETCOLUMNWIDTH, column, 0);
}

int RemoteListView::columnFormat(int column) const {
  if (!memory_) return -1;
  LVCOLUMNA col{};
  col.mask = LVCF_FMT;
  WriteProcessMemory(process_, memory_, &col, sizeof col, nullptr);
  if (!SendMessageA(list_, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(memory_))) return -1;
  ReadProcessMemory(process_, memory_, &col, sizeof col, nullptr);
  return col.fmt;
}

DWORD RemoteListView::extendedStyle() const {
  return (DWORD)SendMessageA(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
}

}  // namespace e2e
