#pragma once

#include "dictionaries/CustomDictionary.h"
#include "dictionaries/SiteWordsFile.h"

#include <string>

/// A site's own word list, ".pagelint-words" at the site's root, which travels with the
/// site in its repository (see CSiteWordsFile for the format). Looked up like any word
/// list, but only by the project of that site. A damaged file (binary, not UTF-8, too
/// large) is logged once and read as no words; a missing one is made by the first save.
class CSiteWordList : public CCustomDictionary {
public:
  CSiteWordList(int id, std::string name, std::string path)
      : CCustomDictionary(id, std::move(name), std::move(path)) {}

  /// Reads the file anew; a missing file is a list without words, and so is a refused
  /// one (logged), which Save then leaves alone. Always true.
  bool Load() override;
  /// Writes the words back atomically, keeping the file's comments and blank lines;
  /// refuses to replace a file that is there but was never read.
  bool Save() override;

  /// The list follows its project's name; the registry checks that `name` is free.
  void Rename(std::string name) { SetName(std::move(name)); }

private:
  void LogRefusal(const std::string& reason);

  CSiteWordsFile m_file;
  std::string m_loggedRefusal; ///< the reason last logged; empty after a load that worked
  bool m_refused = false;      ///< the file is there but was not read: never overwritten
};
