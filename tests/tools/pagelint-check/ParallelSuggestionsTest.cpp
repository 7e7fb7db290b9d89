// Suggestions worked out on several threads against the main dictionary the build
// puts beside the test program: the same lists, in the same slots, as one thread gives.
#include "pagelint-check/ParallelSuggestions.h"

#include "spellcore/SpellChecker.h"
#include "testkit/RealSpeller.h"
#include "testkit/ScopedFakeHome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lists = std::vector<std::vector<std::string>>;
constexpr std::size_t kMaxCount = 10;

class ParallelSuggestionsTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(testkit::StartRealSpeller());
    CSpellChecker* speller = CSpellChecker::GetInstance();
    speller->GetDictionaries(m_all, true, true);
    m_main = {speller->GetDictionaryID("ZEB U.S. English")};
    ASSERT_GE(m_main.front(), 0);
  }
  void TearDown() override { testkit::StopRealSpeller(); }

  /// Every word twice over: once with the main dictionary alone, once with them all.
  std::vector<CParallelSuggestions::SRequest> Requests() const {
    // Slips of every strategy, words only the two-edit and sound searches reach,
    // capitals, accents, a word repeated, blanks and a word far too long.
    const char* const words[] = {
        "teh",        "Teh",    "recieve",     "seperate",     "acomodate", "definately",
        "accidently", "untill", "mutiple",     "strippped",    "choses",    "rember",
        "calculatin", "Pythn",  "unparseable", "abbe",         "Alcazars",  "naïvety",
        "recieve",    "",       "   ",         "xqzjv",        "iterabel",  "dictonary",
        "TEH",        "cafe's", "co-ordinate", "documenation", "exeption",  "asynchronus",
    };
    std::vector<CParallelSuggestions::SRequest> requests;
    for (const std::vector<int>* ids : {&m_main, &m_all}) {
      for (const char* word : words) {
        requests.push_back({word, ids});
      }
      requests.push_back({std::string(200, 'a'), ids});
    }
    return requests;
  }

  static Lists OneAfterTheOther(const std::vector<CParallelSuggestions::SRequest>& requests) {
    Lists lists;
    for (const auto& request : requests) {
      CSpellChecker::GetInstance()->Suggest(request.word, *request.ids, lists.emplace_back(),
                                            kMaxCount);
    }
    return lists;
  }

  ScopedFakeHome m_home;
  std::vector<int> m_main;
  std::vector<int> m_all;
};

// The threads run first, on a speller that has not searched yet, so that they race to
// build what the first suggestion builds.
TEST_F(ParallelSuggestionsTest, ThreadsGiveWhatOneThreadGives) {
  const auto requests = Requests();
  const Lists first =
      CParallelSuggestions::Run(*CSpellChecker::GetInstance(), requests, kMaxCount, 4);
  const Lists serial = OneAfterTheOther(requests);
  ASSERT_EQ(first.size(), requests.size());
  EXPECT_EQ(first, serial);
  EXPECT_FALSE(serial.front().empty());
  for (const int threads : {0, 1, 2, 3, 8, 200}) {
    EXPECT_EQ(
        CParallelSuggestions::Run(*CSpellChecker::GetInstance(), requests, kMaxCount, threads),
        serial)
        << threads << " threads";
  }
}

TEST_F(ParallelSuggestionsTest, NoWordsNoLists) {
  EXPECT_TRUE(CParallelSuggestions::Run(*CSpellChecker::GetInstance(), {}, kMaxCount, 4).empty());
  const Lists one =
      CParallelSuggestions::Run(*CSpellChecker::GetInstance(), {{"recieve", &m_main}}, 0, 4);
  ASSERT_EQ(one.size(), 1U);
  ASSERT_FALSE(one.front().empty());
  EXPECT_EQ(one.front().front(), "receive");
}

} // namespace
