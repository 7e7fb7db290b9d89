#include "checking/BadWordLoc.h"

namespace {

const std::string& NoText() {
  static const std::string empty;
  return empty;
}

} // namespace

const std::string& CBadWordLoc::GetDirectory() const {
  return file != nullptr ? file->GetDirectory() : NoText();
}

const std::string& CBadWordLoc::GetFileName() const {
  return file != nullptr ? file->GetFileName() : NoText();
}

std::string_view CBadWordLoc::GetContext() const {
  return file != nullptr ? file->GetExcerpt(excerpt) : std::string_view();
}

std::string CBadWordLoc::GetFullPath() const {
  const std::string& directory = GetDirectory();
  const std::string& fileName = GetFileName();
  std::string full;
  full.reserve(directory.size() + fileName.size());
  full.append(directory).append(fileName);
  return full;
}

bool CBadWordLoc::HasFullPath(std::string_view path) const {
  const std::string& directory = GetDirectory();
  const std::string& fileName = GetFileName();
  return path.size() == directory.size() + fileName.size() && path.starts_with(directory) &&
         path.substr(directory.size()) == fileName;
}

bool CBadWordLoc::IsInFileOf(const CBadWordLoc& other) const {
  // Names first: pages of one folder share the folder, so names differ sooner.
  return file == other.file ||
         (GetFileName() == other.GetFileName() && GetDirectory() == other.GetDirectory());
}
