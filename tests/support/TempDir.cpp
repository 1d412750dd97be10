#include "support/TempDir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace ooa::test {

TTempDir::TTempDir() {
  // A new folder of a random name (what mkdtemp does, on every platform).
  static std::mt19937_64 random{std::random_device{}()};
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "ooa-test-%012llx", static_cast<unsigned long long>(random() & 0xffffffffffffULL));
    std::error_code ec;
    if (std::filesystem::create_directory(base / name, ec)) {
      Dir = (base / name).generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder in " + base.string());
}

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(Dir, ec);
}

std::string TTempDir::Write(const std::string& name, const std::string& bytes) const {
  const std::string path = File(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

std::string TTempDir::Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace ooa::test
