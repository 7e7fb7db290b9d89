// The Hunspell dictionaries through the speller's face: registered at start-up and
// never a default, loaded on first use, asked as every other dictionary is.
#include "speller/dictionaries/HunspellSamples.h"
#include "speller/facade/SpellerFixture.h"

#include "testkit/LogCapture.h"
#include "testkit/ScopedEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace {

using spellertest::SpellerTest;
using Words = std::vector<std::string>;

constexpr const char* kEnglish = "English (United Kingdom) en_GB";
constexpr const char* kGerman = "German (Germany) de_DE";
constexpr const char* kLogRefused = "{F917DAE6-F8CF-4E03-AABB-D88CDC83D9A0}";

/// The log lines of dictionaries that could not be loaded.
Words Refusals(const LogCapture& log) {
  Words lines = log.Lines();
  std::erase_if(lines, [](const std::string& line) { return !line.starts_with(kLogRefused); });
  return lines;
}

class HunspellSpellerTest : public SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    hunspelltest::WriteSamples(Folder());
  }

  std::string Folder() const { return m_home.Root() + "/hunspell"; }

  /// The speller with the built main dictionary and the sample folder; sets the ids.
  CSpellChecker& Start() {
    CSpellChecker::GetInstance()->SetMainDictionaryFile(CDirUtils::GetAppPath() +
                                                        CMainDictionary::kFileName);
    CSpellChecker& speller = StartSpeller();
    m_main = speller.GetDictionaryID(spellertest::kMainName);
    m_english = speller.GetDictionaryID(kEnglish);
    m_german = speller.GetDictionaryID(kGerman);
    return speller;
  }

  CScopedEnv m_path{"PAGELINT_HUNSPELL_PATH", m_home.Root() + "/hunspell"};
  int m_main = -1;
  int m_english = -1;
  int m_german = -1;
};

