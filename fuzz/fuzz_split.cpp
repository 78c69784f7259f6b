// Fuzzes the text splitter: the pieces joined back with the separator give the
// text again (less one trailing separator), no piece holds a separator at a
// character start, and nothing reads past the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char separator = static_cast<char>(data[0] & 0x7F);  // separators are single-byte characters
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<std::string> pieces = usbdup::splitText(text, separator);

  std::string joined;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += separator;
    joined += pieces[i];
    if (usbdup::splitText(pieces[i], separator).size() > 1) std::abort();
  }
  if (!pieces.empty() && joined.size() < text.size()) joined += separator;  // the trailing one
  if (joined != text) std::abort();
  return 0;
}
