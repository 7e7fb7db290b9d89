#include "checking/BadWordsList.h"

#include "mtcore/ReaderAccess.h"
#include "mtcore/WriterAccess.h"

#include <algorithm>
#include <utility>

CBadWordsList::CBadWordsList() = default;

CBadWordsList::~CBadWordsList() = default;

bool CBadWordsList::IsListed(const CBadWord* word) const {
  return word != nullptr && m_listed.contains(word);
}

void CBadWordsList::AppendLocked(std::unique_ptr<CBadWord> word) {
  if (word == nullptr || m_byText.contains(word->GetWord())) {
    return;
  }
  CBadWord* added = word.get();
  m_words.push_back(std::move(word));
  m_byText.emplace(added->GetWord(), added);
  m_listed.insert(added);
}

void CBadWordsList::EraseLocked(std::size_t index) {
  CBadWord* word = m_words[index].get();
  m_byText.erase(word->GetWord());
  m_listed.erase(word);
  m_words.erase(m_words.begin() + static_cast<std::ptrdiff_t>(index));
}

CBadWord* CBadWordsList::FindWord(std::string_view text) const {
  CReaderAccess access(Lock());
  const auto found = m_byText.find(text);
  return found == m_byText.end() ? nullptr : found->second;
}

void CBadWordsList::AppendWord(std::unique_ptr<CBadWord> word) {
  CWriterAccess access(*this);
  AppendLocked(std::move(word));
}

void CBadWordsList::RemoveWord(CBadWord* word) {
  CWriterAccess access(*this);
  if (!IsListed(word)) {
    return;
  }
  const auto at =
      std::find_if(m_words.begin(), m_words.end(),
                   [word](const std::unique_ptr<CBadWord>& w) { return w.get() == word; });
  EraseLocked(static_cast<std::size_t>(at - m_words.begin()));
}

void CBadWordsList::ClearWords() {
  CWriterAccess access(*this);
  m_byText.clear();
  m_listed.clear();
  m_words.clear();
}

void CBadWordsList::RemoveFileLocations(std::string_view path) {
  if (path.empty()) {
    return;
  }
  CWriterAccess access(*this);
  // One pass that keeps the order; erasing one by one would be quadratic.
  std::size_t kept = 0;
  for (std::size_t k = 0; k < m_words.size(); ++k) {
    CBadWord* word = m_words[k].get();
    if (word->RemoveLocationsOfFile(path) && word->CountFiles() == 0) {
      m_byText.erase(word->GetWord());
      m_listed.erase(word);
      m_words[k].reset();
      continue;
    }
    if (kept != k) {
      m_words[kept] = std::move(m_words[k]);
    }
    ++kept;
  }
  m_words.resize(kept);
}

int CBadWordsList::GetWordCount() const {
  CReaderAccess access(Lock());
  return static_cast<int>(m_words.size());
}

CBadWordsList::POSITION CBadWordsList::GetHeadPosition() const {
  CReaderAccess access(Lock());
  return m_words.empty() ? 0 : 1;
}

CBadWord* CBadWordsList::GetNext(POSITION& position) const {
  CReaderAccess access(Lock());
  if (position == 0 || position > m_words.size()) {
    position = 0;
    return nullptr;
  }
  CBadWord* word = m_words[position - 1].get();
  position = position < m_words.size() ? position + 1 : 0;
  return word;
}

void CBadWordsList::AddLocation(CBadWord* word, const std::string& path, int line, int start,
                                int end, std::string context) {
  CWriterAccess access(*this);
  if (IsListed(word)) {
    word->AddLocation(path, line, start, end, std::move(context));
  }
}

void CBadWordsList::SortLocations(CBadWord* word) {
  CWriterAccess access(*this);
  if (IsListed(word)) {
    word->SortLocations();
  }
}

void CBadWordsList::RecordLocation(std::string_view text, std::string_view directory,
                                   std::string_view fileName, int line, int start, int end,
                                   std::string context) {
  CWriterAccess access(*this);
  CBadWord* word = nullptr;
  if (const auto found = m_byText.find(text); found != m_byText.end()) {
    word = found->second;
  } else {
    auto created = std::make_unique<CBadWord>(std::string(text));
    word = created.get();
    AppendLocked(std::move(created));
  }
  word->AddLocation(directory, fileName, line, start, end, std::move(context));
}
