#pragma once

#include "speller/facade/SpellerFixture.h"

#include "facade/SpellCheckerImpl.h"
#include "guess/Guess.h"

#include <memory>
#include <string>
#include <vector>

namespace guesstest {

using Words = std::vector<std::string>;

/// A speller implementation whose only dictionary of interest is the word list
/// "words" made from the words a test gives.
class GuessTest : public spellertest::SpellerTest {
protected:
  void UseWords(const Words& words) {
    std::string text;
    for (const std::string& word : words) {
      text += word + "\n";
    }
    WriteDic("words.dic", text);
    m_impl = std::make_unique<CSpellCheckerImpl>();
    m_impl->GetRegistry().SetAppPath(AppDir());
    m_ids = {m_impl->GetRegistry().GetDictionaryID("words")};
    ASSERT_GE(m_ids.front(), 0);
  }

  /// One MakeGuesses call.
  Words Run(CGuess& guess, const std::string& word, bool findAll) {
    Words out;
    guess.MakeGuesses(word, m_ids, out, findAll, m_impl.get());
    return out;
  }

  void TearDown() override {
    m_impl.reset();
    SpellerTest::TearDown();
  }

  std::unique_ptr<CSpellCheckerImpl> m_impl;
  std::vector<int> m_ids;
};

} // namespace guesstest
