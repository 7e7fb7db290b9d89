#include "checking/WordLookupCache.h"
#include "checking/CodeTokens.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using EOutcome = CWordLookupCache::EOutcome;

class WordLookupCacheTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  }
  static void TearDownTestSuite() { CSpellChecker::DeleteInstance(); }

  /// What the cache must answer for `token`: the speller's own answer, asked directly.
  static CWordLookupCache::SAnswer Expected(const std::string& token, std::string& word,
                                            std::string& pieces) {
    const CSpellChecker& speller = *CSpellChecker::GetInstance();
    word = token;
    pieces.clear();
    if (!speller.PreprocessWord(word)) {
      return {EOutcome::kSkipped, {}, {}};
    }
    if (speller.LookUp(word, kIds)) {
      return {EOutcome::kKnown, {}, {}};
    }
    bool settled = true;
    if (CCodeTokens::IsCodeLike(word)) {
      pieces = CCodeTokens::UnknownPieces(speller, word, kIds, settled);
      if (pieces.empty()) {
        return {EOutcome::kKnown, {}, {}};
      }
    }
    return {EOutcome::kUnknown, word, pieces};
  }

  /// Looks `token` up in `cache` and compares the answer with the speller's.
  static void ExpectSpellersAnswer(CWordLookupCache& cache, const std::string& token) {
    std::string word;
    std::string pieces;
    const CWordLookupCache::SAnswer expected = Expected(token, word, pieces);
    cache.BeginLine(kIds);
    const CWordLookupCache::SAnswer answer = cache.LookUp(*CSpellChecker::GetInstance(), token);
    ASSERT_EQ(answer.outcome, expected.outcome) << token;
    EXPECT_EQ(answer.word, expected.word) << token;
    EXPECT_EQ(answer.pieces, expected.pieces) << token;
  }

  /// A distinct made-up token for each number, of at least `length` letters.
  static std::string MadeUp(std::size_t number, std::size_t length) {
    std::string token = "qz";
    for (; number > 0 || token.size() < 4; number /= 26) {
      token.push_back(static_cast<char>('a' + number % 26));
    }
    while (token.size() < length) {
      token.push_back('x');
    }
    return token;
  }

  static const std::vector<int> kIds;
};

const std::vector<int> WordLookupCacheTest::kIds{0};

// Every kind of answer, first from the speller and then again from the cache, with the
// cleaned word and the unknown pieces it keeps for an unknown token.
TEST_F(WordLookupCacheTest, AnswersAsTheSpellerDoesTheFirstTimeAndEveryTimeAfter) {
  const std::vector<std::string> tokens = {
      "house", "House", "(house),", "qwzx", "Qwzx's", "\"qwzx\"", "get_qwzx()",
      "allowedSignersFile", "1234", "--", "e.g.", "teh", "a", "x",
      // Past the longest token the cache keeps: asked of the speller every time.
      std::string(300, 'q'), "get_" + std::string(300, 'z'),
      // Just within it.
      std::string(CWordLookupCache::kMaxLength, 'q')};
  CWordLookupCache cache;
  for (int round = 0; round < 3; ++round) {
    for (const std::string& token : tokens) {
      SCOPED_TRACE(round);
      ExpectSpellersAnswer(cache, token);
    }
  }
}

// Past its room for tokens or for their bytes the cache starts over; the answers stay
// right across the restart, for the tokens before it and after it.
TEST_F(WordLookupCacheTest, StartsOverWhenFullAndStillAnswersRight) {
  const struct {
    const char* what;
    std::size_t tokens;
    std::size_t length;
  } cases[] = {
      {"more tokens than it holds", CWordLookupCache::kMaxEntries + 100, 4},
      {"more bytes than its offsets reach", 2 * CWordLookupCache::kMaxBytes / 200 + 100, 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CWordLookupCache cache;
    for (std::size_t k = 0; k < c.tokens; ++k) {
      const std::string token = MadeUp(k, c.length);
      cache.BeginLine(kIds);
      const CWordLookupCache::SAnswer answer = cache.LookUp(*CSpellChecker::GetInstance(), token);
      ASSERT_EQ(answer.outcome, EOutcome::kUnknown) << token;
      ASSERT_EQ(answer.word, token);
      // A known word now and then, answered from the cache most times.
      if (k % 1000 == 0) {
        ASSERT_NO_FATAL_FAILURE(ExpectSpellersAnswer(cache, "house"));
      }
    }
    for (const std::size_t k : {std::size_t{0}, std::size_t{1}, c.tokens / 2, c.tokens - 1}) {
      ASSERT_NO_FATAL_FAILURE(ExpectSpellersAnswer(cache, MadeUp(k, c.length)));
    }
  }
}

} // namespace
