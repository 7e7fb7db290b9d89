#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// What the text of an exclusion filter can be chosen from: the site's
/// sub-folders for a sub-directory filter, its pages for a file filter. Plain C++, so
/// the dialog can list a big site away from the user interface thread.
class CFilterChoices {
public:
  /// Paths relative to `root` (folders end in "/"), sorted as a user reads them
  /// (letter case aside, numbers by value); none for a custom filter, an empty root
  /// or one that cannot be read.
  static std::vector<std::string> List(const std::string& root, std::int32_t filterType);
};
