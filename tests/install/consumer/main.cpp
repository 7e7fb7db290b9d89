// Uses the installed speller as an outside program would: the main dictionary of the
// program folder given as the argument, a lookup, suggestions, a phonetic key and the
// word list type of the interface. Exit 0 when all of them work.
#include <spellcore/Metaphone.h>
#include <spellcore/SpellChecker.h>

#include <iostream>
#include <string>
#include <vector>

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
            << Metaphone("Thompson").GetPrimaryKey() << "\n";
  CSpellChecker::DeleteInstance();
  return known && unknown && found ? 0 : 1;
}
