#pragma once

#include <string>
#include <vector>

/// What collection passes changed in a file list: full paths of the files added to it,
/// modified on disk, and removed from it. Passes that nobody has read yet are merged,
/// so that a reader who comes late still learns every change once.
class CFileChanges {
public:
  std::vector<std::string> added;
  std::vector<std::string> modified;
  std::vector<std::string> removed;

  bool IsEmpty() const { return added.empty() && modified.empty() && removed.empty(); }

  /// Folds the changes of a later pass into these. A file removed after it was added
  /// or modified is reported removed only (its old findings must go); one added after
  /// it was removed is reported both removed and added; an added file that changed
  /// again stays added. The merged lists are sorted by path.
  void Merge(CFileChanges&& later);
};
