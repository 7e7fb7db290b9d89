#include "spellcore/SpellChecker.h"

#include "dictionaries/Dictionary.h"
#include "dictionaries/MainDictionary.h"
#include "facade/SpellCheckerImpl.h"
#include "facade/WordPreprocessor.h"
#include "facade/WordRecognizer.h"
#include "guess/Guess.h"
#include "guess/MainWordIndex.h"
#include "guess/SuggestionRanker.h"

#include "mtcore/WindowMessages.h"

#include "utilcore/StringUtils.h"

#include <algorithm>
#include <cstdlib>

const unsigned int CSpellChecker::MSG_DICT_CHANGED =
    RegisterWindowMessageA("9F0C18A8-759F-48c3-979A-5D42A937A0CB");

const unsigned int CSpellChecker::MSG_WORD_INDEX_READY =
    RegisterWindowMessageA("3E7B5C21-8D94-4F0A-B6E2-5A1C9D7F4B38");

CSpellChecker* CSpellChecker::m_pInstance = nullptr;

CSpellChecker::CSpellChecker() : m_pImpl(std::make_unique<CSpellCheckerImpl>()) {}

CSpellChecker::~CSpellChecker() = default;

CSpellChecker* CSpellChecker::GetInstance() {
  if (m_pInstance == nullptr) {
    try {
      // A plain pointer on purpose: the speller lives until DeleteInstance and is
      // never destroyed by the static teardown at exit, after its monitors' support
      // may already be gone.
      m_pInstance = new CSpellChecker();
    } catch (...) {
      m_pInstance = nullptr;
    }
  }
  return m_pInstance;
}

void CSpellChecker::DeleteInstance() {
  delete m_pInstance;
  m_pInstance = nullptr;
}

void CSpellChecker::SetAppPath(const std::string& path) {
  if (m_pImpl) {
    m_pImpl->GetRegistry().SetAppPath(path);
  }
}

void CSpellChecker::SetMainDictionaryFile(const std::string& file) {
  if (m_pImpl) {
    m_pImpl->GetRegistry().SetMainDictionaryFile(file);
  }
}

bool CSpellChecker::IsUsableMainDictionary(const std::string& file) {
  CMainDictionary dictionary(0, file);
  return dictionary.Load();
}

void CSpellChecker::SetMsgWindow(std::uint64_t window, long parameter) {
  if (m_pImpl) {
    m_pImpl->GetRegistry().SetMsgWindow(window, parameter);
  }
}

void CSpellChecker::GetDictionaries(std::vector<int>& ids, bool includeMain,
                                    bool includeCustom) const {
  if (m_pImpl) {
    m_pImpl->GetRegistry().GetDictionaries(ids, includeMain, includeCustom);
  }
}

int CSpellChecker::GetDictionaryID(const std::string& name) const {
  return m_pImpl ? m_pImpl->GetRegistry().GetDictionaryID(name) : -1;
}

void CSpellChecker::GetDictionaryName(int id, std::string& name) const {
  if (m_pImpl) {
    m_pImpl->GetRegistry().GetDictionaryName(id, name);
  }
}

void CSpellChecker::GetHunspellDictionaries(std::vector<int>& ids) const {
  if (m_pImpl) {
    m_pImpl->GetRegistry().GetHunspellDictionaries(ids);
  }
}

EDictionaryKind CSpellChecker::GetDictionaryKind(int id) const {
  return m_pImpl ? m_pImpl->GetRegistry().GetDictionaryKind(id) : EDictionaryKind::kWordList;
}

bool CSpellChecker::TakesWords(int id) const {
  return m_pImpl && m_pImpl->GetRegistry().TakesWords(id);
}

std::string CSpellChecker::GetDictionaryLanguage(int id) const {
  return m_pImpl ? m_pImpl->GetRegistry().GetDictionaryLanguage(id) : std::string();
}

bool CSpellChecker::PreprocessWord(std::string& word) const {
  return m_pImpl && CWordPreprocessor::PreprocessWord(word);
}

