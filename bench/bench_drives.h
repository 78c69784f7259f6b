// Drive letters for the benchmarks: natively the drive table maps the letter to
// the host folder; under Wine the script has linked the letter beforehand.
#pragma once
#include <string>

namespace usbdup {
void benchMapDrive(char letter, const std::string& hostFolder);
}
