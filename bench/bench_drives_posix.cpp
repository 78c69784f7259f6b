#include "bench_drives.h"
#include "drive_table.h"

namespace usbdup {
void benchMapDrive(char letter, const std::string& hostFolder) { mapDrive(letter, hostFolder); }
}  // namespace usbdup
