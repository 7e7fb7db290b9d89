#pragma once

#include "facade/BackgroundWordIndex.h"
#include "facade/DictionaryRegistry.h"
#include "guess/Guess.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CGuessCustom;

/// What stands behind the CSpellChecker facade: the suggestion engine's state and
/// the dictionary registry.
///
/// Guessing with cursors belongs to one thread at a time (the user interface's);
/// GuessEverything and GetWordIndex may run on any number of threads at once.
class CSpellCheckerImpl {
public:
  using Strategies = std::vector<std::unique_ptr<CGuess>>;

  CSpellCheckerImpl();
  ~CSpellCheckerImpl();
  CSpellCheckerImpl(const CSpellCheckerImpl&) = delete;
  CSpellCheckerImpl& operator=(const CSpellCheckerImpl&) = delete;

  CDictionaryRegistry& GetRegistry() { return m_registry; }

  /// Appends what the strategies find for `word` from the set whose cursors carry over
  /// from call to call: reset first when `restart` or when `word` is another word than
  /// last time. Creates the strategies on the first call.
  void GuessWithCursors(const std::string& word, const std::vector<int>& ids,
                        std::vector<std::string>& suggestions, bool findAll, bool restart);
  /// Appends every candidate of every strategy for `word`, with a set of strategies
  /// no other thread uses meanwhile. Leaves the cursors' set as a restart for `word`
  /// leaves it, so that the next GuessWithCursors carries on as it would have.
  void GuessEverything(const std::string& word, const std::vector<int>& ids,
                       std::vector<std::string>& suggestions);
  /// Learns a replacement; nothing before the strategies exist.
  void AddGuess(const std::string& word, const std::string& replacement);

  /// The main dictionary's words for the searches Suggest adds; built on first need
  /// (callers on other threads wait for it), or in the background once started.
  CBackgroundWordIndex& GetWordIndex() { return m_wordIndex; }

private:
  /// Creates the strategies if need be. Called with m_cursorLock held.
  void EnsureStrategies();
  /// Runs `set`, then the shared custom strategy under its lock: the custom one last,
  /// as it always ran.
  void RunStrategies(Strategies& set, const std::string& word, const std::vector<int>& ids,
                     std::vector<std::string>& suggestions, bool findAll);
  std::unique_ptr<Strategies> TakeSpareSet();
  void ReturnSpareSet(std::unique_ptr<Strategies> set);

  // The registry is the first member, so that everything using its lookups is
  // destroyed before it.
  CDictionaryRegistry m_registry;

  CBackgroundWordIndex m_wordIndex;

  std::mutex m_cursorLock; ///< guards m_cursorSet, m_lastWord and creating m_custom
  Strategies m_cursorSet;  ///< empty until the first guess
  /// The word for which the cursors' set was last reset.
  std::string m_lastWord;

  std::mutex m_customLock; ///< the custom guesses' table is read and learned under it
  std::unique_ptr<CGuessCustom> m_custom;
  /// Set once m_custom exists; read without m_cursorLock by AddGuess and the spare sets.
  std::atomic<bool> m_hasCustom{false};

  std::mutex m_spareLock; ///< guards m_spareSets
  /// Sets of strategies for GuessEverything, each lent to one thread at a time.
  std::vector<std::unique_ptr<Strategies>> m_spareSets;
};
