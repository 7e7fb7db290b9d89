#include "utilcore/InstalledApps.h"

#include "utilcore/DesktopEntry.h"

#include "utilcore/UserFolders.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr const char* kHtml = "text/html";
// Desktop entry files are small; a bigger one is no desktop entry.
constexpr std::uintmax_t kMaxEntryBytes = 256 * 1024;

/// The absolute folders of a colon-separated list; relative ones do not count.
std::vector<std::string> AbsoluteFolders(const std::string& list) {
  std::vector<std::string> folders;
  std::istringstream parts(list);
  for (std::string part; std::getline(parts, part, ':');) {
    if (!part.empty() && part.front() == '/') {
      folders.push_back(part);
    }
  }
  return folders;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool IsExecutableFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

std::string ReadSmallFile(const fs::path& path) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error || size > kMaxEntryBytes) {
    return {};
  }
  std::string content(static_cast<std::size_t>(size), '\0');
  std::ifstream file(path, std::ios::binary);
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
  return content;
}

// File types are compared in lower case.
std::vector<std::string> LowerAll(std::vector<std::string> texts) {
  for (std::string& text : texts) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  }
  return texts;
}

/// The desktop file id of `file` below `folder`: its relative path with "/" as "-".
std::string DesktopId(const fs::path& folder, const fs::path& file) {
  std::string id = file.lexically_relative(folder).generic_string();
  std::replace(id.begin(), id.end(), '/', '-');
  return id;
}

/// Adds the offered applications below `folder` whose ids are not in `seen` yet.
void ReadFolder(const std::string& folder, std::set<std::string>& seen,
                std::vector<CInstalledApps::SApp>& apps) {
  std::error_code error;
  const auto options = fs::directory_options::skip_permission_denied;
  for (fs::recursive_directory_iterator it(folder, options, error), end; !error && it != end;
       it.increment(error)) {
    if (!it->is_regular_file(error) || it->path().extension() != ".desktop") {
      continue;
    }
    if (!seen.insert(DesktopId(folder, it->path())).second) {
      continue; // a more important folder has this entry
    }
    const CDesktopEntry entry = CDesktopEntry::Parse(ReadSmallFile(it->path()));
    const std::string offered = entry.OfferedProgram();
    if (offered.empty() ||
        (!entry.GetTryExec().empty() && CInstalledApps::FindProgram(entry.GetTryExec()).empty())) {
      continue;
    }
    std::string program = CInstalledApps::FindProgram(offered);
    if (!program.empty()) {
      apps.push_back({entry.GetName(), std::move(program), LowerAll(entry.GetMimeTypes())});
    }
  }
}
} // namespace

std::vector<std::string> CInstalledApps::ApplicationFolders() {
  std::vector<std::string> folders = AbsoluteFolders(Environment("XDG_DATA_HOME"));
  if (folders.empty()) {
    folders.push_back(CUserFolders::GetHomeDir() + "/.local/share");
  }
  std::vector<std::string> system = AbsoluteFolders(Environment("XDG_DATA_DIRS"));
  if (system.empty()) {
    system = {"/usr/local/share", "/usr/share"};
  }
  folders.insert(folders.end(), system.begin(), system.end());
  for (std::string& folder : folders) {
    if (folder.back() != '/') {
      folder += '/';
    }
    folder += "applications/";
  }
  return folders;
}

std::vector<CInstalledApps::SApp> CInstalledApps::Read(const std::vector<std::string>& folders) {
  std::vector<SApp> apps;
  std::set<std::string> seen;
  for (const std::string& folder : folders) {
    ReadFolder(folder, seen, apps);
  }
  std::stable_sort(apps.begin(), apps.end(),
                   [](const SApp& a, const SApp& b) { return a.name < b.name; });
  return apps;
}

std::string CInstalledApps::FindProgram(const std::string& program) {
  if (program.empty()) {
    return {};
  }
  if (program.find('/') != std::string::npos) {
    return IsExecutableFile(program) ? program : std::string();
  }
  for (const std::string& folder : AbsoluteFolders(Environment("PATH"))) {
    std::string path = folder + (folder.back() == '/' ? "" : "/") + program;
    if (IsExecutableFile(path)) {
      return path;
    }
  }
  return {};
}

std::vector<std::string> CInstalledApps::MimeTypesOf(const std::string& extension) {
  if (extension == "xhtml" || extension == "xht") {
    return {kHtml, "application/xhtml+xml"};
  }
  if (extension == "php" || extension == "phtml") {
    return {kHtml, "application/x-php"};
  }
  return {kHtml};
}

std::vector<CInstalledApps::SApp> CInstalledApps::HandlersOf(const std::vector<SApp>& apps,
                                                             const std::string& extension) {
  const std::vector<std::string> types = MimeTypesOf(extension);
  std::vector<SApp> handlers;
  for (const SApp& app : apps) {
    if (std::any_of(app.mimeTypes.begin(), app.mimeTypes.end(), [&](const std::string& type) {
          return std::find(types.begin(), types.end(), type) != types.end();
        })) {
      handlers.push_back(app);
    }
  }
  return handlers;
}
