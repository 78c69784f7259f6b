// The one seam through which every file, folder and volume call of the logic
// passes. platform/win32 implements it over the ANSI Win32 calls, platform/posix
// over POSIX files with drive letters mapped to folders. Tests may install a
// wrapper (setFileSystem) that fails chosen calls, to prove the cleanup after
// each failure point.
//
// Paths are byte strings in the ANSI code page, Windows style ("F:\a\b.txt").
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace usbdup {

// Attribute bits as Win32 gives them.
enum : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrReadMask = 0x37,   // bits kept when reading
  kAttrWriteMask = 0x27,  // bits applied when writing: never the directory bit
};

struct DirEntry {
  std::string name;     // name only, no folder
  uint32_t attributes;  // at least the directory bit
};

// An open folder listing ("folder\*.*"); closed when destroyed.
class Listing {
 public:
  virtual ~Listing() = default;
  // Next entry in the order the file system returns them ("." and ".." included).
  virtual bool next(DirEntry& entry) = 0;
};

enum class OpenMode {
  ReadExisting,    // read; the file must exist
  AppendExisting,  // write at the end; the file must exist (never created)
  CreateTruncate,  // write; created when missing, emptied when present
};

// An open file. Opened so that other programs may read and write it meanwhile.
class File {
 public:
  virtual ~File() = default;
  // Bytes read into buf (0 at the end of the file), or -1 on an error.
  virtual long long read(char* buf, size_t size) = 0;
  // Writes all of data; false on any error.
  virtual bool write(const char* data, size_t size) = 0;
  // The file's size in bytes now, or -1 when it is not known. Other programs
  // may write to the file meanwhile: a reader takes it as a hint, not as the end.
  virtual long long size() { return -1; }
};

// Answer of FileSystem::copyFileToNewName.
enum class NewCopyResult {
  Copied,     // the whole copy is on the medium under the new name
  NameTaken,  // an entry of that name exists; it was not touched
  Failed,     // nothing was copied and nothing is left under the name
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when any file or folder matches the path.
  virtual bool entryExists(const std::string& path) = 0;
  // True only when a folder of that path exists; a file of that name does not count.
  virtual bool folderExists(const std::string& path) = 0;
  // Creates one level; false when the entry exists already or its parent is missing.
  virtual bool createFolder(const std::string& path) = 0;
  virtual bool deleteFile(const std::string& path) = 0;
  // Puts the file `from` in place of `to` in one step (replacing it).
  virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
  // Attribute bits (mask 0x37); false when they cannot be read.
  virtual bool readAttributes(const std::string& path, uint32_t& bits) = 0;
  // Applies the bits of mask 0x27.
  virtual bool writeAttributes(const std::string& path, uint32_t bits) = 0;
  // Lists a pattern such as "E:\docs\*.*"; null when the folder cannot be listed.
  virtual std::unique_ptr<Listing> listFolder(const std::string& pattern) = 0;
  // Copies a file, replacing `to` when it exists. True only when the whole copy
  // is on the medium (flushed); on failure nothing is left under `to`.
  virtual bool copyFile(const std::string& from, const std::string& to) = 0;
  // Letters of drives of type removable, fixed, remote or CD-ROM, in letter
  // order, each as "E:" (no backslash).
  virtual std::vector<std::string> driveList() = 0;

  // The two calls below give exactly the answers of the calls they stand for,
  // at lower cost; a layer that does not override them gets those answers from
  // the calls themselves (file_system_defaults.cpp).

  // Whether driveList() would list the drive of this upper-case letter now.
  // Asks for that one drive only (one type query instead of 26).
  virtual bool driveListed(char letter);
  // Copies like copyFile, but only onto a free name: NameTaken when an entry
  // (file or folder) of that name exists, which is then left untouched. Taking
  // the name is part of creating the file, so an entry that appears between a
  // check and the copy is never replaced either.
  virtual NewCopyResult copyFileToNewName(const std::string& from, const std::string& to);
  // Total size of the volume whose root is given ("F:\"); false when unreachable.
  virtual bool volumeTotalSize(const std::string& root, uint64_t& bytes) = 0;
  // Opens a file; null when it cannot be opened in that mode.
  virtual std::unique_ptr<File> openFile(const std::string& path, OpenMode mode) = 0;
};

// The file system in use: the platform's own unless a test installed another.
FileSystem& fileSystem();
// The platform's own implementation.
FileSystem& platformFileSystem();
// Installs a replacement (tests); nullptr restores the platform's own.
void setFileSystem(FileSystem* replacement);

}  // namespace usbdup
