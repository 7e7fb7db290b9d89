// Ranked suggestions against the main dictionary that the build compiles into the
// program folder, and the ranking rules on their own.
#include "speller/facade/SpellerFixture.h"

#include "dictionaries/MainDictionary.h"
#include "guess/EditDistance.h"
#include "guess/SuggestionRanker.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using spellertest::SpellerTest;
using Words = std::vector<std::string>;

class SuggestTest : public SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    m_ids = StartWithBuiltMainDictionary();
  }
  Words Suggest(const std::string& word, std::size_t maxCount = 0) const {
    Words out{"stale"};
    CSpellChecker::GetInstance()->Suggest(word, m_ids, out, maxCount);
    return out;
  }

  std::vector<int> m_ids;
};

// The word meant comes first, whether one edit finds it, a swap, a doubled letter, or
// only the wider searches (two edits, the same sound), and in the misspelling's case.
TEST_F(SuggestTest, TheWordMeantComesFirst) {
  const struct {
    const char* wrong;
    const char* first;
  } cases[] = {
      {"teh", "the"},
      {"Teh", "The"},
      {"recieve", "receive"},
      {"seperate", "separate"},
      {"acomodate", "accommodate"},
      {"definately", "definitely"},
      {"accidently", "accidentally"},
      {"untill", "until"},
      {"mutiple", "multiple"},
      {"strippped", "stripped"},
  };
  for (const auto& c : cases) {
    const Words got = Suggest(c.wrong);
    ASSERT_FALSE(got.empty()) << c.wrong;
    EXPECT_EQ(got.front(), c.first) << c.wrong;
  }
}

TEST_F(SuggestTest, FragmentsComeLastAndTheCountIsKept) {
  const Words choses = Suggest("choses");
  ASSERT_FALSE(choses.empty());
  EXPECT_NE(choses.front().find_first_of(" -"), 0U);
  const auto split = std::find(choses.begin(), choses.end(), "ch oses");
  if (split != choses.end()) {
    // Nothing but fragments after it.
    for (auto it = split; it != choses.end(); ++it) {
      EXPECT_TRUE(CSuggestionRanker::IsFragment("choses", *it)) << *it;
    }
  }
  EXPECT_EQ(Suggest("calculatin", 3).size(), 3U);
  EXPECT_TRUE(Suggest("   ").empty());
  // Without the main dictionary only what Guess finds is ranked: no wider search.
  Words out;
  CSpellChecker::GetInstance()->Suggest("acomodate", {}, out);
  EXPECT_TRUE(out.empty());
}

// Guess keeps its byte order and its list: the ranking is Suggest's alone.
TEST_F(SuggestTest, GuessIsUnchanged) {
  Words guessed;
  CSpellChecker::GetInstance()->Guess("teh", m_ids, guessed, true, true);
  ASSERT_TRUE(std::is_sorted(guessed.begin(), guessed.end()));
  Words ranked = Suggest("teh");
  std::sort(ranked.begin(), ranked.end());
  EXPECT_EQ(ranked, guessed);
}

// The commonness list lies beside the compiled dictionary; without it, or with damaged
// lines, suggestions still come, ranked without it, and the log says why.
TEST_F(SuggestTest, AMissingOrDamagedCommonnessListIsLogged) {
  const std::string id = "{B51F7A38-1B9D-466E-B8EA-158EC81F1C52}";
  const struct {
    const char* list; // null: no file
    int logged;
  } cases[] = {{nullptr, 1}, {"the\tten\nqqqzzz\t10\nwater\t20\n", 1}, {"water\t20\n", 0}};
  for (const auto& c : cases) {
    CSpellChecker::DeleteInstance();
    const int before = LogCount(id);
    std::filesystem::copy_file(CDirUtils::GetAppPath() + CMainDictionary::kFileName,
                               AppDir() + CMainDictionary::kFileName,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(AppDir() + "WordCommonness.txt");
    if (c.list != nullptr) {
      WriteFile(AppDir() + "WordCommonness.txt", c.list);
    }
    const std::vector<int> ids = {StartSpeller().GetDictionaryID(spellertest::kMainName)};
    Words out;
    CSpellChecker::GetInstance()->Suggest("acomodate", ids, out);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front(), "accommodate");
    EXPECT_EQ(LogCount(id) - before, c.logged) << (c.list != nullptr ? c.list : "no file");
  }
}

TEST(SuggestionRanker, OrdersByCostAndPutsFragmentsLast) {
  const struct {
    const char* word;
    Words in;
    Words out;
  } cases[] = {
      // A swap costs less than a deletion or a replacement.
      {"teh", {"te", "ten", "the"}, {"the", "te", "ten"}},
      // Prefix cuts go last, the closer one first; one character short is no cut, however
      // many bytes it has.
      {"calculatin", {"ca", "calculating", "cal"}, {"calculating", "cal", "ca"}},
      {"résumé", {"ré", "résum", "résumés"}, {"résum", "résumés", "ré"}},
      // A doubled letter lost costs less than another deletion; the word itself is last.
      {"untill", {"untill", "until", "unfill"}, {"until", "unfill", "untill"}},
      // A split into everyday words is no fragment but costs an edit more.
      {"alot", {"a lot", "allot", "al ot"}, {"allot", "a lot", "al ot"}},
      // The misspelling's case: a capital only where it wrote one.
      {"paris", {"Paris", "parish"}, {"Paris", "parish"}},
  };
  for (const auto& c : cases) {
    Words got = c.in;
    CSuggestionRanker::Rank(c.word, got);
    EXPECT_EQ(got, c.out) << c.word;
  }
  // Two swaps cost the same: the commoner word goes first.
  Words swaps = {"felid", "field"};
  CSuggestionRanker::Rank("feild", swaps,
                          [](std::string_view word) { return word == "field" ? 10 : 0; });
  EXPECT_EQ(swaps, (Words{"field", "felid"}));
}

TEST(EditDistance, CountsCharactersNotBytes) {
  const auto chars = [](const std::string& text) {
    std::vector<UChar32> out;
    CEditDistance::LowerChars(text, out);
    return out;
  };
  const struct {
    const char* a;
    const char* b;
    int within; // the smallest limit that holds
  } cases[] = {
      {"café", "cafe", 1}, {"CAFÉ", "café", 0},
      {"teh", "the", 1},   {"acomodate", "accommodate", 2},
      {"abc", "", 3},      {"naïve", "naive", 1},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(CEditDistance::IsWithin(chars(c.a), chars(c.b), c.within)) << c.a;
    if (c.within > 0) {
      EXPECT_FALSE(CEditDistance::IsWithin(chars(c.a), chars(c.b), c.within - 1)) << c.a;
    }
  }
  EXPECT_DOUBLE_EQ(CEditDistance::Weighted(chars("teh"), chars("the")), 0.5);
  EXPECT_DOUBLE_EQ(CEditDistance::Weighted(chars("untill"), chars("until")), 0.5);
  EXPECT_DOUBLE_EQ(CEditDistance::Weighted(chars("sepArate"), chars("seperate")), 0.75);
}

} // namespace
