#include "speller/facade/SpellerFixture.h"

#include "guess/Guess.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/TextFileCodec.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using spellertest::SpellerTest;
using Words = std::vector<std::string>;

class GuessFacadeTest : public SpellerTest {
protected:
  CSpellChecker& Start(const std::string& words) {
    WriteDic("words.dic", words);
    CSpellChecker& speller = StartSpeller();
    m_ids = {speller.GetDictionaryID("words")};
    return speller;
  }
  Words Guess(const std::string& word, bool findAll = true, bool restart = false) {
    Words out{"stale"};
    CSpellChecker::GetInstance()->Guess(word, m_ids, out, findAll, restart);
    return out;
  }
  static bool Has(const Words& words, const std::string& word) {
    return std::find(words.begin(), words.end(), word) != words.end();
  }

  std::vector<int> m_ids;
};

TEST_F(GuessFacadeTest, BlankWordGivesNothingAndCreatesNoStrategy) {
  CSpellChecker& speller = Start("cat\n");
  EXPECT_TRUE(Guess("").empty());
  EXPECT_TRUE(Guess("   ").empty());
  // Without strategies there is no custom slot: nothing is learned or written.
  speller.AddGuess("teh", "the");
  EXPECT_FALSE(Exists(CustomFolder() + "common_custom_guess.dat"));
}

TEST_F(GuessFacadeTest, SortedWithoutDuplicates) {
  Start("cat\ncart\ncoat\nact\n");
  // "caat": both a's removed give "cat"; swaps, insertions and replacements add more.
  const Words words = Guess("caat");
  EXPECT_TRUE(std::is_sorted(words.begin(), words.end()));
  EXPECT_EQ(std::adjacent_find(words.begin(), words.end()), words.end());
  EXPECT_EQ(std::count(words.begin(), words.end(), "cat"), 1);
  EXPECT_TRUE(Has(words, "coat"));
}

TEST_F(GuessFacadeTest, CaseVariantsBothKeptUpperFirst) {
  Start("cat\n");
  EXPECT_EQ(Guess("cCat"), (Words{"Cat", "cat"}));
}

TEST_F(GuessFacadeTest, KnownWordIsAmongItsOwnSuggestions) {
  Start("cat\n");
  EXPECT_EQ(Guess("cat"), Words{"cat"});
}

TEST_F(GuessFacadeTest, FindAllIsTheSameWhateverRestartSays) {
  Start("cat\ncart\ncoat\ncast\nca\n");
  const Words first = Guess("cat", true, false);
  EXPECT_EQ(Guess("cat", true, false), first);
  EXPECT_EQ(Guess("cat", true, true), first);
}

TEST_F(GuessFacadeTest, OneAtATimeWalksOnAndRestartStartsOver) {
  Start("cart\ncast\ncoat\nfile\nfiles\n");
  // Only the inserting strategy finds anything for "cat".
  EXPECT_EQ(Guess("cat", false), Words{"coat"});
  EXPECT_EQ(Guess("cat", false), Words{"cart"});
  EXPECT_EQ(Guess("cat", false, true), Words{"coat"});
  EXPECT_EQ(Guess("cat", false), Words{"cart"});
  // Another word starts over; coming back starts over too.
  // Cutting "(s)" off finds "file" too, once per walk of the shorter prefixes.
  EXPECT_EQ(Guess("file(s)", false), (Words{"file", "file or files"}));
  EXPECT_EQ(Guess("file(s)", false), Words{"file/files"});
  EXPECT_EQ(Guess("file(s)", false), (Words{"file", "file or files"}));
  EXPECT_EQ(Guess("cat", false), Words{"coat"});
  EXPECT_EQ(Guess("cat", false), Words{"cart"});
  EXPECT_EQ(Guess("cat", false), Words{"cast"});
  EXPECT_TRUE(Guess("cat", false).empty());
  EXPECT_EQ(Guess("cat", false), Words{"coat"});
}

TEST_F(GuessFacadeTest, Utf8WordsAreNeverCut) {
  Start("naïve\nnaïf\ncafé\nüber\n");
  for (const std::string word : {"naïvee", "cafféé", "übr", "ïïï", "naïfs"}) {
    for (const std::string& suggestion : Guess(word)) {
      EXPECT_TRUE(CTextFileCodec::IsValidUtf8(suggestion)) << word << " gave " << suggestion;
    }
  }
  EXPECT_TRUE(Has(Guess("naïvee"), "naïve"));
  EXPECT_TRUE(Has(Guess("übr"), "über"));
}

// Suggest runs the strategies on a set of its own, yet leaves the user interface's
// walk as a restart for its word did: a blank word leaves it alone, another word starts
// it over, and a replacement learned before any guess but Suggest's is kept.
TEST_F(GuessFacadeTest, SuggestInBetweenLeavesTheWalkAsARestart) {
  CSpellChecker& speller = Start("cart\ncast\ncoat\n");
  std::vector<std::string> ranked;
  speller.Suggest("cat", m_ids, ranked);
  EXPECT_EQ(ranked.size(), 3U);
  speller.AddGuess("Xqzw", "answer");
  EXPECT_EQ(Guess("Xqzw"), Words{"Answer"});
  EXPECT_EQ(Guess("cat", false), Words{"coat"});
  EXPECT_EQ(Guess("cat", false), Words{"cart"});
  speller.Suggest("   ", m_ids, ranked);
  EXPECT_EQ(Guess("cat", false), Words{"cast"});
  speller.Suggest("cat", m_ids, ranked);
  EXPECT_EQ(Guess("cat", false), Words{"coat"});
  speller.Suggest("cta", m_ids, ranked);
  EXPECT_EQ(Guess("cat", false), Words{"coat"});
}

TEST_F(GuessFacadeTest, LearnedReplacementComesBackInTheWordsCase) {
  CSpellChecker& speller = Start("cat\n");
  EXPECT_TRUE(Guess("Xqzw").empty());
  speller.AddGuess("Xqzw", "ANSWER");
  EXPECT_EQ(Guess("Xqzw"), Words{"Answer"});
  EXPECT_EQ(Guess("XQZW"), Words{"ANSWER"});
  EXPECT_EQ(Guess("xqzw", false), Words{"answer"});
  // Learned twice, offered once.
  speller.AddGuess("xqzw", "answer");
  EXPECT_EQ(Guess("xqzw"), Words{"answer"});
}

std::string Repeat(const std::string& character, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += character;
  }
  return text;
}

struct SLengthCase {
  std::string character;
  std::size_t count;
  bool suggested;
};

TEST_F(GuessFacadeTest, WordsLongerThanTheBoundGetNothing) {
  constexpr std::size_t kBound = CGuess::kMaxWordChars;
  // Each word is one letter too many for a listed word, which only the bound hides.
  const std::vector<SLengthCase> cases = {{"a", kBound, true},
                                          {"\u00E9", kBound, true},
                                          {"b", kBound + 1, false},
                                          {"\u00E8", kBound + 1, false},
                                          {"c", 100000, false}};
  std::string words;
  for (const SLengthCase& c : cases) {
    words += Repeat(c.character, c.count - 1) + "\n";
  }
  Start(words);
  for (const SLengthCase& c : cases) {
    const Words suggestions = Guess(Repeat(c.character, c.count));
    EXPECT_EQ(Has(suggestions, Repeat(c.character, c.count - 1)), c.suggested)
        << c.character << " x " << c.count;
    EXPECT_EQ(suggestions.empty(), !c.suggested) << c.character << " x " << c.count;
  }
}

} // namespace
