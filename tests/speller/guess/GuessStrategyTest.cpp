#include "speller/guess/GuessFixture.h"

#include "guess/GuessAddLetters.h"
#include "guess/GuessApostrophe.h"
#include "guess/GuessConsonantReplacement.h"
#include "guess/GuessNumberReplacement.h"
#include "guess/GuessPluralSingular.h"
#include "guess/GuessRemoveLetters.h"
#include "guess/GuessReversal.h"
#include "guess/GuessSeparateWords.h"
#include "guess/GuessShorterWord.h"
#include "guess/GuessUn.h"
#include "guess/GuessVowelReplacement.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using guesstest::GuessTest;
using guesstest::Words;

using Factory = std::function<std::unique_ptr<CGuess>()>;
template <typename T> Factory Make() {
  return [] { return std::make_unique<T>(); };
}

const Words kDictionary{"cat",  "cart",  "cast", "coat", "cut",  "bat", "hat",  "cab",
                        "act",  "ca",    "you",  "he",   "well", "it",  "file", "files",
                        "page", "happy", "éta",  "béc",  "café", "to",  "a"};

struct SCase {
  const char* name;
  Factory make;
  std::string word;
  Words all; ///< findAll true, in generation order
};

void PrintTo(const SCase& c, std::ostream* os) {
  *os << c.name;
}

// clang-format off
const std::vector<SCase> kCases{
  {"AddLetters", Make<CGuessAddLetters>(), "cat", {"coat", "cart", "cast"}},
  {"AddLettersSingleChar", Make<CGuessAddLetters>(), "t", {"it", "to"}},
  {"AddLettersNeverCutsUtf8", Make<CGuessAddLetters>(), "éa", {"éta"}},
  {"RemoveLettersTwiceForDoubled", Make<CGuessRemoveLetters>(), "caat", {"cat", "cat"}},
  {"RemoveLettersUtf8", Make<CGuessRemoveLetters>(), "cafxé", {"café"}},
  {"RemoveLettersWholeChar", Make<CGuessRemoveLetters>(), "cafée", {"café"}},
  {"RemoveLettersSingleChar", Make<CGuessRemoveLetters>(), "a", {}},
  {"Reversal", Make<CGuessReversal>(), "cta", {"cat"}},
  {"ReversalUtf8", Make<CGuessReversal>(), "ébc", {"béc"}},
  {"ReversalEqualPair", Make<CGuessReversal>(), "tt", {}},
  {"VowelReplacement", Make<CGuessVowelReplacement>(), "cot", {"cat", "cut"}},
  {"VowelReplacementKeepsUpper", Make<CGuessVowelReplacement>(), "cOt", {}},
  {"ConsonantReplacement", Make<CGuessConsonantReplacement>(), "cat",
   {"bat", "cat", "hat", "cab", "cat"}},
  {"ConsonantReplacementSingleChar", Make<CGuessConsonantReplacement>(), "t", {}},
  {"NumberReplacement", Make<CGuessNumberReplacement>(), "c4t", {"cat", "cut"}},
  {"NumberReplacementLettersOnly", Make<CGuessNumberReplacement>(), "cat", {}},
  {"ShorterWord", Make<CGuessShorterWord>(), "cattle", {"cat", "ca"}},
  {"ShorterWordThreeLetters", Make<CGuessShorterWord>(), "cat", {}},
  {"SeparateWords", Make<CGuessSeparateWords>(), "catact", {"cat act", "cat-act"}},
  {"SeparateWordsNoSingleLetterPart", Make<CGuessSeparateWords>(), "cata", {}},
  {"ApostropheWill", Make<CGuessApostrophe>(), "youll", {"you'll", "you will", "you shall"}},
  {"ApostropheHad", Make<CGuessApostrophe>(), "hed",
   {"he'd", "he had", "he would", "he should", "he could"}},
  {"ApostropheWould", Make<CGuessApostrophe>(), "held",
   {"he'ld", "he would", "he should", "he could"}},
  {"ApostropheLlsIsS", Make<CGuessApostrophe>(), "wells", {"well's", "well is", "well was", "well has"}},
  {"ApostropheHave", Make<CGuessApostrophe>(), "youve", {"you've", "you have"}},
  {"ApostropheThreeChars", Make<CGuessApostrophe>(), "its", {"it's", "it is", "it was", "it has"}},
  {"ApostropheTwoChars", Make<CGuessApostrophe>(), "hs", {}},
  {"ApostropheUnknownStem", Make<CGuessApostrophe>(), "xyzll", {}},
  {"Plural", Make<CGuessPluralSingular>(), "file(s)", {"file or files", "file/files"}},
  {"PluralStemPlusSUnknown", Make<CGuessPluralSingular>(), "page(s)", {}},
  {"Un", Make<CGuessUn>(), "unhappy", {"not happy", "non-happy"}},
  {"UnCaseInsensitivePrefix", Make<CGuessUn>(), "Unhappy", {"not happy", "non-happy"}},
  {"UnSingleLetter", Make<CGuessUn>(), "unx", {}},
};
// clang-format on

