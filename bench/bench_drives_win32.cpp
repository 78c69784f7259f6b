#include "bench_drives.h"

namespace usbdup {
void benchMapDrive(char, const std::string&) {}
}  // namespace usbdup
