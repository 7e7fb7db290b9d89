#include "diskfiles/DiskFile.h"

namespace {
std::size_t NameStart(std::string_view fullPath) {
  const std::size_t slash = fullPath.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}
} // namespace

CDiskFile::CDiskFile(std::string_view fullPath)
    : m_path(fullPath.substr(0, NameStart(fullPath))),
      m_name(fullPath.substr(NameStart(fullPath))) {}

CDiskFile::~CDiskFile() = default;

std::string CDiskFile::GetFullPath() const {
  std::string full;
  full.reserve(m_path.size() + m_name.size());
  full.append(m_path).append(m_name);
  return full;
}

bool CDiskFile::HasFullPath(std::string_view fullPath) const {
  return fullPath.size() == m_path.size() + m_name.size() && fullPath.starts_with(m_path) &&
         fullPath.substr(m_path.size()) == m_name;
}

void CDiskFile::SetState(std::int64_t size, std::int64_t modified) {
  m_size = size;
  m_modified = modified;
}
