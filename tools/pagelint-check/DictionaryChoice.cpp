#include "pagelint-check/DictionaryChoice.h"

#include "pagelint-check/TerminalText.h"

#include "spellcore/SpellChecker.h"

#include "utilcore/StringUtils.h"

#include <algorithm>
#include <ostream>

namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  return CStringUtils::CompareNoCase(a, b) == 0;
}

void AppendUnlessPresent(std::vector<int>& ids, int id) {
  if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
    ids.push_back(id);
  }
}

/// The first entry that `matches`, else -1.
template <typename Predicate>
int FirstId(const std::vector<CDictionaryChoice::Entry>& entries, Predicate matches) {
  const auto found = std::find_if(entries.begin(), entries.end(), matches);
  return found != entries.end() ? found->id : -1;
}

} // namespace

std::vector<CDictionaryChoice::Entry> CDictionaryChoice::List(const CSpellChecker& speller) {
  std::vector<int> ids;
  speller.GetDictionaries(ids, true, true);
  speller.GetHunspellDictionaries(ids);
  std::vector<Entry> entries;
  for (const int id : ids) {
    Entry entry;
    entry.id = id;
    speller.GetDictionaryName(id, entry.name);
    entry.kind = speller.GetDictionaryKind(id);
    entry.language = speller.GetDictionaryLanguage(id);
    entries.push_back(std::move(entry));
  }
  return entries;
}

const char* CDictionaryChoice::KindWord(EDictionaryKind kind) {
  switch (kind) {
  case EDictionaryKind::kBuiltIn:
    return "built-in";
  case EDictionaryKind::kHunspell:
    return "hunspell";
  case EDictionaryKind::kWordList:
    break;
  }
  return "word list";
}

void CDictionaryChoice::Write(const std::vector<Entry>& entries, std::ostream& out) {
  for (const Entry& entry : entries) {
    out << CTerminalText::Printable(entry.name) << '\t' << KindWord(entry.kind) << '\t'
        << entry.language << '\n';
  }
}

int CDictionaryChoice::Resolve(const std::vector<Entry>& entries, std::string_view given) {
  // Exactly as written wins over a name that differs only in letter case.
  int id = FirstId(entries, [&](const Entry& entry) { return entry.name == given; });
  if (id < 0) {
    id = FirstId(entries, [&](const Entry& entry) { return SameNoCase(entry.name, given); });
  }
  if (id >= 0 || given.empty()) {
    return id;
  }
  std::string tag(given);
  std::replace(tag.begin(), tag.end(), '-', '_');
  // A Hunspell name ends in its file's tag: "de_DE_frami" is found before "de_DE".
  const std::string ending = ' ' + tag;
  id = FirstId(entries, [&](const Entry& entry) {
    return entry.kind == EDictionaryKind::kHunspell && entry.name.size() > ending.size() &&
           SameNoCase(std::string_view(entry.name).substr(entry.name.size() - ending.size()),
                      ending);
  });
  if (id < 0) {
    id = FirstId(entries, [&](const Entry& entry) {
      return entry.kind == EDictionaryKind::kHunspell && SameNoCase(entry.language, tag);
    });
  }
  if (id < 0) {
    id = FirstId(entries, [&](const Entry& entry) {
      return entry.kind == EDictionaryKind::kBuiltIn && SameNoCase(entry.language, tag);
    });
  }
  return id;
}

std::vector<int> CDictionaryChoice::Combine(const CSpellChecker& speller,
                                            const std::vector<int>& defaults,
                                            const std::vector<int>& mains,
                                            const std::vector<int>& lists) {
  std::vector<int> ids = mains;
  for (const int id : defaults) {
    if (mains.empty() || speller.GetDictionaryKind(id) == EDictionaryKind::kWordList) {
      AppendUnlessPresent(ids, id);
    }
  }
  for (const int id : lists) {
    AppendUnlessPresent(ids, id);
  }
  return ids;
}
