#include "drive_table.h"

#include <cctype>
#include <mutex>

#include "common/text.h"

namespace usbdup {

namespace {
std::mutex g_mutex;
std::string g_folders[26];

int letterIndex(char letter) {
  const int c = std::toupper(static_cast<unsigned char>(letter));
  return (c >= 'A' && c <= 'Z') ? c - 'A' : -1;
}
}  // namespace

void mapDrive(char letter, const std::string& hostFolder) {
  const int i = letterIndex(letter);
  if (i < 0) return;
  std::lock_guard<std::mutex> lock(g_mutex);
  g_folders[i] = hostFolder;
}

void unmapDrive(char letter) { mapDrive(letter, std::string()); }

void clearDrives() {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (std::string& f : g_folders) f.clear();
}

std::string driveFolder(char letter) {
  const int i = letterIndex(letter);
  if (i < 0) return std::string();
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_folders[i];
}

std::string hostPath(const std::string& path) {
  std::string out;
  size_t i = 0;
  if (path.size() >= 2 && path[1] == ':' && letterIndex(path[0]) >= 0) {
    out = driveFolder(path[0]);
    if (out.empty()) return std::string();
    i = 2;
    if (i == path.size()) return out;
    if (path[i] != '\\') out += '/';  // "P:x" is taken relative to the root
  }
  while (i < path.size()) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (isLeadByte(c) && i + 1 < path.size()) {
      out += path[i];
      out += path[i + 1];
      i += 2;
      continue;
    }
    out += (c == '\\') ? '/' : path[i];
    ++i;
  }
  return out;
}

}  // namespace usbdup
