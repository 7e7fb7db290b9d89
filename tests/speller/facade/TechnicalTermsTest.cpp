// The shipped word list "ZEB Technical Terms": how the speller offers it, and the list
// the build copies into the program folder, which must let no known typo through.
#include "speller/facade/SpellerFixture.h"

#include "dictionaries/BundledWordList.h"

#include "testkit/FileBytes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using spellertest::kMainName;
using spellertest::SpellerTest;

constexpr const char* kTermsName = CBundledWordList::kTechnicalTermsName;
constexpr const char* kCustomName = "ZEB Custom";

bool Holds(const std::vector<int>& ids, int id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

class TechnicalTermsTest : public SpellerTest {
protected:
  std::string TermsFile() const { return AppDir() + CBundledWordList::kTechnicalTermsFile; }
};

TEST_F(TechnicalTermsTest, IsAWordListAmongTheDefaultsThatTakesNoWords) {
  WriteFile(TermsFile(), "datatypes\nsubshell\n");
  CSpellChecker& speller = StartSpeller();
  const int terms = speller.GetDictionaryID(kTermsName);
  const int custom = speller.GetDictionaryID(kCustomName);
  ASSERT_GE(terms, 0);
  std::vector<int> all;
  speller.GetDictionaries(all, true, true);
  EXPECT_TRUE(Holds(all, terms));
  std::vector<int> mainOnly;
  speller.GetDictionaries(mainOnly, true, false);
  EXPECT_FALSE(Holds(mainOnly, terms));
  EXPECT_EQ(speller.GetDictionaryKind(terms), EDictionaryKind::kWordList);
  EXPECT_EQ(speller.GetDictionaryLanguage(terms), "");

  const struct {
    int id;
    bool takesWords;
  } cases[] = {{terms, false},
               {custom, true},
               {speller.GetDictionaryID(kMainName), false},
               {-1, false},
               {9999, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(speller.TakesWords(c.id), c.takesWords) << c.id;
  }
  EXPECT_TRUE(speller.LookUp("Subshell", {terms}));
  EXPECT_FALSE(speller.LookUp("subshel", {terms}));
}

TEST_F(TechnicalTermsTest, TheSpellerWritesNothingToIt) {
  const std::string bytes = "datatypes\nsubshell\n";
  WriteFile(TermsFile(), bytes);
  CSpellChecker& speller = StartSpeller();
  const int terms = speller.GetDictionaryID(kTermsName);
  speller.AddWord(terms, "teh");
  speller.SetWords(terms, TextArray{"recieve"});
  EXPECT_FALSE(speller.LookUp("teh", {terms}));
  EXPECT_FALSE(speller.LookUp("recieve", {terms}));
  EXPECT_TRUE(speller.LookUp("datatypes", {terms}));
  EXPECT_EQ(testkit::ReadBytes(TermsFile()), bytes);
}

// Without its file there is no such dictionary, the log says why once, and the other
// dictionaries work as ever; a file that goes after the start leaves an empty list.
TEST_F(TechnicalTermsTest, AMissingFileIsLoggedOnceAndLeavesNoList) {
  WriteDic("ZEB_Custom.dic", "zebword\n");
  const std::string logId = CBundledWordList::kLogMissing;
  {
    CSpellChecker& speller = StartSpeller();
    EXPECT_EQ(speller.GetDictionaryID(kTermsName), -1);
    EXPECT_TRUE(speller.LookUp("zebword", {speller.GetDictionaryID(kCustomName)}));
    EXPECT_EQ(LogCount(logId), 1);
  }
  CSpellChecker::DeleteInstance();
  WriteFile(TermsFile(), "datatypes\n");
  CSpellChecker& speller = StartSpeller();
  const int terms = speller.GetDictionaryID(kTermsName);
  ASSERT_GE(terms, 0);
  std::filesystem::remove(TermsFile());
  for (int attempt = 0; attempt < 3; ++attempt) {
    bool settled = true;
    EXPECT_FALSE(speller.LookUp("datatypes", {terms}, settled));
    EXPECT_TRUE(settled);
  }
  EXPECT_EQ(LogCount(logId), 2);
}

// A user's own word list of that name came first: it keeps the name and its words.
TEST_F(TechnicalTermsTest, AUserWordListOfTheSameNameWins) {
  WriteFile(TermsFile(), "datatypes\n");
  WriteDic("ZEB_Technical_Terms.dic", "mine\n");
  CSpellChecker& speller = StartSpeller();
  const int terms = speller.GetDictionaryID(kTermsName);
  EXPECT_TRUE(speller.TakesWords(terms));
  EXPECT_TRUE(speller.LookUp("mine", {terms}));
  EXPECT_FALSE(speller.LookUp("datatypes", {terms}));
  std::vector<int> all;
  speller.GetDictionaries(all, true, true);
  std::string name;
  const auto named = std::count_if(all.begin(), all.end(), [&](int id) {
    speller.GetDictionaryName(id, name);
    return name == kTermsName;
  });
  EXPECT_EQ(named, 1);
}

/// The lines of a file of the source tree, "#" comments and blank lines left out.
std::vector<std::string> SourceLines(const std::string& relative) {
  std::ifstream in(std::string(PAGELINT_SOURCE_DIR) + "/" + relative);
  EXPECT_TRUE(in.good()) << relative;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.front() != '#') {
      lines.push_back(line);
    }
  }
  return lines;
}

