// Program folder, INI files and threads over POSIX. The INI reader and writer
// cover what the settings need, with the results the Win32 profile calls give:
// sections and keys match without regard to letter case, blanks around keys
// and values are dropped, and a file written anew holds "[section]" and
// "key=value" lines ended by CR LF.
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "drive_table.h"
#include "platform/system.h"
#include "system_posix.h"

namespace usbdup {

namespace {
std::mutex g_folderMutex;
std::string g_programFolder;

// GetPrivateProfileStringA reads into a buffer of this size.
const size_t kProfileBuffer = 10240;

std::string executableFolder() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool readWhole(const std::string& hostFile, std::string& text) {
  FILE* f = std::fopen(hostFile.c_str(), "rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    const unsigned char lx = (x >= 'A' && x <= 'Z') ? x + 32 : x, ly = (y >= 'A' && y <= 'Z') ? y + 32 : y;
    if (lx != ly) return false;
  }
  return true;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

// "[name]" -> name; false for any other line.
bool sectionName(const std::string& line, std::string& name) {
  const std::string t = trim(line);
  if (t.size() < 2 || t[0] != '[') return false;
  const size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = trim(t.substr(1, close - 1));
  return true;
}

bool keyLine(const std::string& line, std::string& key, std::string& value) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = trim(line.substr(0, eq));
  value = trim(line.substr(eq + 1));
  return true;
}
}  // namespace

void setProgramFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_folderMutex);
  g_programFolder = folder;
}

std::string programFolder() {
  {
    std::lock_guard<std::mutex> lock(g_folderMutex);
    if (!g_programFolder.empty()) return g_programFolder;
  }
  return executableFolder();
}

bool startThread(void (*entry)(int32_t), int32_t param) {
  try {
    std::thread(entry, param).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

std::string readProfileString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& fallback) {
  std::string text;
  if (!readWhole(hostPath(path), text)) return fallback;
  bool inSection = false;
  for (const std::string& line : lines(text)) {
    std::string name, k, v;
    if (sectionName(line, name)) {
      inSection = sameName(name, section);
    } else if (inSection && keyLine(line, k, v) && sameName(k, key)) {
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
      }
      if (v.size() > kProfileBuffer - 1) v.resize(kProfileBuffer - 1);
      return v;
    }
  }
  return fallback;
}

bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  const std::string host = hostPath(path);
  if (host.empty()) return false;
  std::string text;
  readWhole(host, text);  // a missing file is written anew
  std::vector<std::string> all = lines(text);
  for (std::string& l : all) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
  }
  const std::string entry = key + "=" + value;
  bool inSection = false, done = false;
  size_t lastOfSection = 0;
  bool sectionFound = false;
  for (size_t i = 0; i < all.size() && !done; ++i) {
    std::string name, k, v;
    if (sectionName(all[i], name)) {
      if (sectionFound && inSection) break;
      inSection = sameName(name, section);
      if (inSection) {
        sectionFound = true;
        lastOfSection = i;
      }
    } else if (inSection) {
      if (keyLine(all[i], k, v) && sameName(k, key)) {
        all[i] = entry;
        done = true;
      } else if (!trim(all[i]).empty()) {
        lastOfSection = i;
      }
    }
  }
  if (!done) {
    if (sectionFound) {
      all.insert(all.begin() + static_cast<std::ptrdiff_t>(lastOfSection) + 1, entry);
    } else {
      all.push_back("[" + section + "]");
      all.push_back(entry);
    }
  }
  std::string out;
  for (const std::string& l : all) out += l + "\r\n";
  FILE* f = std::fopen(host.c_str(), "wb");
  if (!f) return false;
  const bool wrote = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && wrote;
}

}  // namespace usbdup
