// The limited edit distance against the whole table worked out the plain way, over
// every pair of short words of a small alphabet: the cells it leaves out may never
// change an answer.
#include "guess/EditDistance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Chars = std::vector<UChar32>;

/// Inserts, deletes, replacements and swaps of neighbours, each counting 1.
int FullDistance(const Chars& a, const Chars& b) {
  std::vector<std::vector<int>> table(a.size() + 1, std::vector<int>(b.size() + 1, 0));
  for (std::size_t i = 0; i <= a.size(); ++i) {
    for (std::size_t j = 0; j <= b.size(); ++j) {
      if (i == 0 || j == 0) {
        table[i][j] = static_cast<int>(i + j);
        continue;
      }
      int cell = std::min({table[i - 1][j] + 1, table[i][j - 1] + 1,
                           table[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        cell = std::min(cell, table[i - 2][j - 2] + 1);
      }
      table[i][j] = cell;
    }
  }
  return table[a.size()][b.size()];
}

/// Every word of up to `length` letters of "abc", the empty one first.
std::vector<Chars> EveryWord(std::size_t length) {
  std::vector<Chars> words{{}};
  for (std::size_t k = 0; k < words.size(); ++k) {
    if (words[k].size() == length) {
      continue;
    }
    for (const UChar32 letter : {'a', 'b', 'c'}) {
      words.push_back(words[k]);
      words.back().push_back(letter);
    }
  }
  return words;
}

TEST(EditDistanceTest, IsWithinAgreesWithTheFullTable) {
  const std::vector<Chars> words = EveryWord(5);
  for (const Chars& a : words) {
    for (const Chars& b : words) {
      const int distance = FullDistance(a, b);
      for (int limit = -1; limit <= 4; ++limit) {
        ASSERT_EQ(CEditDistance::IsWithin(a, b, limit), distance <= limit)
            << std::string(a.begin(), a.end()) << " / " << std::string(b.begin(), b.end())
            << " within " << limit;
      }
    }
  }
}

TEST(EditDistanceTest, LongWordsFarApartAreTurnedDownAtAnyLimit) {
  Chars a(40, 'a');
  a[10] = 'p';
  a[11] = 'q';
  Chars b = a;
  b[3] = 'x';
  b[20] = 'y';
  b[39] = 'z';
  EXPECT_FALSE(CEditDistance::IsWithin(a, b, 2));
  EXPECT_TRUE(CEditDistance::IsWithin(a, b, 3));
  std::swap(b[10], b[11]);
  EXPECT_FALSE(CEditDistance::IsWithin(a, b, 3));
  EXPECT_TRUE(CEditDistance::IsWithin(a, b, 4));
  b.pop_back();
  b.pop_back();
  EXPECT_TRUE(CEditDistance::IsWithin(a, b, 5));
  EXPECT_FALSE(CEditDistance::IsWithin(b, a, 4));
}

} // namespace
