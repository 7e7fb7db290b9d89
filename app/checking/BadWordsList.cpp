#include "checking/BadWordsList.h"

#include "checking/CodeTokens.h"

#include "mtcore/ReaderAccess.h"
#include "mtcore/WriterAccess.h"

#include <algorithm>
#include <utility>

CBadWordsList::CBadWordsList()
    : m_rare([this](std::string_view key) { return CountPlainWordsLocked(key); }) {}

std::size_t CBadWordsList::CountPlainWordsLocked(std::string_view key) const {
  std::size_t count = 0;
  for (const std::string& form : CCodeTokens::PlainForms(key)) {
    count += FindLocked(form, 0) != nullptr ? 1 : 0;
  }
  return count;
}

CBadWordsList::~CBadWordsList() = default;

bool CBadWordsList::IsListed(const CBadWord* word) const {
  return word != nullptr && m_listed.contains(word);
}

void CBadWordsList::AppendLocked(std::unique_ptr<CBadWord> word) {
  if (word == nullptr || ByText(word->GetDuplicate()).contains(word->GetWord())) {
    return;
  }
  CBadWord* added = word.get();
  m_words.push_back(std::move(word));
  ByText(added->GetDuplicate()).emplace(added->GetWord(), added);
  m_listed.insert(added);
  added->m_owner = this;
  if (added->GetDuplicate() != 1) {
    m_rare.Add(added);
  }
  for (const auto& location : added->GetLocations()) {
    IndexFile(added, location.GetDirectory(), location.GetFileName());
  }
}

void CBadWordsList::UnlistLocked(CBadWord* word) {
  if (word->GetDuplicate() != 1) {
    m_rare.Remove(word);
  }
  ByText(word->GetDuplicate()).erase(word->GetWord());
  m_listed.erase(word);
  ++m_removals;
}

std::vector<CBadWord*>& CBadWordsList::FileWordsLocked(std::string_view directory,
                                                       std::string_view fileName) {
  m_pathBuffer.assign(directory).append(fileName);
  auto found = m_wordsByFile.find(m_pathBuffer);
  if (found == m_wordsByFile.end()) {
    found = m_wordsByFile.emplace(m_pathBuffer, std::vector<CBadWord*>()).first;
  }
  return found->second;
}

namespace {

/// Adds `word` to a file's words; a word recorded twice in a row is kept once.
void AddFileWord(std::vector<CBadWord*>& words, CBadWord* word) {
  if (words.empty() || words.back() != word) {
    words.push_back(word);
  }
}

} // namespace

void CBadWordsList::IndexFile(CBadWord* word, std::string_view directory,
                              std::string_view fileName) {
  AddFileWord(FileWordsLocked(directory, fileName), word);
}

CBadWord* CBadWordsList::FindLocked(std::string_view text, int duplicate) const {
  const auto& byText = ByText(duplicate);
  const auto found = byText.find(text);
  return found == byText.end() ? nullptr : found->second;
}

CBadWord* CBadWordsList::FindWord(std::string_view text, int duplicate) const {
  CReaderAccess access(Lock());
  return FindLocked(text, duplicate);
}

void CBadWordsList::AppendWord(std::unique_ptr<CBadWord> word) {
  CWriterAccess access(*this);
  AppendLocked(std::move(word));
}

void CBadWordsList::RemoveLocked(CBadWord* word) {
  const auto at =
      std::find_if(m_words.begin(), m_words.end(),
                   [word](const std::unique_ptr<CBadWord>& w) { return w.get() == word; });
  UnlistLocked(word);
  m_words.erase(at);
}

void CBadWordsList::RemoveWord(CBadWord* word) {
  CWriterAccess access(*this);
  if (IsListed(word)) {
    RemoveLocked(word);
  }
}

bool CBadWordsList::RemoveWord(std::string_view text, int duplicate) {
  CWriterAccess access(*this);
  CBadWord* word = FindLocked(text, duplicate);
  if (word == nullptr) {
    return false;
  }
  RemoveLocked(word);
  return true;
}

