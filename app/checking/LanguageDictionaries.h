#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

/// Which of a project's active dictionaries check text of a given language. Text of
/// no known language is checked against all of them, as a page without lang
/// attributes always was. Text of a language is checked against the dictionaries of
/// exactly that tag ("de-AT": de_AT), else of its language ("de": any de_*), plus every
/// word list (custom dictionaries and the project's ignore dictionary serve every
/// language). The built-in dictionary is US English: it serves "en" and other English
/// tags only while no other English dictionary is active. A language none of them is
/// for is not checked at all.
///
/// Each distinct choice of ids is one numbered set, so a scan keeps one cache of
/// answers per set; set 0 is every active dictionary in the project's order.
class CLanguageDictionaries {
public:
  /// What the choice needs to know of a dictionary.
  struct SDictionary {
    int id = -1;
    /// "en_US", "de_DE"; empty for a word list.
    std::string language;
    bool builtIn = false;
  };
  /// No set: the language's text is not checked.
  static constexpr int kUnchecked = -1;

  explicit CLanguageDictionaries(std::vector<SDictionary> active);
  /// The speller's dictionaries `ids` as the choice needs them.
  static std::vector<SDictionary> Describe(const std::vector<int>& ids);

  /// The set that checks text of `tag` (in its usual form; empty for no language).
  int SetFor(const std::string& tag);
  const std::vector<int>& Ids(int set) const { return m_sets[static_cast<std::size_t>(set)]; }
  /// Whether these are the ids it was made for.
  bool IsFor(const std::vector<int>& ids) const { return ids == m_sets.front(); }

private:
  std::vector<int> Choose(const std::string& tag) const;
  int Number(std::vector<int> ids);

  std::vector<SDictionary> m_active;
  std::vector<std::vector<int>> m_sets;
  std::map<std::string, int, std::less<>> m_byTag;
};