bool CSpellChecker::LookUp(const std::string& word, const std::vector<int>& ids) const {
  return m_pImpl && CWordRecognizer::LookUp(m_pImpl->GetRegistry(), word, ids, nullptr);
}

bool CSpellChecker::LookUp(const std::string& word, const std::vector<int>& ids,
                           bool& settled) const {
  return m_pImpl && CWordRecognizer::LookUp(m_pImpl->GetRegistry(), word, ids, &settled);
}

void CSpellChecker::HoldLookups() const {
  if (m_pImpl) {
    m_pImpl->GetRegistry().HoldLookups();
  }
}

void CSpellChecker::ReleaseLookups() const {
  if (m_pImpl) {
    m_pImpl->GetRegistry().ReleaseLookups();
  }
}

std::uint64_t CSpellChecker::GetChangeCount() {
  return CDictionary::ChangeCount();
}

void CSpellChecker::AddWord(int id, const std::string& word) {
  if (m_pImpl) {
    m_pImpl->GetRegistry().AddWord(id, word);
  }
}

void CSpellChecker::SetWords(int id, const TextArray& words) {
  if (m_pImpl) {
    m_pImpl->GetRegistry().SetWords(id, words);
  }
}

void CSpellChecker::GetWords(int id, TextArray& words) const {
  if (m_pImpl) {
    m_pImpl->GetRegistry().GetWords(id, words);
  }
}

bool CSpellChecker::AddCustomDictionary(const std::string& name) {
  return m_pImpl && m_pImpl->GetRegistry().AddCustomDictionary(name);
}

int CSpellChecker::AddSiteWordList(const std::string& name, const std::string& path) {
  return m_pImpl ? m_pImpl->GetRegistry().AddSiteWordList(name, path) : -1;
}

bool CSpellChecker::IsSiteWordList(int id) const {
  return m_pImpl && m_pImpl->GetRegistry().IsSiteWordList(id);
}

bool CSpellChecker::RenameSiteWordList(int id, const std::string& name) {
  return m_pImpl && m_pImpl->GetRegistry().RenameSiteWordList(id, name);
}

bool CSpellChecker::BuildMainDictionary() {
  return m_pImpl && m_pImpl->GetRegistry().BuildMainDictionary();
}

namespace {

/// Byte order: upper case before lower case, a word before its extensions.
void SortCandidates(std::vector<std::string>& suggestions) {
  std::sort(suggestions.begin(), suggestions.end());
  suggestions.erase(std::unique(suggestions.begin(), suggestions.end()), suggestions.end());
}

/// Whether the strategies have nothing to do with `word`.
bool IsBeyondGuessing(const std::string& word) {
  // A word too long to be a misspelling touches no strategy: their cursors stay
  // where they were, as if it had never been asked about.
  return CGuess::IsTooLong(word) || CStringUtils::IsEffectivelyEmpty(word);
}

} // namespace

void CSpellChecker::Guess(const std::string& word, const std::vector<int>& ids,
                          std::vector<std::string>& suggestions, bool findAll, bool restart) {
  if (!m_pImpl) {
    return;
  }
  suggestions.clear();
  if (IsBeyondGuessing(word)) {
    return;
  }
  m_pImpl->GuessWithCursors(word, ids, suggestions, findAll, restart);
  SortCandidates(suggestions);
}