bool CBadWordsList::SetReplacement(std::string_view text, int duplicate,
                                   const std::string& replacement) {
  CWriterAccess access(*this);
  CBadWord* word = FindLocked(text, duplicate);
  if (word == nullptr) {
    return false;
  }
  word->SetReplacement(replacement);
  return true;
}

void CBadWordsList::ClearWords() {
  CWriterAccess access(*this);
  std::vector<std::unique_ptr<CBadWord>> words = std::move(m_words);
  SLookUps lookUps = ClearLocked();
  // A big site's millions of locations take a noticeable time to free, and the caller
  // is often the user interface thread starting a new check. Handed over under the
  // lock, so that concurrent callers take turns; the freeing takes no lock of ours.
  if (!words.empty()) {
    m_release.Release(std::pair(std::move(words), std::move(lookUps)));
  }
}

CBadWordsList::SLookUps CBadWordsList::ClearLocked() {
  ++m_removals;
  SLookUps lookUps{std::move(m_byText), std::move(m_repeatsByText), std::move(m_listed),
                   std::move(m_wordsByFile)};
  // Moved-from containers are valid but not promised empty.
  m_byText.clear();
  m_repeatsByText.clear();
  m_listed.clear();
  m_wordsByFile.clear();
  m_words.clear();
  m_lastFile.reset();
  m_rare.Clear();
  return lookUps;
}

std::vector<std::unique_ptr<CBadWord>> CBadWordsList::TakeWords() {
  CWriterAccess access(*this);
  std::vector<std::unique_ptr<CBadWord>> words = std::move(m_words);
  SLookUps lookUps = ClearLocked();
  for (const std::unique_ptr<CBadWord>& word : words) {
    word->m_owner = nullptr;
  }
  // The caller goes on with the words (a report to sort) while the look-ups are freed.
  if (!words.empty()) {
    m_release.Release(std::move(lookUps));
  }
  return words;
}

void CBadWordsList::RemoveFileLocations(std::string_view path) {
  if (path.empty()) {
    return;
  }
  CWriterAccess access(*this);
  m_pathBuffer.assign(path);
  const auto found = m_wordsByFile.find(m_pathBuffer);
  if (found == m_wordsByFile.end()) {
    return;
  }
  const std::vector<CBadWord*> candidates = std::move(found->second);
  m_wordsByFile.erase(found);
  bool unlisted = false;
  for (CBadWord* word : candidates) {
    // A word seen twice has nothing left to remove the second time.
    if (IsListed(word) && word->RemoveLocationsOfFile(path) && word->CountFiles() == 0) {
      UnlistLocked(word);
      unlisted = true;
    }
  }
  if (unlisted) {
    // One pass that keeps the order of the rest and deletes the unlisted words.
    std::erase_if(m_words, [this](const std::unique_ptr<CBadWord>& word) {
      return !m_listed.contains(word.get());
    });
  }
}

int CBadWordsList::GetWordCount() const {
  CReaderAccess access(Lock());
  return static_cast<int>(m_words.size() - m_rare.HiddenCount());
}

CBadWordsList::POSITION CBadWordsList::ShownFrom(std::size_t index) const {
  while (index < m_words.size() && m_words[index]->IsHidden()) {
    ++index;
  }
  return index < m_words.size() ? index + 1 : 0;
}

CBadWordsList::POSITION CBadWordsList::GetHeadPosition() const {
  CReaderAccess access(Lock());
  return ShownFrom(0);
}

CBadWord* CBadWordsList::GetNext(POSITION& position) const {
  CReaderAccess access(Lock());
  // A word hidden since the last step is still returned: the walk never ends early.
  if (position == 0 || position > m_words.size()) {
    position = 0;
    return nullptr;
  }
  CBadWord* word = m_words[position - 1].get();
  position = ShownFrom(position);
  return word;
}

void CBadWordsList::AddLocation(CBadWord* word, const std::string& path, int line, int start,
                                int end, std::string_view context) {
  CWriterAccess access(*this);
  if (IsListed(word)) {
    word->AddLocation(path, line, start, end, context);
  }
}

