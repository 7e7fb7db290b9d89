#include "spellcore/SpellChecker.h"

#include "facade/SpellCheckerImpl.h"
#include "facade/WordPreprocessor.h"

#include "mtcore/WindowMessages.h"

const unsigned int CSpellChecker::MSG_DICT_CHANGED =
    RegisterWindowMessageA("9F0C18A8-759F-48c3-979A-5D42A937A0CB");

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

bool CSpellChecker::PreprocessWord(std::string& word) const {
  return m_pImpl && CWordPreprocessor::PreprocessWord(word);
}

bool CSpellChecker::LookUp(const std::string& word, const std::vector<int>& ids) const {
  return m_pImpl && m_pImpl->GetRegistry().LookUp(word, ids);
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

bool CSpellChecker::BuildMainDictionary() {
  return m_pImpl && m_pImpl->GetRegistry().BuildMainDictionary();
}
