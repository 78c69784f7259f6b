// Reads a report-style list view of another process. The list-view messages
// that carry a record are not marshalled between processes, so the record and
// its text buffer are placed in the target process and read back from there.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class RemoteListView {
 public:
  explicit RemoteListView(HWND list);
  ~RemoteListView();
  RemoteListView(const RemoteListView&) = delete;
  RemoteListView& operator=(const RemoteListView&) = delete;

  bool ok() const { return memory_ != nullptr; }
  int rowCount() const;
  std::string cell(int row, int column) const;
  // The row value (LVIF_PARAM); 0 when the row does not exist.
  LPARAM rowValue(int row) const;
  // Every row as its column texts.
  std::vector<std::vector<std::string>> rows(int columns = 2) const;

  int columnCount() const;
  std::string columnTitle(int column) const;
  int columnWidth(int column) const;
  int columnFormat(int column) const;  // LVCFMT_*
  DWORD extendedStyle() const;

 private:
  // Sends a text query whose record (size bytes, with its text pointer and
  // capacity fields) is placed in the list's process; true when it answered.
  bool textQuery(UINT message, WPARAM wParam, void* record, size_t size, LPSTR* textField, int* capacityField,
                 std::string* text) const;

  HWND list_;
  HANDLE process_ = nullptr;
  char* memory_ = nullptr;  // in the target process
};

}  // namespace e2e