void CBadWordsList::SortLocations(CBadWord* word) {
  CWriterAccess access(*this);
  if (m_locationOrder == ELocationOrder::kSorted && IsListed(word)) {
    word->SortLocations();
  }
}

void CBadWordsList::SetLocationOrder(ELocationOrder order) {
  CWriterAccess access(*this);
  m_locationOrder = order;
}

CBadWord* CBadWordsList::RecordLocation(std::string_view text, std::string_view directory,
                                        std::string_view fileName, int line, int start, int end,
                                        std::string_view context) {
  CWriterAccess access(*this);
  CBadWord* word = FindOrAppendLocked(text, 0);
  // Findings come file by file: the file of the last one is most likely this one's.
  if (m_lastFile == nullptr || !m_lastFile->Is(directory, fileName)) {
    m_lastFile = CBadWordFile::Make(directory, fileName);
  }
  word->AppendLocation(m_lastFile, line, start, end, m_lastFile->AddExcerpt(context));
  return word;
}

CBadWord* CBadWordsList::FindOrAppendLocked(std::string_view text, int duplicate,
                                            std::string_view pieces) {
  if (CBadWord* found = FindLocked(text, duplicate)) {
    return found;
  }
  auto created = std::make_unique<CBadWord>(std::string(text));
  created->SetDuplicate(duplicate);
  created->SetPieces(std::string(pieces));
  CBadWord* word = created.get();
  AppendLocked(std::move(created));
  return word;
}

void CBadWordsList::RecordFileFindings(std::string_view directory, std::string_view fileName,
                                       std::span<SFileFindings> words) {
  // A page's excerpts take one block of the exact size, counted before the lock.
  std::size_t excerptBytes = 0;
  bool any = false;
  for (const SFileFindings& entry : words) {
    any = any || !entry.locations.empty();
    for (const SFoundLocation& location : entry.locations) {
      excerptBytes += location.context.size();
    }
  }
  if (!any) {
    return;
  }
  // Everything that allocates is done before the lock, so that the other checking
  // threads wait only for the look-ups and the splices.
  const std::shared_ptr<CBadWordFile> file = CBadWordFile::Make(directory, fileName);
  file->ReserveExcerpts(excerptBytes);
  std::vector<CBadWordsLocList::Items> runs(words.size());
  for (std::size_t k = 0; k < words.size(); ++k) {
    for (const SFoundLocation& location : words[k].locations) {
      CBadWordLoc& added = runs[k].emplace_back();
      added.line = location.line;
      added.start = location.start;
      added.end = location.end;
      added.column = location.column;
      added.endColumn = location.endColumn;
      added.language = location.language;
      added.excerpt = file->AddExcerpt(location.context);
      added.file = file;
    }
  }
  // The words already listed are found under reader access, which checking threads
  // share; the writer access then only appends and splices. A word removed in between
  // (by the user) makes the writer find them all again.
  std::vector<CBadWord*> listed(words.size(), nullptr);
  std::uint64_t removals = 0;
  {
    CReaderAccess reading(Lock());
    removals = m_removals;
    for (std::size_t k = 0; k < words.size(); ++k) {
      if (!runs[k].empty()) {
        listed[k] = FindLocked(words[k].text, words[k].duplicate);
      }
    }
  }
  CWriterAccess access(*this);
  if (m_removals != removals) {
    std::fill(listed.begin(), listed.end(), nullptr);
  }
  std::vector<CBadWord*>& fileWords = FileWordsLocked(directory, fileName);
  for (std::size_t k = 0; k < words.size(); ++k) {
    if (runs[k].empty()) {
      continue;
    }
    CBadWord* word = listed[k] != nullptr
                         ? listed[k]
                         : FindOrAppendLocked(words[k].text, words[k].duplicate, words[k].pieces);
    // Indexed before its locations go in, so that running out of memory halfway never
    // leaves a location that removing the file would miss.
    AddFileWord(fileWords, word);
    word->m_locations.SpliceTail(runs[k]);
    if (m_locationOrder == ELocationOrder::kSorted) {
      word->SortLocations();
    }
  }
}
