#include "common/text.h"

namespace usbdup {

std::vector<std::string> splitText(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  const size_t n = text.size();
  size_t start = 0;
  size_t i = 0;
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (isLeadByte(c)) {
      i += (i + 1 < n) ? 2 : 1;  // a lone lead byte at the end never reads past it
      continue;
    }
    if (text[i] == separator) {
      pieces.emplace_back(text, start, i - start);
      start = i + 1;
    }
    ++i;
  }
  if (start < n) pieces.emplace_back(text, start, n - start);
  return pieces;
}

std::string driveLettersFromMask(DriveMask mask) {
  std::string letters;
  for (int i = 0; i < 26; ++i) {
    if (mask & 1u) {
      letters += static_cast<char>('A' + i);
      letters += ':';
    }
    mask >>= 1;
  }
  return letters;
}

}  // namespace usbdup
