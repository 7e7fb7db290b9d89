// The main word index's searches against the main dictionary the build compiles,
// checked against a plain pass over every word: the filters in front of the edit
// distance may only save time, never lose or reorder a word.
#include "speller/facade/SpellerFixture.h"

#include "dictionaries/MainDictionary.h"
#include "facade/SpellCheckerImpl.h"
#include "guess/EditDistance.h"
#include "guess/MainWordIndex.h"
#include "spellcore/Metaphone.h"
#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;
constexpr int kEdits = 2;

/// The index and the main dictionary's words in list order, read once for all tests.
struct SListedWords {
  CMainWordIndex index;
  Words words;
  std::vector<std::vector<UChar32>> chars;
};

class MainWordIndexTest : public spellertest::SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    if (s_listed) {
      return;
    }
    CSpellCheckerImpl impl;
    CDictionaryRegistry& registry = impl.GetRegistry();
    registry.SetMainDictionaryFile(CDirUtils::GetAppPath() + CMainDictionary::kFileName);
    registry.SetAppPath(AppDir());
    auto listed = std::make_unique<SListedWords>();
    ASSERT_TRUE(listed->index.Build(registry));
    registry.ForEachMainWord([&](std::string_view word) {
      listed->words.emplace_back(word);
      CEditDistance::LowerChars(word, listed->chars.emplace_back());
    });
    s_listed = std::move(listed);
  }

  const CMainWordIndex& Index() const { return s_listed->index; }

  /// The words that `accept` takes, shortest first and else in list order: the order
  /// the index keeps.
  template <typename Accept> static Words EveryWord(Accept accept) {
    std::vector<std::size_t> taken;
    for (std::size_t k = 0; k < s_listed->words.size(); ++k) {
      if (accept(k)) {
        taken.push_back(k);
      }
    }
    std::stable_sort(taken.begin(), taken.end(), [](std::size_t a, std::size_t b) {
      return s_listed->chars[a].size() < s_listed->chars[b].size();
    });
    Words out;
    for (const std::size_t k : taken) {
      out.push_back(s_listed->words[k]);
    }
    return out;
  }

  static Words NearByEveryWord(const std::string& word, int limit = kEdits) {
    std::vector<UChar32> chars;
    CEditDistance::LowerChars(word, chars);
    return EveryWord(
        [&](std::size_t k) { return CEditDistance::IsWithin(chars, s_listed->chars[k], limit); });
  }

  static Words SoundAlikesByEveryWord(const std::string& word) {
    const Metaphone keys(word);
    std::vector<UChar32> chars;
    CEditDistance::LowerChars(word, chars);
    if (keys.GetPrimaryKey().empty() && keys.GetAlternateKey().empty()) {
      return {};
    }
    return EveryWord([&](std::size_t k) {
      if (!CEditDistance::IsWithin(chars, s_listed->chars[k], kEdits)) {
        return false;
      }
      const Metaphone other(s_listed->words[k]);
      for (const std::string& mine : {keys.GetPrimaryKey(), keys.GetAlternateKey()}) {
        if (mine == other.GetPrimaryKey() || mine == other.GetAlternateKey()) {
          return true;
        }
      }
      return false;
    });
  }

  Words Near(const std::string& word, int limit = kEdits) const {
    Words found;
    Index().FindNear(word, limit, found);
    return found;
  }

  static std::unique_ptr<SListedWords> s_listed;
};

std::unique_ptr<SListedWords> MainWordIndexTest::s_listed;

bool Holds(const Words& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// Slips of one and two edits of every kind, letters doubled and lost, accents, and
// words at the edges: nothing, one letter, far longer than any listed word.
const char* const kQueries[] = {
    "recieve",
    "acomodate",
    "definately",
    "seperate",
    "bokkeeper",
    "mississipi",
    "abbe",
    "adios",
    "alcazars",
    "naive",
    "",
    "x",
    "qz",
    "strippped",
    "aaaaaaaa",
    "teh",
    "abbés",
    "cafe",
    "eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee",
};

TEST_F(MainWordIndexTest, FindNearFindsWhatAPassOverEveryWordFinds) {
  for (const std::string word : kQueries) {
    EXPECT_EQ(Near(word), NearByEveryWord(word)) << '"' << word << '"';
  }
}

// The signature's budget shrinks with the difference in length, by the limit given.
TEST_F(MainWordIndexTest, FindNearKeepsToAnyLimit) {
  for (const int limit : {0, 1, 3}) {
    for (const std::string word : {"recieve", "abbe", "mississipi", "xy"}) {
      EXPECT_EQ(Near(word, limit), NearByEveryWord(word, limit)) << word << " within " << limit;
    }
  }
  EXPECT_EQ(Near("receive", 0), Words{"receive"});
  EXPECT_TRUE(Near("receive", -1).empty());
}

TEST_F(MainWordIndexTest, FindSoundAlikesFindsWhatAPassOverEveryWordFinds) {
  for (const std::string word : kQueries) {
    Words found;
    Index().FindSoundAlikes(word, kEdits, found);
    EXPECT_EQ(found, SoundAlikesByEveryWord(word)) << '"' << word << '"';
  }
}

TEST_F(MainWordIndexTest, FindNearReachesTwoEditsAndNoFurther) {
  const struct {
    const char* word;
    const char* listed;
    bool found;
  } cases[] = {
      {"recieve", "receive", true},         // neighbours swapped
      {"definately", "definitely", true},   // a letter replaced
      {"acomodate", "accommodate", true},   // two letters lost
      {"bokkeeper", "bookkeeper", true},    // a doubled letter lost
      {"strippped", "stripped", true},      // a letter doubled once more
      {"abbe", "abbé", true},               // an accent lost
      {"alcazars", "alcázars", true},       // the same inside the word
      {"abbés", "abbey", true},             // an accented letter replaced, one added
      {"acomodat", "accommodate", false},   // three edits
      {"xeciever", "receive", false},       // three edits, the same letters but one
      {"aaaaaaaa", "banana", false},        // the letters of the word, counted wrong
      {"definitely", "indefinitely", true}, // two letters in front
      {"finitely", "indefinitely", false},  // four letters in front
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Holds(Near(c.word), c.listed), c.found) << c.word << " -> " << c.listed;
  }
}

TEST_F(MainWordIndexTest, WordsBeyondEveryListedLengthFindNothing) {
  EXPECT_TRUE(Near(std::string(80, 'e')).empty());
  EXPECT_TRUE(Near(std::string(300, 'z')).empty());
  Words found;
  Index().FindSoundAlikes(std::string(300, 'k'), kEdits, found);
  EXPECT_TRUE(found.empty());
}

} // namespace