TEST_F(HunspellSpellerTest, RegisteredByNameButNeverAmongTheDefaults) {
  WriteDic("Mine.dic", "zzyzx\n");
  // A word list that already holds a Hunspell dictionary's name keeps it.
  hunspelltest::WritePair(Folder(), "fr", hunspelltest::kEnglishAff, hunspelltest::kEnglishDic);
  WriteDic("French fr.dic", "bonjour\n");
  const CSpellChecker& speller = Start();
  const int list = speller.GetDictionaryID("Mine");
  const int frenchList = speller.GetDictionaryID("French fr");
  const int french = speller.GetDictionaryID("French fr (Hunspell)");
  ASSERT_GE(m_english, 0);
  ASSERT_GE(m_german, 0);
  ASSERT_GE(french, 0);

  std::vector<int> hunspell{-5};
  speller.GetHunspellDictionaries(hunspell);
  EXPECT_EQ(hunspell, (std::vector<int>{-5, m_english, french, m_german}));
  // A new project's defaults are what they were: the built-in one and the word lists.
  std::vector<int> defaults;
  speller.GetDictionaries(defaults, true, true);
  EXPECT_EQ(std::count(defaults.begin(), defaults.end(), m_english), 0);
  EXPECT_EQ(std::count(defaults.begin(), defaults.end(), m_german), 0);
  EXPECT_EQ(std::count(defaults.begin(), defaults.end(), french), 0);
  EXPECT_EQ(std::count(defaults.begin(), defaults.end(), frenchList), 1);
  std::vector<int> mains;
  speller.GetDictionaries(mains, true, false);
  EXPECT_EQ(mains, std::vector<int>{m_main});

  const struct {
    int id;
    EDictionaryKind kind;
    std::string language;
  } cases[] = {
      {m_main, EDictionaryKind::kBuiltIn, "en_US"},
      {list, EDictionaryKind::kWordList, ""},
      {frenchList, EDictionaryKind::kWordList, ""},
      {french, EDictionaryKind::kHunspell, "fr"},
      {m_english, EDictionaryKind::kHunspell, "en_GB"},
      {m_german, EDictionaryKind::kHunspell, "de_DE"},
      {-1, EDictionaryKind::kWordList, ""},
      {9999, EDictionaryKind::kWordList, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(speller.GetDictionaryKind(c.id), c.kind) << c.id;
    EXPECT_EQ(speller.GetDictionaryLanguage(c.id), c.language) << c.id;
  }
  std::string name;
  speller.GetDictionaryName(m_english, name);
  EXPECT_EQ(name, kEnglish);
  // The de_BE link is de_DE itself: no entry of its own.
  EXPECT_EQ(speller.GetDictionaryID("German (Belgium) de_BE"), -1);
}

TEST_F(HunspellSpellerTest, LookUpAppliesTheSpellersOwnWordRules) {
  CSpellChecker& speller = Start();
  const std::vector<int> builtIn{m_main};
  const std::vector<int> english{m_english};
  const std::vector<int> german{m_german};
  const std::vector<int> both{m_main, m_english};
  const struct {
    std::string word;
    const std::vector<int>& ids;
    bool known;
  } cases[] = {
      {"colour", builtIn, false},
      {"colour", english, true},
      {"colour", both, true},
      {"the", english, false},
      {"the", both, true},
      {"Colours", english, true},
      {"LONDON", english, true},
      {"london", english, false},
      // A soft hyphen and a hyphenated compound, as the speller reads them for every
      // dictionary.
      {"col\xC2\xAD"
       "our",
       english, true},
      {"colour-favour", english, true},
      {"colour-the", both, true},
      {"colour-zzyzx", english, false},
      {"Stra\xC3\x9F"
       "e",
       german, true},
      {"Haus", german, true},
      {"H\xC3\xA4user", german, true},
      {"H\xC3\xA4user", english, false},
  };
  for (const auto& c : cases) {
    bool settled = true;
    EXPECT_EQ(speller.LookUp(c.word, c.ids, settled), c.known) << c.word;
    EXPECT_TRUE(settled) << c.word;
  }
}

TEST_F(HunspellSpellerTest, LoadsOnFirstUseAndAgainOnceMended) {
  CSpellChecker& speller = Start();
  // Registered without being read: a file gone since start-up fails the first use.
  std::filesystem::rename(Folder() + "/en_GB.dic", Folder() + "/moved.dic");
  const LogCapture log;
  for (int round = 0; round < 3; ++round) {
    bool settled = true;
    EXPECT_FALSE(speller.LookUp("colour", {m_english}, settled));
    EXPECT_FALSE(settled);
    // The other dictionaries answer as before.
    settled = true;
    EXPECT_TRUE(speller.LookUp("the", {m_main, m_english}, settled));
  }
  EXPECT_EQ(Refusals(log), Words{std::string(kLogRefused) + " - " + Folder() +
                                 "/en_GB.dic - No such file or directory"});
  std::filesystem::rename(Folder() + "/moved.dic", Folder() + "/en_GB.dic");
  bool settled = true;
  EXPECT_TRUE(speller.LookUp("colour", {m_english}, settled));
  EXPECT_TRUE(settled);
}

TEST_F(HunspellSpellerTest, ADamagedDictionaryIsLeftOutAndChangesNothingElse) {
  hunspelltest::WritePair(Folder(), "fr_FR", hunspelltest::kEnglishAff, "");
  CSpellChecker& speller = Start();
  const int french = speller.GetDictionaryID("French (France) fr_FR");
  ASSERT_GE(french, 0);
  const LogCapture log;
  bool settled = true;
  // A word found stays found whatever loads later: that answer is settled.
  EXPECT_TRUE(speller.LookUp("colour", {m_main, french, m_english}, settled));
  EXPECT_TRUE(settled);
  settled = true;
  EXPECT_FALSE(speller.LookUp("bonjour", {french}, settled));
  EXPECT_FALSE(settled);
  std::vector<std::string> suggestions;
  speller.Suggest("colur", {french, m_english}, suggestions);
  ASSERT_FALSE(suggestions.empty());
  EXPECT_EQ(suggestions.front(), "colour");
  EXPECT_EQ(Refusals(log),
            Words{std::string(kLogRefused) + " - " + Folder() + "/fr_FR.dic - empty file"});
}

TEST_F(HunspellSpellerTest, SuggestMergesHunspellsSuggestionsIntoTheRanking) {
  CSpellChecker& speller = Start();
  const struct {
    std::string word;
    std::vector<int> ids;
    std::size_t maxCount;
    std::string first;
  } cases[] = {
      {"colur", {m_english}, 0, "colour"},
      {"Colur", {m_english}, 0, "Colour"},
      {"favuor", {m_english}, 1, "favour"},
      // The strategies still add what the built-in dictionary knows.
      {"teh", {m_main, m_english}, 0, "the"},
      {"Hauss", {m_german}, 0, "Haus"},
      {"H\xC3\xA4useer", {m_german}, 0, "H\xC3\xA4user"},
  };
  for (const auto& c : cases) {
    Words got{"stale"};
    speller.Suggest(c.word, c.ids, got, c.maxCount);
    ASSERT_FALSE(got.empty()) << c.word;
    EXPECT_EQ(got.front(), c.first) << c.word;
    EXPECT_TRUE(c.maxCount == 0 || got.size() <= c.maxCount) << c.word;
    EXPECT_EQ(std::count(got.begin(), got.end(), c.first), 1) << c.word;
  }
}

TEST_F(HunspellSpellerTest, SuggestWithoutHunspellIdsIsWhatItWas) {
  Words without;
  {
    const CScopedEnv none("PAGELINT_HUNSPELL_PATH", "");
    CSpellChecker& speller = Start();
    speller.Suggest("recieve", {m_main}, without);
    CSpellChecker::DeleteInstance();
  }
  CSpellChecker& speller = Start();
  ASSERT_GE(m_english, 0);
  Words with;
  speller.Suggest("recieve", {m_main}, with);
  EXPECT_FALSE(without.empty());
  EXPECT_EQ(with, without);
}

// Checking threads reach a Hunspell dictionary's first use together while the user
// interface thread asks for suggestions: one load each, every answer right.
TEST_F(HunspellSpellerTest, ThreadsShareOneLoadAndLookUpAtOnce) {
  CSpellChecker& speller = Start();
  const std::vector<int> ids{m_english, m_german};
  // The built-in dictionary and its word index are read before: only the two Hunspell
  // loads move the count on.
  Words warmUp;
  speller.Suggest("recieve", {m_main}, warmUp);
  const std::uint64_t before = CSpellChecker::GetChangeCount();
  constexpr int kThreads = 4;
  std::latch start(kThreads + 1);
  std::atomic<int> wrong{0};
  std::vector<std::jthread> checkers;
  for (int t = 0; t < kThreads; ++t) {
    checkers.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int round = 0; round < 200; ++round) {
        bool settled = true;
        const bool known = speller.LookUp(t % 2 == 0 ? "Colours" : "H\xC3\xA4usern", ids, settled);
        const bool unknown = speller.LookUp("Hauser" + std::to_string(round), ids, settled);
        if (!known || unknown || !settled) {
          ++wrong;
        }
      }
    });
  }
  start.arrive_and_wait();
  for (int i = 0; i < 10; ++i) {
    Words got;
    speller.Suggest(i % 2 == 0 ? "colur" : "Hauss", ids, got);
    EXPECT_FALSE(got.empty()) << i;
  }
  checkers.clear();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(CSpellChecker::GetChangeCount() - before, 2U);
}

} // namespace
