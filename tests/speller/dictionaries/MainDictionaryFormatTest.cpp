// The compiled file's bytes and the search over them.
#include "MainDictionaryFixture.h"

#include "testkit/FileBytes.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class MainDictionaryFormat : public MainDictionaryFixture {};

std::string Key(const std::string& word) {
  std::string key = word.substr(0, 6);
  key.resize(6, ' ');
  return key;
}

} // namespace

TEST_F(MainDictionaryFormat, ThreeWordCompileGivesTheExactBytes) {
  const std::string bytes = Compile({"apple", "banana", "cherry"}, {"the", "and"});

  // words offset, words size, index offset, index count, key length, block size,
  // common offset, common size, longest common word
  std::string expected = HeaderBytes(1, "ZEBdict", {512, 21, 53, 1, 6, 512, 44, 9, 3});
  expected += std::string("\x03the\x03"
                          "and\x00",
                          9);
  expected += "apple ";
  expected.resize(512, '\0');
  expected += std::string("\x05"
                          "apple\x06"
                          "banana\x06"
                          "cherry\x00",
                          21);
  ASSERT_EQ(bytes.size(), 533U);
  EXPECT_EQ(bytes, expected);
}

TEST_F(MainDictionaryFormat, IndexHoldsTheFirstRecordOfEachBlock) {
  const std::vector<std::string> words = NineLetterWords(300);
  const std::string bytes = Compile(words, {"the"});

  const std::size_t indexOffset = 44 + 5;
  ASSERT_EQ(bytes.size(), 512U + 3001U);
  EXPECT_EQ(bytes.substr(0, 24), HeaderBytes(1, "ZEBdict", {512, 3001, indexOffset, 6}));
  // Records are 10 bytes long: the blocks start with the records at 0, 520, 1030,
  // 1540, 2050 and 2560.
  const std::vector<std::size_t> firstRecords = {0, 520, 1030, 1540, 2050, 2560};
  for (std::size_t k = 0; k < firstRecords.size(); ++k) {
    EXPECT_EQ(bytes.substr(indexOffset + 6 * k, 6), Key(words[firstRecords[k] / 10])) << k;
  }
  EXPECT_EQ(bytes.back(), '\0');
}

TEST_F(MainDictionaryFormat, IndexEndingOnABoundaryIsFollowedByAFullBlockOfPadding) {
  // 14 records of 32 bytes and one of 13, then the zero: a common-word list of 462
  // bytes, so that with one key the index ends at 44 + 462 + 6 = 512.
  std::vector<std::string> common;
  for (int i = 0; i < 14; ++i) {
    common.push_back(std::string(31, static_cast<char>('a' + i)));
  }
  common.push_back(std::string(12, 'z'));
  const std::string bytes = Compile({"apple"}, common);
  EXPECT_EQ(bytes.substr(0, 20), HeaderBytes(1, "ZEBdict", {1024, 7, 506}));
  ASSERT_EQ(bytes.size(), 1024U + 7U);
  EXPECT_EQ(bytes.substr(512, 512), std::string(512, '\0'));
}

TEST_F(MainDictionaryFormat, EveryWordIsFoundAtAndAroundBlockBoundaries) {
  const std::vector<std::string> words = NineLetterWords(300);
  Compile(words, {"the"});
  const auto dictionary = Loaded();
  for (const std::string& word : words) {
    EXPECT_TRUE(dictionary->Contains(word)) << word;
  }
  // The first word of block 1 and the word just before it (it starts in block 0 and
  // ends in block 1), both in upper case.
  EXPECT_TRUE(dictionary->Contains("CAMNOPQRS"));
  EXPECT_TRUE(dictionary->Contains("BZMNOPQRS"));
  for (const std::string missing : {"aamnopqr", "aamnopqrss", "bzmnopqrt", "zzmnopqrs", "a"}) {
    EXPECT_FALSE(dictionary->Contains(missing)) << missing;
  }
}

