// The one persisted setting: autocopyto in [system] of setup.ini beside the
// program, which decides whether copySwitch starts ticked.
#pragma once
#include <cstdint>
#include <string>

namespace usbdup {

// Makes sure the settings file exists (autocopyto=1) and reads copyOnInsert.
void loadSettings();
// copySwitch ticked exactly when copyOnInsert is 1.
void applyCopySwitch();
// Takes copySwitch into copyOnInsert and writes a new settings file holding
// only that key. The old file is replaced only by a completely written new
// one: false (old file untouched) when that cannot be done.
bool saveSettings();

// Reads a setting as an integer: full-width ASCII forms folded to ASCII, then
// leading white space, an optional sign and decimal digits; 0 without digits.
// Values beyond 32 bits stick at the nearest limit.
int32_t settingInteger(const std::string& text);

}  // namespace usbdup
