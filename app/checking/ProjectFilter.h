#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDiskFile;

/// One exclusion filter of a project, matched against a file's path relative to the
/// project's root.
class CProjectFilter {
public:
  enum Type : std::int32_t { SUB_DIRECTORY = 0, FILE = 1, CUSTOM = 2 };

  std::int32_t type = FILE;
  std::string text;

  /// Whether `file` is checked: a null file is not; without filters every file is;
  /// otherwise the first matching filter excludes it.
  static bool IsFileIncluded(std::string_view root, const std::vector<CProjectFilter>& filters,
                             const CDiskFile* file);

  bool operator==(const CProjectFilter&) const = default;
};
