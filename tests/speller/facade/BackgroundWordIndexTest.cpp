// The suggestion index built in the background: suggestions before it is ready, the
// notice once it is, and the same suggestions as an index built on first need.
#include "speller/facade/SpellerFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using spellertest::SpellerTest;
using Words = std::vector<std::string>;

/// Counts the ready notices that reach it and keeps their parameter.
class CIndexReadyRecorder : public CFunctionTarget {
public:
  CIndexReadyRecorder()
      : CFunctionTarget([this](UINT message, WPARAM, LPARAM lParam) {
          if (message == CSpellChecker::MSG_WORD_INDEX_READY) {
            ++notices;
            parameter = static_cast<long>(lParam);
          }
        }) {}

  int notices = 0;
  long parameter = 0;
};

class BackgroundWordIndexTest : public SpellerTest {
protected:
  static Words Suggest(const std::string& word, const std::vector<int>& ids) {
    Words out;
    CSpellChecker::GetInstance()->Suggest(word, ids, out);
    return out;
  }
  // Words that need the wider searches ("acomodate") or the commonness to rank right.
  const Words m_words{"teh", "acomodate", "definately", "rember", "calculatin"};
};

TEST_F(BackgroundWordIndexTest, SuggestionsBeforeAndAfterTheIndexIsReady) {
  std::map<std::string, Words> onFirstNeed;
  std::vector<int> ids = StartWithBuiltMainDictionary();
  for (const std::string& word : m_words) {
    onFirstNeed[word] = Suggest(word, ids);
  }
  CSpellChecker::DeleteInstance();

  ids = StartWithBuiltMainDictionary();
  CSpellChecker& speller = *CSpellChecker::GetInstance();
  CIndexReadyRecorder window;
  speller.StartWordIndex(window.GetSafeHwnd(), 7);
  // Ready or not, a selection gets what the single edits find at least.
  const Words early = Suggest("teh", ids);
  EXPECT_NE(std::find(early.begin(), early.end(), "the"), early.end());

  ASSERT_TRUE(PumpUntil([&] { return window.notices == 1; }));
  EXPECT_EQ(window.parameter, 7);
  EXPECT_FALSE(speller.IsWordIndexPending());
  for (const std::string& word : m_words) {
    EXPECT_EQ(Suggest(word, ids), onFirstNeed[word]) << word;
  }
  // Built once: a second start builds nothing and tells nothing.
  speller.StartWordIndex(window.GetSafeHwnd(), 8);
  CMessageLoop::PumpPending();
  EXPECT_EQ(window.notices, 1);
}

// The speller goes while its index is still being built: the build is waited for.
TEST_F(BackgroundWordIndexTest, ASpellerDeletedDuringTheBuildWaitsForIt) {
  StartWithBuiltMainDictionary();
  CIndexReadyRecorder window;
  CSpellChecker::GetInstance()->StartWordIndex(window.GetSafeHwnd(), 0);
  CSpellChecker::DeleteInstance();
  CMessageLoop::PumpPending();
  EXPECT_LE(window.notices, 1);
}

// Without a main dictionary the build fails: no notice, and Suggest tries again itself,
// as it does without a background build.
TEST_F(BackgroundWordIndexTest, AFailedBuildTellsNothingAndLeavesTheIndexToFirstNeed) {
  CSpellChecker& speller = StartSpeller();
  CIndexReadyRecorder window;
  speller.StartWordIndex(window.GetSafeHwnd(), 0);
  ASSERT_TRUE(PumpUntil([&] { return !speller.IsWordIndexPending(); }));
  CMessageLoop::PumpPending();
  EXPECT_EQ(window.notices, 0);
  // A second start is allowed once the first failed, and fails the same way.
  speller.StartWordIndex(window.GetSafeHwnd(), 0);
  ASSERT_TRUE(PumpUntil([&] { return !speller.IsWordIndexPending(); }));
  CMessageLoop::PumpPending();
  EXPECT_EQ(window.notices, 0);
}

} // namespace