class StrategyTest : public GuessTest, public testing::WithParamInterface<SCase> {};

TEST_P(StrategyTest, FindAllGivesEveryCandidateInOrderAndResets) {
  UseWords(kDictionary);
  const SCase& c = GetParam();
  const auto guess = c.make();
  EXPECT_EQ(Run(*guess, c.word, true), c.all);
  // The cursor is back at its start: the same call gives the same list.
  EXPECT_EQ(Run(*guess, c.word, true), c.all);
  Words none;
  guess->MakeGuesses(c.word, m_ids, none, true, nullptr);
  EXPECT_TRUE(none.empty());
}

TEST_P(StrategyTest, OneAtATimeWalksTheSameCandidates) {
  UseWords(kDictionary);
  const SCase& c = GetParam();
  const auto guess = c.make();
  const bool alternates = c.name == std::string("Plural") || c.name == std::string("Un") ||
                          c.name == std::string("UnCaseInsensitivePrefix");
  Words walked;
  for (std::size_t i = 0; i < c.all.size(); ++i) {
    const Words one = Run(*guess, c.word, false);
    ASSERT_EQ(one.size(), 1U) << "call " << i;
    walked.push_back(one.front());
  }
  EXPECT_EQ(walked, c.all);
  if (alternates) {
    // These never run out: the first form comes again at once.
    EXPECT_EQ(Run(*guess, c.word, false), Words{c.all.front()});
    return;
  }
  // Run out: one empty call, then the walk starts over.
  EXPECT_TRUE(Run(*guess, c.word, false).empty());
  if (!c.all.empty()) {
    EXPECT_EQ(Run(*guess, c.word, false), Words{c.all.front()});
  }
}

INSTANTIATE_TEST_SUITE_P(Strategies, StrategyTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SCase>& param) {
                           return param.param.name;
                         });

TEST_F(GuessTest, ResetPutsTheCursorBack) {
  UseWords(kDictionary);
  CGuessAddLetters guess;
  EXPECT_EQ(Run(guess, "cat", false), Words{"coat"});
  EXPECT_EQ(Run(guess, "cat", false), Words{"cart"});
  guess.Reset();
  EXPECT_EQ(Run(guess, "cat", false), Words{"coat"});
}

TEST_F(GuessTest, ReplacementResumesMidPositionThenRestartsTheAlphabet) {
  UseWords({"bat", "hat", "cab", "cat"});
  CGuessConsonantReplacement guess;
  Words walked;
  for (int i = 0; i < 5; ++i) {
    const Words one = Run(guess, "cat", false);
    walked.insert(walked.end(), one.begin(), one.end());
  }
  EXPECT_EQ(walked, (Words{"bat", "cat", "hat", "cab", "cat"}));
}

} // namespace
