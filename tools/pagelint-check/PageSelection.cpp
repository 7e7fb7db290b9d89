#include "pagelint-check/PageSelection.h"

#include "diskfiles/ExtensionSet.h"
#include "utilcore/HTMLUtils.h"

#include <filesystem>
#include <istream>
#include <string_view>
#include <system_error>

namespace {

namespace fs = std::filesystem;

/// Longer than any path the system opens: such a line is no page, and is never resolved.
constexpr std::size_t kMaxLineBytes = 4096;

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool IsInside(const std::string& root, const std::string& path) {
  // The root itself ("." in the list) is inside: it is refused as no page, not as outside.
  return path.starts_with(root) || path + '/' == root;
}

/// The path with every link of its existing part resolved; empty when that fails.
std::string RealPath(const fs::path& path) {
  std::error_code error;
  const fs::path real = fs::weakly_canonical(path, error);
  return error ? std::string() : real.string();
}

/// `path` through the real path of its folder: where the entry itself lies, a link at
/// its end not followed. Empty when the folder cannot be resolved.
std::string ThroughFolder(const fs::path& path) {
  const std::string folder = RealPath(path.parent_path());
  return folder.empty() ? std::string() : (fs::path(folder) / path.filename()).string();
}

/// Whether `path`, absolute, names an entry that lies inside `root` (a link there that
/// leads out included: it is refused later, as outside).
bool LiesInside(const std::string& root, const fs::path& path) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(path, error)) || error) {
    return false;
  }
  return IsInside(root, ThroughFolder(path.lexically_normal()));
}

const CExtensionSet& PageExtensions() {
  static const CExtensionSet extensions = [] {
    std::vector<std::string> list;
    CHTMLUtils::GetSupportedHTMLFiles(list, true);
    return CExtensionSet(list);
  }();
  return extensions;
}

} // namespace

std::vector<std::string> CPageSelection::ReadLines(std::istream& in) {
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (!IsBlank(line)) {
      lines.push_back(line);
    }
  }
  return lines;
}

bool CPageSelection::Resolve(const std::string& root, const std::string& currentDir,
                             const std::vector<std::string>& lines, std::string& error) {
  for (const std::string& line : lines) {
    if (!Add(root, currentDir, line)) {
      error = "outside the root " + root + ": " + line;
      return false;
    }
  }
  return true;
}

bool CPageSelection::Add(const std::string& root, const std::string& currentDir,
                         const std::string& line) {
  // A NUL would cut the path short where the system reads it: another file than listed.
  if (line.size() > kMaxLineBytes || line.find('\0') != std::string::npos) {
    m_notChecked.push_back({line, "not a page"});
    return true;
  }
  fs::path path(line);
  if (path.is_relative()) {
    const fs::path fromHere = fs::path(currentDir) / path;
    path = LiesInside(root, fromHere) ? fromHere : fs::path(root) / path;
  }
  path = path.lexically_normal();
  // Through the folder's real path, as the collection names the page; and the page's
  // own real path, which is what a link at the end leads to.
  const std::string real = RealPath(path);
  const std::string throughFolder = ThroughFolder(path);
  if (real.empty() || throughFolder.empty()) {
    m_notChecked.push_back({line, "cannot be resolved"});
    return true;
  }
  if (!IsInside(root, real) || !IsInside(root, throughFolder)) {
    return false;
  }
  std::error_code statError;
  const fs::file_status status = fs::status(real, statError);
  if (!fs::exists(status)) {
    m_notChecked.push_back({line, "no such page"});
    return true;
  }
  if (!fs::is_regular_file(status) || !PageExtensions().Matches(path.filename().string())) {
    m_notChecked.push_back({line, "not a page"});
    return true;
  }
  if (m_listed.insert(throughFolder).second) {
    m_pages.push_back({line, throughFolder});
  }
  m_paths->insert(throughFolder);
  m_paths->insert(real);
  return true;
}
