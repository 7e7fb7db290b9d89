#include "checking/BadWordLoc.h"

std::string CBadWordLoc::GetFullPath() const {
  std::string full;
  full.reserve(directory.size() + fileName.size());
  full.append(directory).append(fileName);
  return full;
}

bool CBadWordLoc::HasFullPath(std::string_view path) const {
  return path.size() == directory.size() + fileName.size() && path.starts_with(directory) &&
         path.substr(directory.size()) == fileName;
}
