#pragma once

#include "dictionaries/HunspellFile.h"

#include <string>
#include <vector>

/// Finds the Hunspell dictionaries of the desktop: every ".dic" file with its ".aff"
/// file in the folders that nuspell searches (DICPATH, the user's and the system's
/// hunspell and myspell folders), or in the folders of PAGELINT_HUNSPELL_PATH when it
/// is set. Reads no dictionary; stateless.
class CHunspellFinder {
public:
  /// Colon-separated folders that replace the default search, so that a test or a
  /// user decides exactly which dictionaries exist; set and empty, there are none.
  static constexpr const char* kPathVariable = "PAGELINT_HUNSPELL_PATH";

  /// Whether a folder that is missing is worth a log line: the default search names
  /// folders that most desktops do not have, a given list names only wanted ones.
  enum class EMissingFolders { kSkipped, kLogged };

  /// The folders to search: those of kPathVariable when it is set, else nuspell's.
  static std::vector<std::string> SearchFolders(EMissingFolders& missing);
  /// The dictionaries of `folders`, in name order. Symbolic links that lead to a
  /// dictionary found already ("de_BE.dic" to "de_DE.dic") give no second entry: of the
  /// names of one real pair, the one that is the real file's name is kept, else the
  /// first by name. Of two pairs with one name, the one of the earlier folder is kept.
  /// A ".dic" without its ".aff" (or the other way round) and an unreadable folder are
  /// logged and left out.
  static std::vector<SHunspellFile> Find(const std::vector<std::string>& folders,
                                         EMissingFolders missing);
  /// Fills the tag, language and name of `file` from the file stem `stem`.
  static void Describe(const std::string& stem, SHunspellFile& file);
};
