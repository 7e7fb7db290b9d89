#include "dictionaries/WordFilter.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(std::size_t count, const std::string& prefix) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < count; ++i) {
    words.push_back(prefix + std::to_string(i * 7919));
  }
  return words;
}

std::uint64_t HashOf(const std::string& word) {
  return CWordFilter::Hash(word);
}

TEST(WordFilter, EveryMarkedWordPassesAndFewOthersDo) {
  struct Case {
    std::size_t words;
    std::string prefix;
  };
  // Sizes around powers of two, and words of every length up to past sixteen bytes.
  for (const Case& c : std::vector<Case>{{1, "a"},
                                         {3, ""},
                                         {64, "w"},
                                         {1000, "longer-word-"},
                                         {4096, "x"},
                                         {4097, "sixteen-bytes-and-more-"},
                                         {20000, "q"}}) {
    const std::vector<std::string> held = Words(c.words, c.prefix);
    CWordFilter filter;
    filter.Reset(held.size());
    for (const std::string& word : held) {
      filter.Mark(HashOf(word));
    }
    for (const std::string& word : held) {
      ASSERT_TRUE(filter.MayHold(HashOf(word))) << word;
    }
    const std::vector<std::string> others = Words(20000, c.prefix + "~");
    std::size_t passed = 0;
    for (const std::string& word : others) {
      passed += filter.MayHold(HashOf(word)) ? 1 : 0;
    }
    EXPECT_LT(passed, others.size() / 25) << c.words << " words held";
  }
}

TEST(WordFilter, AnEmptyFilterLetsEveryWordPass) {
  CWordFilter never;
  EXPECT_TRUE(never.MayHold(HashOf("anything")));
  CWordFilter none;
  none.Reset(0);
  none.Mark(HashOf("ignored"));
  EXPECT_TRUE(none.MayHold(HashOf("anything")));
  CWordFilter cleared;
  cleared.Reset(10);
  cleared.Mark(HashOf("held"));
  cleared.Clear();
  EXPECT_TRUE(cleared.MayHold(HashOf("anything")));
}

TEST(WordFilter, HashTellsApartWordsThatDifferInLengthOrOneByte) {
  using namespace std::string_literals;
  const std::vector<std::string> words = {""s,
                                          "\0"s,
                                          "\0\0"s,
                                          "a"s,
                                          "b"s,
                                          "ab"s,
                                          "ba"s,
                                          "abcdefgh"s,
                                          "abcdefgh\0"s,
                                          "abcdefgi"s,
                                          "abcdefghi"s,
                                          "abcdefghabcdefgh"s,
                                          "abcdefghabcdefgi"s};
  for (std::size_t i = 0; i < words.size(); ++i) {
    for (std::size_t j = i + 1; j < words.size(); ++j) {
      EXPECT_NE(HashOf(words[i]), HashOf(words[j])) << i << " " << j;
    }
  }
}

} // namespace
