#include "facade/SpellCheckerImpl.h"

#include "guess/GuessAddLetters.h"
#include "guess/GuessApostrophe.h"
#include "guess/GuessConsonantReplacement.h"
#include "guess/GuessCustom.h"
#include "guess/GuessNumberReplacement.h"
#include "guess/GuessPluralSingular.h"
#include "guess/GuessRemoveLetters.h"
#include "guess/GuessReversal.h"
#include "guess/GuessSeparateWords.h"
#include "guess/GuessShorterWord.h"
#include "guess/GuessUn.h"
#include "guess/GuessVowelReplacement.h"

#include <utility>

namespace {

/// The strategies that keep a cursor, in the order they run; the custom one follows.
std::unique_ptr<CSpellCheckerImpl::Strategies> CreateStrategies() {
  auto set = std::make_unique<CSpellCheckerImpl::Strategies>();
  set->push_back(std::make_unique<CGuessAddLetters>());
  set->push_back(std::make_unique<CGuessApostrophe>());
  set->push_back(std::make_unique<CGuessConsonantReplacement>());
  set->push_back(std::make_unique<CGuessPluralSingular>());
  set->push_back(std::make_unique<CGuessRemoveLetters>());
  set->push_back(std::make_unique<CGuessReversal>());
  set->push_back(std::make_unique<CGuessSeparateWords>());
  set->push_back(std::make_unique<CGuessShorterWord>());
  set->push_back(std::make_unique<CGuessUn>());
  set->push_back(std::make_unique<CGuessVowelReplacement>());
  set->push_back(std::make_unique<CGuessNumberReplacement>());
  return set;
}

/// The registry's reader access, held by the calling thread for the scope.
class CHeldLookups {
public:
  explicit CHeldLookups(CDictionaryRegistry& registry) : m_registry(registry) {
    m_registry.HoldLookups();
  }
  ~CHeldLookups() { m_registry.ReleaseLookups(); }
  CHeldLookups(const CHeldLookups&) = delete;
  CHeldLookups& operator=(const CHeldLookups&) = delete;

private:
  CDictionaryRegistry& m_registry;
};

void ResetAll(CSpellCheckerImpl::Strategies& set) {
  for (const auto& guess : set) {
    guess->Reset();
  }
}

} // namespace

CSpellCheckerImpl::CSpellCheckerImpl() = default;

CSpellCheckerImpl::~CSpellCheckerImpl() = default;

void CSpellCheckerImpl::EnsureStrategies() {
  if (!m_cursorSet.empty()) {
    return;
  }
  m_cursorSet = std::move(*CreateStrategies());
  m_custom = std::make_unique<CGuessCustom>();
  m_hasCustom.store(true, std::memory_order_release);
}

void CSpellCheckerImpl::RunStrategies(Strategies& set, const std::string& word,
                                      const std::vector<int>& ids,
                                      std::vector<std::string>& suggestions, bool findAll) {
  for (const auto& guess : set) {
    guess->MakeGuesses(word, ids, suggestions, findAll, this);
  }
  const std::lock_guard lock(m_customLock);
  m_custom->MakeGuesses(word, ids, suggestions, findAll, this);
}

void CSpellCheckerImpl::GuessWithCursors(const std::string& word, const std::vector<int>& ids,
                                         std::vector<std::string>& suggestions, bool findAll,
                                         bool restart) {
  const std::lock_guard lock(m_cursorLock);
  if (m_cursorSet.empty()) {
    EnsureStrategies();
    m_lastWord = word;
  } else if (restart || word != m_lastWord) {
    m_lastWord = word;
    ResetAll(m_cursorSet);
  }
  RunStrategies(m_cursorSet, word, ids, suggestions, findAll);
}

void CSpellCheckerImpl::GuessEverything(const std::string& word, const std::vector<int>& ids,
                                        std::vector<std::string>& suggestions) {
  {
    // What a restart did to the cursors' set when it ran these guesses itself.
    const std::lock_guard lock(m_cursorLock);
    if (m_cursorSet.empty()) {
      EnsureStrategies();
    } else {
      ResetAll(m_cursorSet);
    }
    m_lastWord = word;
  }
  std::unique_ptr<Strategies> set = TakeSpareSet();
  ResetAll(*set);
  {
    // The strategies only look words up, a thousand times a word and more: one reader
    // access for them all spares each look-up the count every thread shares.
    const CHeldLookups held(m_registry);
    RunStrategies(*set, word, ids, suggestions, true);
  }
  ReturnSpareSet(std::move(set));
}

void CSpellCheckerImpl::AddGuess(const std::string& word, const std::string& replacement) {
  if (!m_hasCustom.load(std::memory_order_acquire)) {
    return;
  }
  const std::lock_guard lock(m_customLock);
  m_custom->AddGuess(word, replacement);
}

std::unique_ptr<CSpellCheckerImpl::Strategies> CSpellCheckerImpl::TakeSpareSet() {
  {
    const std::lock_guard lock(m_spareLock);
    if (!m_spareSets.empty()) {
      std::unique_ptr<Strategies> set = std::move(m_spareSets.back());
      m_spareSets.pop_back();
      return set;
    }
  }
  return CreateStrategies();
}

void CSpellCheckerImpl::ReturnSpareSet(std::unique_ptr<Strategies> set) {
  const std::lock_guard lock(m_spareLock);
  m_spareSets.push_back(std::move(set));
}
