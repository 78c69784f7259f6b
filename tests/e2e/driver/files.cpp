#include "driver/files.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace e2e {

std::string windowsPathOf(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

std::string unixPathOf(const std::string& windowsPath) {
  // Wine's kernel32 export; absent on Windows, where these tests do not run.
  using Fn = char*(CDECL*)(LPCWSTR);
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!fn) return "";
  int n = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(n > 0 ? n : 1);
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), n);
  char* unix = fn(wide.data());
  if (!unix) return "";
  std::string out = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

std::string parentOf(const std::string& path) {
  size_t cut = path.find_last_of('\\');
  if (cut == std::string::npos) return path;
  if (cut == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, cut);
}

bool makeFolders(const std::string& path) {
  if (isFolder(path)) return true;
  std::string parent = parentOf(path);
  if (parent != path && !isFolder(parent)) makeFolders(parent);
  return CreateDirectoryA(path.c_str(), nullptr) || isFolder(path);
}

bool writeFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
                              written == bytes.size());
  CloseHandle(h);
  return ok;
}

bool readFile(const std::string& path, std::string* bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char buf[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr)) && got > 0) bytes->append(buf, got);
  CloseHandle(h);
  return ok;
}

bool isFile(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void removeTree(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*.*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name != "." && name != "..") removeTree(path + "\\" + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(path.c_str());
}

std::string shellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

namespace {

// One argument as the Windows command-line rules read it back.
std::string windowsArgument(const std::string& arg) {
  std::string out = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, '\\');
  return out + "\"";
}

}  // namespace

int runUnix(const std::string& shellCommand, DWORD timeoutMs) {
  // Wine gives no waitable handle for a Unix process, so the shell leaves its
  // exit status in a file once the command is done, and we poll for it.
  static TempFolder markers("unix", /*removeThroughUnix=*/false);
  static unsigned counter = 0;
  std::string marker = markers / ("done-" + std::to_string(counter++));
  std::string unixMarker = unixPathOf(marker);
  if (unixMarker.empty()) return -1;
  std::string script = "( " + shellCommand + " ); echo $? > " + shellQuote(unixMarker + ".tmp") + " && mv " +
                       shellQuote(unixMarker + ".tmp") + " " + shellQuote(unixMarker);
  std::string cmd = "Z:\\bin\\sh -c " + windowsArgument(script);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  DWORD start = GetTickCount();
  while (!isFile(marker)) {
    if (GetTickCount() - start > timeoutMs) return -1;
    Sleep(5);
  }
  std::string status;
  readFile(marker, &status);
  DeleteFileA(marker.c_str());
  return std::atoi(status.c_str());
}

// ---- TempFolder

TempFolder::TempFolder(const std::string& tag, bool removeThroughUnix) : removeThroughUnix_(removeThroughUnix) {
  std::string base;
  if (const char* env = std::getenv("USBDUP_E2E_TMP"); env && *env) {
    base = windowsPathOf(env);
  } else {
    char buf[MAX_PATH];
    DWORD n = GetTempPathA(sizeof buf, buf);
    base.assign(buf, n);
  }
  while (!base.empty() && base.back() == '\\') base.pop_back();
  makeFolders(base);
  static unsigned counter = 0;
  for (;;) {
    char name[64];
    std::snprintf(name, sizeof name, "\\usbdup-%s-%lu-%u", tag.c_str(), GetCurrentProcessId(), counter++);
    path_ = base + name;
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempFolder::~TempFolder() {
  if (std::getenv("USBDUP_E2E_KEEP")) return;
  // The Unix side removes a large tree far faster than file calls through
  // Wine do; the file calls finish whatever it left.
  std::string unix = removeThroughUnix_ ? unixPathOf(path_) : "";
  if (removeThroughUnix_ && !unix.empty() && unix != "/") runUnix("rm -rf " + shellQuote(unix));
  removeTree(path_);
}

// ---- DriveMap

namespace {

std::string dosdevicesLink(char letter) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix || !*prefix) return "";
  return std::string(prefix) + "/dosdevices/" + char(letter | 0x20) + ":";
}

bool allowedLetter(char letter) {
  char l = letter | 0x20;
  return l >= 'q' && l <= 'y';  // z: is the Unix root and stays as it is
}

}  // namespace

DriveMap::~DriveMap() {
  for (char l = 'q'; l <= 'y'; ++l)
    if (mapped_ & driveBit(l)) unmap(l);
}

bool DriveMap::map(char letter, const std::string& folder) {
  std::string link = dosdevicesLink(letter);
  std::string target = unixPathOf(folder);
  if (!allowedLetter(letter) || link.empty() || target.empty()) return false;
  if (runUnix("ln -sfn " + shellQuote(target) + " " + shellQuote(link)) != 0) return false;
  mapped_ |= driveBit(letter);
  std::string root = std::string(1, char(letter & ~0x20)) + ":\\";
  return GetDriveTypeA(root.c_str()) > DRIVE_NO_ROOT_DIR;
}

bool DriveMap::unmap(char letter) {
  std::string link = dosdevicesLink(letter);
  if (!allowedLetter(letter) || link.empty()) return false;
  mapped_ &= ~driveBit(letter);
  return runUnix("rm -f " + shellQuote(link)) == 0;
}

}  // namespace e2e
