#pragma once

#include <string>

/// A place a check could not read: a page, or a folder whose pages were not collected.
/// `gap` is false for what is left out on purpose and only worth a warning (a link that
/// leads outside the root): such a place does not make the check incomplete.
struct SSkippedPage {
  std::string path;
  std::string reason;
  bool gap = true;
};
