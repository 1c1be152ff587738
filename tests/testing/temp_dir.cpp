#include "tests/testing/temp_dir.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelvane::testing {
namespace stdfs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (stdfs::temp_directory_path() / "kelvane-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give every folder its write bit back first, or a read-only folder would keep its entries.
  for (auto it = stdfs::recursive_directory_iterator(path_, ec); !ec && it != stdfs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
  }
  chmod(path_.c_str(), 0700);
  stdfs::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view relative) const { return path_ + "/" + std::string(relative); }

std::string TempDir::write(std::string_view relative, std::string_view bytes) const {
  std::string full = *this / relative;
  stdfs::create_directories(stdfs::path(full).parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + full);
  return full;
}

std::string TempDir::mkdir(std::string_view relative) const {
  std::string full = *this / relative;
  stdfs::create_directories(full);
  return full;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

InFolder::InFolder(const std::string& folder) : previous_(stdfs::current_path().string()) {
  stdfs::current_path(folder);
}

InFolder::~InFolder() {
  std::error_code ignored;
  stdfs::current_path(previous_, ignored);
}

}  // namespace kelvane::testing
