#include "projects/ProjectNaming.h"

#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

namespace {
constexpr const char* kIgnoreSuffix = " Ignore";
constexpr const char* kBadCharReplacement = "_";
} // namespace

std::string CProjectNaming::FileStem(const std::string& projectName) {
  return CFileUtils::ReplaceBadFileChars(projectName, kBadCharReplacement, true);
}

std::string CProjectNaming::DataFileName(const std::string& projectName) {
  return FileStem(projectName) + "." + kDataFileExtension;
}

bool CProjectNaming::IsDataFilePath(std::string_view path) {
  return path.find(std::string(".") + kDataFileExtension) != std::string_view::npos;
}

std::string CProjectNaming::IgnoreDictionaryName(const std::string& projectName) {
  return CFileUtils::ReplaceBadFileChars(projectName + kIgnoreSuffix, kBadCharReplacement, false);
}

bool CProjectNaming::IsIgnoreDictionaryName(std::string_view name) {
  return CStringUtils::MatchLastChars(name, kIgnoreSuffix, false);
}

bool CProjectNaming::Collide(const std::string& name, const std::string& other) {
  // The stem names the data file and the backup folder alike.
  return FileStem(name) == FileStem(other) ||
         IgnoreDictionaryName(name) == IgnoreDictionaryName(other);
}
