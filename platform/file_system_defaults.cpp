// The cheaper calls of the file seam, answered through the calls they stand
// for: the behaviour of a layer (or a test's wrapper) that does not override them.
#include "platform/files.h"

namespace usbdup {

bool FileSystem::driveListed(char letter) {
  const std::string drive{letter, ':'};
  for (const std::string& listed : driveList())
    if (listed == drive) return true;
  return false;
}

NewCopyResult FileSystem::copyFileToNewName(const std::string& from, const std::string& to) {
  if (entryExists(to)) return NewCopyResult::NameTaken;
  return copyFile(from, to) ? NewCopyResult::Copied : NewCopyResult::Failed;
}

}  // namespace usbdup
