#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace usbdup {
namespace test {

namespace {
std::atomic<unsigned> g_counter{0};
}

TempDir::TempDir() {
  const fs::path base = fs::temp_directory_path();
  std::random_device random;
  const auto now = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << "usbdup-test-" << std::hex << random() << '-' << (now & 0xffffff) << '-' << g_counter++;
    const fs::path candidate = base / name.str();
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder under " + base.string());
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(fs::path(path_), ec);
}

char pathSeparator() { return static_cast<char>(fs::path::preferred_separator); }

std::string TempDir::file(const std::string& name) const { return path_ + pathSeparator() + name; }

bool writeHostFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string readHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool hostFileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::path(path), ec);
}

bool makeHostFolder(const std::string& path) {
  std::error_code ec;
  return fs::create_directory(fs::path(path), ec);
}

bool removeHostFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

}  // namespace test
}  // namespace usbdup