TEST_F(MainDictionaryFormat, BlockRangeCoversEveryBlockThatMayHoldTheKey) {
  const std::vector<std::string> words = NineLetterWords(300);
  Compile(words, {"the"});
  const auto dictionary = Loaded();
  struct Case {
    std::string key;
    CMainDictionary::BlockRange range;
  };
  const std::vector<Case> cases = {
      {"      ", {0, 0}},       // below the first entry: nothing
      {Key(words[0]), {0, 1}},  // the first entry
      {Key(words[1]), {0, 1}},  // inside block 0
      {Key(words[52]), {0, 2}}, // equal to entry 1: the block before may end with it
      {Key(words[51]), {0, 1}}, // just before entry 1
      {Key(words[150]), {2, 3}}, {Key(words[256]), {4, 6}}, // the last entry
      {Key(words[299]), {5, 6}},                            // after the last entry
      {"zzzzzz", {5, 6}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dictionary->FindBlockRange(c.key), c.range) << c.key;
  }
  EXPECT_EQ(dictionary->FindBlockRange("aam"), CMainDictionary::BlockRange{}); // too short
  EXPECT_EQ(CMainDictionary(0, FdcPath()).FindBlockRange("apple "),
            CMainDictionary::BlockRange{}); // not loaded
}

TEST_F(MainDictionaryFormat, WordsSharingOneKeyAcrossManyBlocksAreAllFound) {
  std::vector<std::string> words = {"aardvark", "abacus"};
  for (char a = 'a'; a <= 'z'; ++a) {
    for (char b = 'a'; b <= 'z'; ++b) {
      words.push_back(std::string("prefix") + a + b);
    }
  }
  words.insert(words.end(), {"prefixzzz", "zebra"});
  Compile(words, {"the"});
  const auto dictionary = Loaded();
  for (const std::string& word : words) {
    EXPECT_TRUE(dictionary->Contains(word)) << word;
  }
  EXPECT_FALSE(dictionary->Contains("prefix"));
  EXPECT_FALSE(dictionary->Contains("prefixa"));
  EXPECT_FALSE(dictionary->Contains("prefixzzzz"));
  // 6116 bytes of records: every block after the first begins with the key.
  EXPECT_EQ(dictionary->FindBlockRange("prefix"), (CMainDictionary::BlockRange{0, 12}));
}

TEST_F(MainDictionaryFormat, LookupIgnoresLetterCaseButNotLength) {
  Compile({"apple", "banana", "cherry", "ice cream"}, {"the", "and"});
  const auto dictionary = Loaded();
  for (const std::string word : {"apple", "Apple", "APPLE", "aPpLe", "The", "AND", "Ice Cream"}) {
    EXPECT_TRUE(dictionary->Contains(word)) << word;
  }
  for (const std::string word : {"app", "appl", "apples", "apple ", "th", "then", "ice", "cherr"}) {
    EXPECT_FALSE(dictionary->Contains(word)) << word;
  }
}

TEST_F(MainDictionaryFormat, CommonWordsAreFoundWithoutTheWordList) {
  Compile({"zzz"}, {"the", "of", "and", "international"});
  const auto dictionary = Loaded();
  for (const std::string word : {"the", "OF", "And", "International"}) {
    EXPECT_TRUE(dictionary->Contains(word)) << word;
  }
  EXPECT_FALSE(dictionary->Contains("internationally")); // longer than the longest entry
  EXPECT_FALSE(dictionary->Contains("o"));
}

TEST_F(MainDictionaryFormat, EmptyAndInvisibleWordsCountAsRecognised) {
  Compile({"apple"}, {"the"});
  const auto dictionary = Loaded();
  for (const std::string word : {"", " ", "\t", "\xE2\x80\x8B" /* zero-width space */}) {
    EXPECT_TRUE(dictionary->Contains(word));
  }
}

TEST_F(MainDictionaryFormat, LongWordsAreLookedUpSafely) {
  const std::string longest(31, 'q');
  Compile({std::string(30, 'q'), longest}, {"the"});
  const auto dictionary = Loaded();
  EXPECT_TRUE(dictionary->Contains(longest));
  EXPECT_FALSE(dictionary->Contains(longest + "q"));
  EXPECT_FALSE(dictionary->Contains(std::string(100000, 'q')));
  EXPECT_TRUE(dictionary->Contains(std::string(200, '7'))); // still a number
}

TEST_F(MainDictionaryFormat, NothingIsRecognisedBeforeLoad) {
  Compile({"apple"}, {"the"});
  CMainDictionary dictionary(0, FdcPath());
  EXPECT_FALSE(dictionary.Contains("apple"));
  EXPECT_FALSE(dictionary.Contains("123"));
  EXPECT_FALSE(dictionary.IsCustom());
  EXPECT_EQ(dictionary.GetName(), "ZEB U.S. English");
  TextArray words{"kept"};
  dictionary.GetWords(words);
  EXPECT_EQ(words, TextArray{"kept"});
}
