#include "testkit/ScopedTempDir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

ScopedTempDir::ScopedTempDir() {
  std::string pattern = (fs::temp_directory_path() / "pagelint-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed for " + pattern);
  }
  m_path = buffer.data();
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ec;
  // Tests may leave read-only folders behind; make them writable so removal works.
  for (auto it = fs::recursive_directory_iterator(m_path, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
  }
  fs::remove_all(m_path, ec);
}

std::string ScopedTempDir::Sub(const std::string& relative) const {
  return m_path + "/" + relative;
}
