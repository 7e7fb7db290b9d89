// Uses the installed speller as an outside program would: the main dictionary of the
// program folder given as the argument, a lookup, suggestions, a phonetic key, the word
// list type of the interface and, when the desktop has British English, a Hunspell
// dictionary. Exit 0 when all of them work.
#include <spellcore/DictionaryKind.h>
#include <spellcore/Metaphone.h>
#include <spellcore/SpellChecker.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

/// "colour" is British: the Hunspell en_GB knows it, the built-in dictionary does not,
/// and a new project's defaults leave en_GB out. True without en_GB installed.
bool ChecksBritishEnglish(const CSpellChecker& speller, const std::vector<int>& defaults) {
  if (!std::filesystem::exists("/usr/share/hunspell/en_GB.dic")) {
    std::cout << ", no en_GB installed";
    return true;
  }
  std::vector<int> hunspell;
  speller.GetHunspellDictionaries(hunspell);
  const auto british = std::find_if(hunspell.begin(), hunspell.end(), [&](int id) {
    return speller.GetDictionaryKind(id) == EDictionaryKind::kHunspell &&
           speller.GetDictionaryLanguage(id) == "en_GB";
  });
  if (british == hunspell.end()) {
    return false;
  }
  std::string name;
  speller.GetDictionaryName(*british, name);
  const bool known = speller.LookUp("colour", {*british}) && !speller.LookUp("colour", defaults);
  std::cout << ", " << name << " knows colour " << known;
  return known && std::find(defaults.begin(), defaults.end(), *british) == defaults.end();
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: spellcore_consumer PROGRAM_FOLDER\n";
    return 2;
  }
  CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return 2;
  }
  speller->SetAppPath(std::string(argv[1]) + "/");
  std::vector<int> ids;
  speller->GetDictionaries(ids, true, false);
  const bool known = speller->LookUp("garden", ids);
  const bool unknown = !speller->LookUp("gardne", ids);
  std::vector<std::string> suggestions;
  speller->Guess("gardne", ids, suggestions, true, true);
  TextArray words(suggestions);
  words.Sort(true, false, false, true);
  bool found = false;
  const std::size_t at = words.Find("garden", true, found, false, false, true);
  std::cout << "known " << known << ", unknown " << unknown << ", garden suggested " << found
            << " (" << at << " of " << words.GetCount() << "), key "
            << Metaphone("Thompson").GetPrimaryKey();
  std::vector<int> defaults;
  speller->GetDictionaries(defaults, true, true);
  const bool british = ChecksBritishEnglish(*speller, defaults);
  std::cout << "\n";
  CSpellChecker::DeleteInstance();
  return known && unknown && found && british ? 0 : 1;
}
