#pragma once

#include "facade/BackgroundWordIndex.h"
#include "facade/DictionaryRegistry.h"
#include "guess/Guess.h"

#include <memory>
#include <string>
#include <vector>

class CGuessCustom;

/// What stands behind the CSpellChecker facade: the suggestion engine's state and
/// the dictionary registry.
class CSpellCheckerImpl {
public:
  CSpellCheckerImpl() = default;
  CSpellCheckerImpl(const CSpellCheckerImpl&) = delete;
  CSpellCheckerImpl& operator=(const CSpellCheckerImpl&) = delete;

  CDictionaryRegistry& GetRegistry() { return m_registry; }
  /// The suggestion strategies in the order they run; empty until the first Guess.
  std::vector<std::unique_ptr<CGuess>>& GetGuesses() { return m_guesses; }

  /// The main dictionary's words for the searches Suggest adds; built on first need,
  /// or in the background once started.
  CBackgroundWordIndex& GetWordIndex() { return m_wordIndex; }

  /// The custom-guess strategy of the suggestion list (not owned); null until the
  /// suggestion strategies exist.
  CGuessCustom* m_pCustomGuess = nullptr;
  /// The word for which the suggestion strategies were last reset.
  std::string m_lastWord;

private:
  // The suggestion strategies join as the last member, so that they are destroyed
  // before the registry whose lookups they use.
  CDictionaryRegistry m_registry;
  CBackgroundWordIndex m_wordIndex;
  std::vector<std::unique_ptr<CGuess>> m_guesses;
};
