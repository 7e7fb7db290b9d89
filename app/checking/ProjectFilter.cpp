#include "checking/ProjectFilter.h"

#include "diskfiles/DiskFile.h"
#include "utilcore/StringUtils.h"

#include <algorithm>

namespace {

bool Matches(const CProjectFilter& filter, std::string_view relative) {
  switch (filter.type) {
  case CProjectFilter::SUB_DIRECTORY:
    return CStringUtils::MatchFirstChars(relative, filter.text, false);
  case CProjectFilter::FILE:
    return CStringUtils::CompareNoCase(relative, filter.text) == 0;
  case CProjectFilter::CUSTOM:
    return CStringUtils::MatchSpec(relative, filter.text, false);
  default:
    return false; // an unknown type from a newer or damaged data file excludes nothing
  }
}

} // namespace

bool CProjectFilter::IsFileIncluded(std::string_view root,
                                    const std::vector<CProjectFilter>& filters,
                                    const CDiskFile* file) {
  if (file == nullptr) {
    return false;
  }
  if (filters.empty()) {
    return true;
  }
  std::string relative = file->GetFullPath();
  if (relative.empty()) {
    return false;
  }
  if (root.size() < relative.size()) {
    relative.erase(0, root.size());
  }
  // Only the separators around the relative path go: names may begin with "_", "." or
  // "-", and a filter chosen from the site's own list must match them as they are.
  const std::size_t first = relative.find_first_not_of('/');
  relative.erase(0, std::min(first, relative.size()));
  while (!relative.empty() && relative.back() == '/') {
    relative.pop_back();
  }
  if (relative.empty()) {
    return true; // an empty relative path matches no filter
  }
  for (const CProjectFilter& filter : filters) {
    if (Matches(filter, relative)) {
      return false;
    }
  }
  return true;
}
