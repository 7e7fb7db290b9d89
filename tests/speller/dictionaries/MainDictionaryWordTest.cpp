// What the main dictionary recognises beyond its lists: numbers, typographic
// apostrophes, and the same answers from many threads.
#include "MainDictionaryFixture.h"

#include "utilcore/StringUtils.h"

#include <unicode/utf8.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

class MainDictionaryWords : public MainDictionaryFixture {};

struct WordCase {
  std::string word;
  bool recognised;
};

void ExpectAll(const CMainDictionary& dictionary, const std::vector<WordCase>& cases) {
  for (const WordCase& c : cases) {
    EXPECT_EQ(dictionary.Contains(c.word), c.recognised) << c.word;
  }
}

} // namespace

TEST_F(MainDictionaryWords, NumbersAndNumbersWithListedEndingsAreRecognised) {
  Compile({"abc", "rd", "s", "st"}, {"the", "th"});
  const auto dictionary = Loaded();
  ExpectAll(*dictionary,
            {
                {"2,500", true},   {"3.14", true},       {"10:30", true}, {"1/2", true},
                {"-5", true},      {"2014-07-08", true}, {"1,000", true}, {"1,000.50", true},
                {".5", true},      {"0", true},          {"1st", true},   {"1990s", true},
                {"3rd", true},     {"4TH", true}, // the ending from the common-word list
                {"12abc", true},   {"12ABC", true},      {"5-", false},   {"1.x", false},
                {"1,000,", false}, {"1..2", false},      {"-", false},    {"x1", false},
                {"12xyz", false},  {"1st-", false},      {"12ab", false},
            });
}

TEST_F(MainDictionaryWords, NumberEndingsNeedTheirWordListed) {
  Compile({"apple"}, {"the"});
  const auto dictionary = Loaded();
  ExpectAll(*dictionary, {{"1st", false}, {"1990s", false}, {"3rd", false}, {"2,500", true}});
}

TEST_F(MainDictionaryWords, NumberRuleLooksOnlyAtTheGivenLength) {
  Compile({"st"}, {"the"});
  const auto dictionary = Loaded();
  EXPECT_TRUE(dictionary->MatchNumber("2,500x", 5));
  EXPECT_FALSE(dictionary->MatchNumber("2,500", 2)); // "2," ends in a separator
  EXPECT_TRUE(dictionary->MatchNumber("1stx", 3));
  EXPECT_FALSE(dictionary->MatchNumber("", 0));
  EXPECT_FALSE(dictionary->MatchNumber("12", 0));
  EXPECT_TRUE(dictionary->MatchNumber("12", 99)); // clamped to the word
}

TEST_F(MainDictionaryWords, TypographicApostrophesCountAsTheAsciiOne) {
  Compile({"don't", "o'clock", "rock'n'roll"}, {"it's", "the"});
  const auto dictionary = Loaded();
  ExpectAll(*dictionary, {
                             {"don't", true},
                             {"don\xE2\x80\x99t", true}, // U+2019
                             {"don\xCA\xBCt", true},     // U+02BC
                             {"DON\xE2\x80\x99T", true},
                             {"o\xE2\x80\x99"
                              "clock",
                              true},
                             {"rock\xE2\x80\x99n'roll", true},
                             {"it\xE2\x80\x99s", true},   // common-word list
                             {"don\xE2\x80\x98t", false}, // U+2018 is an opening quote
                             {"don`t", false},
                             {"dont", false},
                         });
}

TEST_F(MainDictionaryWords, AccentedWordsAreFoundInAnyCaseAndComposition) {
  const std::string e = "\xC3\xA9";       // é, composed
  const std::string acute = "\xCC\x81";   // U+0301, combining
  const std::string longest = "a" + [&] { // 31 bytes: the longest record
    std::string s;
    for (int i = 0; i < 15; ++i) {
      s += e;
    }
    return s;
  }();
  // In byte order, as the generator writes them.
  Compile({longest, "caf" + e, "kelvin", "na\xC3\xAFve", "\xCE\xBF\xCE\xB4\xCF\x8C\xCF\x82"},
          {"the", "\xC3\xA0"});
  const auto dictionary = Loaded();
  std::string decomposedLongest = "a";
  for (int i = 0; i < 15; ++i) {
    decomposedLongest += "E" + acute; // 46 bytes asked, 31 once folded
  }
  ExpectAll(*dictionary, {
                             {"caf" + e, true},
                             {"Caf" + e, true},
                             {"CAF\xC3\x89", true},
                             {"cafe" + acute, true},
                             {"CAFE" + acute, true},
                             {"NA\xC3\x8FVE", true},
                             {"nai\xCC\x88ve", true},
                             {"\xE2\x84\xAA"
                              "elvin",
                              true}, // the Kelvin sign lower-cases to "k"
                             {"\xCE\x9F\xCE\x94\xCE\x8C\xCE\xA3", true}, // final sigma
                             {"\xC3\x80", true},                         // common-word list
                             {decomposedLongest, true},
                             {"12caf" + e, true},
                             {"cafe", false},
                             {"caf", false},
                             {"caf\xC3", false}, // a cut sequence
                             {"caf" + e + "\xFF", false},
                             {"caf" + e + "s", false},
                             {"\xC3\xA9", false},
                         });
}

// A block of the word stream may begin inside a record, on a byte of a UTF-8
// sequence: the lookup must pass over it to the next record, not take it for one.
TEST_F(MainDictionaryWords, BlocksThatBeginInsideAccentedWordsAreSearched) {
  std::vector<std::string> words;
  for (char a = 'a'; a <= 'z'; ++a) {
    for (char b = 'a'; b <= 'l'; ++b) {
      words.push_back(std::string{a, b} + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"); // 10 bytes
    }
  }
  Compile(words, {"the"});
  const auto dictionary = Loaded();
  int missed = 0;
  for (const std::string& word : words) {
    std::string upper = word;
    upper[0] = static_cast<char>(upper[0] - 'a' + 'A');
    missed += dictionary->Contains(word) && dictionary->Contains(upper) ? 0 : 1;
  }
  EXPECT_EQ(missed, 0);
}

TEST_F(MainDictionaryWords, ManyThreadsGetTheSameAnswers) {
  std::vector<std::string> words;
  for (int i = 0; i < 3000; ++i) {
    words.push_back("w" + std::to_string(100000 + 3 * i));
  }
  Compile(words, {"the", "of", "and"});
  const auto dictionary = Loaded();
  std::atomic<int> wrong{0};
  std::vector<std::jthread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 3000; ++i) {
        const int n = 100000 + 3 * i + (t % 2);
        const bool expected = t % 2 == 0;
        if (dictionary->Contains("W" + std::to_string(n)) != expected ||
            !dictionary->Contains("The") || !dictionary->Contains(std::to_string(n))) {
          ++wrong;
        }
      }
    });
  }
  threads.clear();
  EXPECT_EQ(wrong.load(), 0);
}

TEST_F(MainDictionaryWords, FirstUseFromManyThreadsLoadsOnce) {
  Compile({"apple"}, {"the"});
  CMainDictionary dictionary(0, FdcPath());
  std::atomic<int> found{0};
  std::vector<std::jthread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      if (dictionary.EnsureLoaded() && dictionary.Contains("Apple")) {
        ++found;
      }
    });
  }
  threads.clear();
  EXPECT_EQ(found.load(), 4);
}
