// Shared pieces of the copy fixture (kept in a test file so that it is built
// with the copy tests only).
#include <filesystem>

#include "copy_fixture.h"

namespace usbdup {
namespace test {

bool CopyFixture::makeFolderHost(const std::string& path) {
  // TempDir paths are host paths natively and Windows paths under Wine; both
  // reach the folder through std::filesystem with plain ASCII names.
  std::error_code ec;
  return std::filesystem::create_directory(path, ec) || std::filesystem::is_directory(path, ec);
}

}  // namespace test
}  // namespace usbdup
