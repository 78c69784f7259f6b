#include "copy/mirrored_copy.h"

#include <cstdint>
#include <vector>

#include "common/text.h"
#include "platform/files.h"

namespace usbdup {

namespace {

char foldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

size_t charLength(const std::string& text, size_t i) {
  return (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// Whether pattern occurs at text[at]. Only single-byte characters of the
// pattern fold case: the trail byte of a double-byte character may look like
// an ASCII letter, and folding it would match a different character.
bool matchesAt(const std::string& text, size_t at, const std::string& pattern) {
  if (text.size() - at < pattern.size()) return false;
  size_t i = 0;
  while (i < pattern.size()) {
    const size_t len = charLength(pattern, i);
    if (len == 1) {
      if (foldAscii(text[at + i]) != foldAscii(pattern[i])) return false;
    } else if (text.compare(at + i, len, pattern, i, len) != 0) {
      return false;
    }
    i += len;
  }
  return true;
}

}  // namespace

std::string removeAllIgnoringCase(const std::string& text, const std::string& pattern) {
  if (pattern.empty()) return text;
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (matchesAt(text, i, pattern)) {
      i += pattern.size();
      continue;
    }
    const size_t len = charLength(text, i);
    out.append(text, i, len);
    i += len;
  }
  return out;
}

bool isExistingDriveRoot(const std::string& path) {
  // Only "X:\" with an upper-case letter can equal a listed drive's "X:" plus
  // the backslash; for that shape the answer is whether X is listed. Asked
  // afresh every time: a drive pulled during a copy is seen at the next file.
  if (path.size() != 3 || path[1] != ':' || path[2] != '\\') return false;
  const char letter = path[0];
  if (letter < 'A' || letter > 'Z') return false;
  return fileSystem().driveListed(letter);
}

FolderChainResult createFolderChain(const std::string& folderPath) {
  const std::vector<std::string> pieces = splitText(folderPath, '\\');
  if (pieces.size() < 2) return FolderChainResult::Failed;
  if (pieces[0].size() != 2 || pieces[0][1] != ':') return FolderChainResult::Failed;
  FileSystem& fs = fileSystem();
  // Every file of a folder asks for the same chain again. When the deepest
  // folder exists, so does every folder above it, and the walk below would
  // answer AlreadyExisted without creating anything: one question instead of
  // one per level.
  std::string deepest = pieces[0];
  bool usable = true;
  for (size_t i = 1; i < pieces.size() && usable; ++i) {
    usable = !pieces[i].empty() && pieces[i] != "." && pieces[i] != "..";
    deepest += '\\';
    deepest += pieces[i];
  }
  if (usable && fs.folderExists(deepest)) return FolderChainResult::AlreadyExisted;

  std::string path = pieces[0];
  for (size_t i = 1; i < pieces.size(); ++i) {
    const std::string& piece = pieces[i];
    if (piece.empty() || piece == "." || piece == "..") return FolderChainResult::Failed;
    path += '\\';
    path += piece;
    if (fs.folderExists(path)) {
      if (i + 1 == pieces.size()) return FolderChainResult::AlreadyExisted;
      continue;
    }
    if (!fs.createFolder(path)) return FolderChainResult::Failed;
  }
  return FolderChainResult::Created;
}

bool copyMirroredFile(const std::string& masterRoot, const std::string& sourcePath, const std::string& targetRoot) {
  if (sourcePath.empty() || targetRoot.empty()) return false;
  const std::string root = withBackslash(targetRoot);
  FileSystem& fs = fileSystem();
  if (!fs.entryExists(sourcePath)) return false;
  if (!isExistingDriveRoot(root) && createFolderChain(root) == FolderChainResult::Failed) return false;

  const std::vector<std::string> pieces = splitText(sourcePath, '\\');
  if (pieces.empty()) return false;
  std::string sourceFolder;
  for (size_t i = 0; i + 1 < pieces.size(); ++i) sourceFolder += pieces[i] + '\\';

  uint32_t folderBits = 0;
  const bool haveBits = fs.readAttributes(sourceFolder, folderBits);
  const std::string targetFolder = root + removeAllIgnoringCase(sourceFolder, masterRoot);

  // A file straight in the master root gives the bare target root here, whose
  // chain always "fails"; the copy goes ahead regardless, and a folder that
  // really could not be made shows up as a failed copy below.
  createFolderChain(targetFolder);
  if (haveBits) fs.writeAttributes(targetFolder, folderBits & kAttrWriteMask);

  // The first free name of a.txt, 1_a.txt, 2_1_a.txt, ...: each candidate is
  // taken only if nothing of that name exists when the file is created.
  std::string name = pieces.back();
  for (uint32_t k = 1;; ++k) {
    switch (fs.copyFileToNewName(sourcePath, targetFolder + name)) {
      case NewCopyResult::Copied:
        return true;
      case NewCopyResult::Failed:
        return false;
      case NewCopyResult::NameTaken:
        break;
    }
    name = std::to_string(k) + "_" + name;
  }
}

}  // namespace usbdup
