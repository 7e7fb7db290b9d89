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

TEST_F(MainDictionaryWords, KelvinSignIsTheOnlyCharacterThatLowerCasesToAscii) {
  // The key is built without the library's lower-casing; this keeps the two in step.
  int asciiLowerCases = 0;
  for (UChar32 c = 0x80; c < 0x20000; ++c) {
    if (U_IS_SURROGATE(c)) {
      continue;
    }
    char buffer[U8_MAX_LENGTH];
    std::size_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, c);
    std::string text(buffer, length);
    CStringUtils::MakeLower(text);
    bool ascii = true;
    for (const char byte : text) {
      ascii = ascii && static_cast<unsigned char>(byte) < 0x80;
    }
    if (ascii) {
      ++asciiLowerCases;
      EXPECT_EQ(c, 0x212A);
    }
  }
  EXPECT_EQ(asciiLowerCases, 1);

  Compile({"kelvin"}, {"the"});
  const auto dictionary = Loaded();
  EXPECT_TRUE(dictionary->Contains("\xE2\x84\xAA"
                                   "elvin"));
  EXPECT_FALSE(dictionary->Contains("k\xC3\xA9lvin"));
}

TEST_F(MainDictionaryWords, NonAsciiAndDamagedTextIsNeverRecognised) {
  Compile({"cafe", "naive"}, {"the"});
  const auto dictionary = Loaded();
  ExpectAll(*dictionary, {
                             {"caf\xC3\xA9", false},
                             {"na\xC3\xAFve", false},
                             {"cafe\xFF", false},
                             {"\xE2\x80", false}, // a cut sequence
                             {"12\xC3\xA9", false},
                             {"CAFE", true},
                         });
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
