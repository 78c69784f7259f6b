// Copies one master file to the same relative place under a target root,
// creating the folders on the way and never replacing what is already there.
#pragma once
#include <string>

namespace usbdup {

enum class FolderChainResult { Created = 0, Failed = 1, AlreadyExisted = 2 };

// Copies sourcePath (a file under masterRoot) to targetRoot + its path relative
// to masterRoot, under a free name ("1_a.txt", "2_1_a.txt", ...) when the name
// is taken. The target folder gets the source folder's attribute bits. True
// when the file was copied.
bool copyMirroredFile(const std::string& masterRoot, const std::string& sourcePath, const std::string& targetRoot);

// True when path is exactly the root ("F:\") of a drive in the drive list.
bool isExistingDriveRoot(const std::string& path);

// Creates every missing folder of "F:\a\b", one level at a time.
FolderChainResult createFolderChain(const std::string& folderPath);

// text with every occurrence of pattern removed: found left to right, without
// overlap, at character starts only, ASCII letters matching in either case.
std::string removeAllIgnoringCase(const std::string& text, const std::string& pattern);

}  // namespace usbdup
