#include "driver/screenshot.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "driver/files.h"

namespace e2e {

namespace {

uint32_t crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
  static uint32_t table[256];
  static bool ready = false;
  if (!ready) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
    ready = true;
  }
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void put32(std::string& s, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) s += char((v >> shift) & 0xFF);
}

void chunk(std::string& png, const char* type, const std::string& data) {
  put32(png, (uint32_t)data.size());
  std::string body = std::string(type, 4) + data;
  png += body;
  put32(png, crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// PNG with the image data in stored (uncompressed) deflate blocks: no zlib
// needed, and an artefact of a few MB is no concern.
std::string encodePng(int width, int height, const std::vector<uint8_t>& rgb) {
  std::string raw;
  raw.reserve((size_t)height * (width * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw += char(0);  // filter: none
    raw.append(reinterpret_cast<const char*>(&rgb[(size_t)y * width * 3]), (size_t)width * 3);
  }
  std::string z = "\x78\x01";
  size_t pos = 0;
  do {
    size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
    bool last = pos + n == raw.size();
    z += char(last ? 1 : 0);
    z += char(n & 0xFF);
    z += char(n >> 8);
    z += char(~n & 0xFF);
    z += char((~n >> 8) & 0xFF);
    z.append(raw, pos, n);
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  put32(z, (b << 16) | a);

  std::string ihdr;
  put32(ihdr, width);
  put32(ihdr, height);
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB
  std::string png = "\x89PNG\r\n\x1a\n";
  chunk(png, "IHDR", ihdr);
  chunk(png, "IDAT", z);
  chunk(png, "IEND", "");
  return png;
}

}  // namespace

bool saveWindowPng(HWND w, const std::string& path) {
  RECT r{};
  if (!GetWindowRect(w, &r)) return false;
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;

  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = bmp != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(mem, bmp);
    ok = BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(mem, old);
  }
  std::vector<uint8_t> rgb;
  if (ok) {
    rgb.resize((size_t)width * height * 3);
    const uint8_t* p = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < (size_t)width * height; ++i) {
      rgb[i * 3] = p[i * 4 + 2];
      rgb[i * 3 + 1] = p[i * 4 + 1];
      rgb[i * 3 + 2] = p[i * 4];
    }
  }
  if (bmp) DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok && writeFile(path, encodePng(width, height, rgb));
}

std::string artefactFolder() {
  const char* env = std::getenv("USBDUP_E2E_ARTEFACTS");
  if (env && *env) return windowsPathOf(env);
  char buf[MAX_PATH];
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  return std::string(buf, n);
}

}  // namespace e2e
