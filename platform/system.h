// Small platform services that the logic needs besides files and the window.
#pragma once
#include <cstdint>
#include <string>

namespace usbdup {

struct LocalTime {
  int year, month, day, hour, minute, second;
};

// The local clock, to the second.
LocalTime localNow();

// Folder of the program's executable file, without a trailing backslash.
std::string programFolder();

// Starts a detached thread running entry(param); false when it cannot be started.
bool startThread(void (*entry)(int32_t), int32_t param);

// INI (private profile) files in the ANSI code page.
// Reads section/key; `fallback` when the file, section or key is missing.
std::string readProfileString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& fallback);
// Writes section/key, creating the file when missing; false on failure.
bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

}  // namespace usbdup