/// Every misspelling of the repository's typo lists: "typo->fix" pairs, and the
/// corpora's table of real typos (the word in its third column).
std::vector<std::string> ListedTypos() {
  std::vector<std::string> typos;
  for (const char* pairs :
       {"bench/data/common_misspellings.txt", "bench/data/real_misspellings.txt"}) {
    for (const std::string& line : SourceLines(pairs)) {
      typos.push_back(line.substr(0, line.find("->")));
    }
  }
  for (const std::string& line : SourceLines("bench/peers/typos.tsv")) {
    std::size_t start = 0;
    for (int column = 0; column < 2 && start != std::string::npos; ++column) {
      start = line.find('\t', start);
      start = start == std::string::npos ? start : start + 1;
    }
    if (start != std::string::npos) {
      typos.push_back(line.substr(start, line.find('\t', start) - start));
    }
  }
  return typos;
}

/// The speller with the build's program folder: its main dictionary and its list.
class ShippedTechnicalTerms : public SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    CSpellChecker& speller = *CSpellChecker::GetInstance();
    speller.SetAppPath(CDirUtils::GetAppPath());
    m_main = speller.GetDictionaryID(kMainName);
    m_terms = speller.GetDictionaryID(kTermsName);
    ASSERT_GE(m_main, 0);
    ASSERT_GE(m_terms, 0);
  }

  bool LookUp(const std::string& word, const std::vector<int>& ids) const {
    return CSpellChecker::GetInstance()->LookUp(word, ids);
  }

  int m_main = -1;
  int m_terms = -1;
};

// A typo that the list accepted would go unreported on every new project's pages.
TEST_F(ShippedTechnicalTerms, AcceptsNoListedTypo) {
  const std::vector<std::string> typos = ListedTypos();
  ASSERT_GT(typos.size(), 400U);
  for (const std::string& typo : typos) {
    EXPECT_FALSE(LookUp(typo, {m_terms})) << typo;
    EXPECT_EQ(LookUp(typo, {m_main, m_terms}), LookUp(typo, {m_main})) << typo;
  }
}

// Sorted, lower-case and plain, no word of two letters or fewer (those are mostly
// slips: "af" for "of"), none that the main dictionary knows already; and it holds the
// words it is for.
TEST_F(ShippedTechnicalTerms, HoldsOnlyTechnicalWordsTheMainDictionaryLacks) {
  const std::string file = CDirUtils::GetAppPath() + CBundledWordList::kTechnicalTermsFile;
  const std::vector<std::string> words = SourceLines("speller/data/TechnicalTerms.txt");
  EXPECT_EQ(testkit::ReadBytes(file), testkit::ReadBytes(std::string(PAGELINT_SOURCE_DIR) +
                                                         "/speller/data/TechnicalTerms.txt"));
  ASSERT_GT(words.size(), 300U);
  EXPECT_TRUE(std::is_sorted(words.begin(), words.end()));
  EXPECT_EQ(std::adjacent_find(words.begin(), words.end()), words.end());
  for (const std::string& word : words) {
    EXPECT_GE(word.size(), 3U) << word;
    EXPECT_TRUE(std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
        << word;
    EXPECT_FALSE(LookUp(word, {m_main})) << word;
  }
  for (const std::string word : {"datatypes", "dereferencing", "subshell", "filesystem", "IPC"}) {
    EXPECT_TRUE(LookUp(word, {m_terms})) << word;
    EXPECT_FALSE(LookUp(word, {m_main})) << word;
  }
}

} // namespace
