// Shared texts and drive helpers. Texts are byte strings in the ANSI code page
// (GBK here): lengths and positions are bytes, and a byte of 0x80 or more starts
// a double-byte character that is always stepped over together with its trail.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace usbdup {

using DriveMask = uint32_t;  // bit 0 = A ... bit 25 = Z; bits 26..31 ignored

// True when the byte starts a double-byte character (GBK lead byte).
inline bool isLeadByte(unsigned char c) { return c >= 0x80; }

// Cuts text at every separator found at a character start. Adjacent separators
// give an empty piece; a trailing separator gives no trailing piece; an empty
// text gives no pieces. A lone lead byte at the end is kept as the last byte.
std::vector<std::string> splitText(const std::string& text, char separator);

inline bool endsWith(const std::string& text, char c) { return !text.empty() && text.back() == c; }
inline bool endsWithBackslash(const std::string& text) { return endsWith(text, '\\'); }
inline std::string withBackslash(std::string text) {
  if (!endsWithBackslash(text)) text += '\\';
  return text;
}

// "D:F:" for bits 3 and 5: ascending letters, each followed by a colon.
std::string driveLettersFromMask(DriveMask mask);

// "F:\" for 'F'.
inline std::string drivePath(char letter) { return std::string(1, letter) + ":\\"; }

}  // namespace usbdup
