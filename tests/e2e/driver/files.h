// Folders and files for the end-to-end tests, and the Unix side of Wine that
// the tests need: Unix commands and drive letters mapped to folders.
#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// "/a/b" -> "Z:\a\b"; a Windows path is returned unchanged.
std::string windowsPathOf(const std::string& path);
// The Unix path of a Windows path (Wine's own translation); empty if unknown.
std::string unixPathOf(const std::string& windowsPath);
std::string parentOf(const std::string& path);

bool makeFolders(const std::string& path);
bool writeFile(const std::string& path, const std::string& bytes);
// False when the file cannot be read; bytes as stored.
bool readFile(const std::string& path, std::string* bytes);
bool isFile(const std::string& path);
bool isFolder(const std::string& path);
// Deletes a file or a whole tree; read-only entries included.
void removeTree(const std::string& path);

// Runs a command of the Unix shell (sh -c) and waits for it. Returns its exit
// status, or -1 when it could not be started or did not end in time.
int runUnix(const std::string& shellCommand, DWORD timeoutMs = 120000);
// s in single quotes for the Unix shell.
std::string shellQuote(const std::string& s);

// A new empty folder that is removed again at the end. The base is the
// environment variable USBDUP_E2E_TMP (a Windows or Unix path) or, without
// it, the Windows temporary folder.
class TempFolder {
 public:
  // removeThroughUnix: remove it with the Unix rm at the end (fast for large
  // trees); off for the folder that runUnix itself works in.
  explicit TempFolder(const std::string& tag = "e2e", bool removeThroughUnix = true);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
  bool removeThroughUnix_;
};

// Drive letters Q..Y made to point at folders through the Wine prefix's
// dosdevices links. Every mapping made here is removed again at the end.
class DriveMap {
 public:
  DriveMap() = default;
  ~DriveMap();
  DriveMap(const DriveMap&) = delete;
  DriveMap& operator=(const DriveMap&) = delete;

  // letter in Q..Y (either case); folder is a Windows path.
  bool map(char letter, const std::string& folder);
  bool unmap(char letter);

 private:
  unsigned mapped_ = 0;  // bit per letter, as in a volume notice's mask
};

// The mask bit of a drive letter (A = bit 0).
inline DWORD driveBit(char letter) { return 1u << ((letter | 0x20) - 'a'); }

}  // namespace e2e
