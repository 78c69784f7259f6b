// Extras of the posix platform services, for tests and benchmarks.
#pragma once
#include <string>

namespace usbdup {

// Sets the folder that programFolder() answers (a host path or a mapped
// drive path, without trailing separator); empty restores the executable's.
void setProgramFolder(const std::string& folder);

}  // namespace usbdup