namespace {

constexpr int kMainDictionaryId = 0;
/// How far the added searches look: two edits find most slips the single-edit
/// strategies miss, while three would bring in too many unrelated words.
constexpr int kSearchEdits = 2;
/// Below this many characters two edits reach half the word and more: the searches
/// would only add noise to what the single edits found.
constexpr int kShortestWiderWord = 5;
/// No word of the main dictionary is longer, in bytes.
constexpr std::size_t kLongestListedWord = 31;
/// nuspell's suggestion search grows steeply with the word: a German word of 33
/// characters takes 0.4 s, one of 50 takes 5 s. Longer words get the strategies' only.
constexpr int kLongestHunspellMisspelling = 36;

void AddIfNew(std::string text, std::vector<std::string>& suggestions) {
  if (std::find(suggestions.begin(), suggestions.end(), text) == suggestions.end()) {
    suggestions.push_back(std::move(text));
  }
}

/// The Hunspell dictionaries' suggestions first, in their own order, then the others:
/// the ranking keeps that order among candidates it finds equally likely.
void MergeHunspellSuggestions(CDictionaryRegistry& registry, const std::string& word,
                              const std::vector<int>& ids, std::vector<std::string>& suggestions) {
  if (CStringUtils::IsEffectivelyEmpty(word) || CGuess::IsTooLong(word) ||
      CStringUtils::CountCharacters(word, word.size()) > kLongestHunspellMisspelling) {
    return;
  }
  std::vector<std::string> merged;
  registry.AddHunspellSuggestions(word, ids, merged);
  for (std::string& text : suggestions) {
    AddIfNew(std::move(text), merged);
  }
  suggestions = std::move(merged);
}

} // namespace

void CSpellChecker::Suggest(const std::string& word, const std::vector<int>& ids,
                            std::vector<std::string>& suggestions, std::size_t maxCount) {
  if (!m_pImpl) {
    return;
  }
  suggestions.clear();
  if (!IsBeyondGuessing(word)) {
    m_pImpl->GuessEverything(word, ids, suggestions);
    SortCandidates(suggestions);
  }
  // Run whatever the single edits found: a misspelling two edits from its word often
  // lies one edit from another word ("rember", "member"), and the ranking puts the
  // words found here after the closer ones.
  const bool searchWider = word.size() <= 4 * kLongestListedWord &&
                           CStringUtils::CountCharacters(word, word.size()) >= kShortestWiderWord &&
                           !CStringUtils::IsEffectivelyEmpty(word) &&
                           std::find(ids.begin(), ids.end(), kMainDictionaryId) != ids.end();
  // The index is read once, also for the commonness that ranks Guess's candidates;
  // while it is built in the background the suggestions go without both.
  const CMainWordIndex* const index = m_pImpl->GetWordIndex().Get(m_pImpl->GetRegistry());
  const bool indexed = index != nullptr;
  if (searchWider && indexed) {
    std::string lower = word;
    CStringUtils::MakeLower(lower);
    std::vector<std::string> found;
    index->FindSoundAlikes(lower, kSearchEdits, found);
    index->FindNear(lower, kSearchEdits, found);
    for (std::string& text : found) {
      CStringUtils::PreserveCase(word, text);
      AddIfNew(std::move(text), suggestions);
    }
  }
  CDictionaryRegistry& registry = m_pImpl->GetRegistry();
  const bool hunspell = registry.HoldsHunspell(ids);
  if (hunspell) {
    MergeHunspellSuggestions(registry, word, ids, suggestions);
  }
  // Sound keys and commonness are worked out for English: they would only blur the
  // ranking of another language's words.
  const bool english = !hunspell || registry.IsEnglishOnly(ids);
  CSuggestionRanker::Rank(
      word, suggestions,
      [&](std::string_view text) { return indexed && english ? index->GetCommonness(text) : 0; },
      english ? CSuggestionRanker::ESound::kCompared : CSuggestionRanker::ESound::kIgnored);
  if (maxCount > 0 && suggestions.size() > maxCount) {
    suggestions.resize(maxCount);
  }
}

void CSpellChecker::StartWordIndex(std::uint64_t window, long parameter) {
  if (!m_pImpl) {
    return;
  }
  m_pImpl->GetWordIndex().Start(m_pImpl->GetRegistry(), [window, parameter] {
    if (IsWindow(window)) {
      PostMessage(window, MSG_WORD_INDEX_READY, 0, parameter);
    }
  });
}

bool CSpellChecker::IsWordIndexPending() const {
  return m_pImpl && m_pImpl->GetWordIndex().IsPending();
}

void CSpellChecker::AddGuess(const std::string& word, const std::string& replacement) {
  if (m_pImpl) {
    m_pImpl->AddGuess(word, replacement);
  }
}
