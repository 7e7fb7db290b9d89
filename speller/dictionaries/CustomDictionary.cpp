#include "dictionaries/CustomDictionary.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace {

constexpr std::string_view kRightQuote = "\xE2\x80\x99";     // U+2019
constexpr std::string_view kModifierApostrophe = "\xCA\xBC"; // U+02BC

// Longest ASCII word that Contains lower-cases on the stack; longer words are rare.
constexpr std::size_t kStackKey = 64;
// FNV-1a: a few instructions a byte, and Contains works it out while it lowers.
constexpr std::uint64_t kHashOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kHashPrime = 0x100000001b3ULL;

/// Writes `text` lowered into `key` and its HashKey into `hash`; false (both partly
/// written) when it is not ASCII.
bool LowerAsciiKey(std::string_view text, char* key, std::uint64_t& hash) {
  hash = kHashOffset;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      return false;
    }
    key[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c;
    hash = (hash ^ static_cast<unsigned char>(key[i])) * kHashPrime;
  }
  return true;
}

std::uint64_t HashKey(std::string_view key) {
  std::uint64_t hash = kHashOffset;
  for (const char c : key) {
    hash = (hash ^ static_cast<unsigned char>(c)) * kHashPrime;
  }
  return hash;
}

/// A word list that is there but is not read: "{ID} - <file> - <reason>".
constexpr const char* kLogRefused = "{CCB2C72D-A322-4A52-B722-2123D2B6B47C}";

bool HasTypographicApostrophe(std::string_view text) {
  return text.find(kRightQuote) != std::string_view::npos ||
         text.find(kModifierApostrophe) != std::string_view::npos;
}

void SortUnique(TextArray& words) {
  words.Sort(true, true, false, true);
  words.RemoveDuplicates(true, false, true);
}

// Inserts `word` at its sorted place unless it is there already; the list stays as
// Sort and RemoveDuplicates would leave it.
void InsertSorted(TextArray& words, std::string word) {
  bool found = false;
  const std::size_t at = words.Find(word, true, found, true, false, true);
  if (!found) {
    auto& items = words.Items();
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), std::move(word));
  }
}

} // namespace

bool CCustomDictionary::Load() {
  if (!CFileUtils::DoesFileExist(GetPath())) {
    return false;
  }
  TextArray lines;
  if (!CFileUtils::ReadFileContent(GetPath(), lines, false, nullptr)) {
    // Unreadable (a folder, no permission, too large, binary): stay unloaded so that
    // Save will not replace the file with what little is in memory.
    LogRefusal(errno);
    return false;
  }
  m_loggedRefusal = 0;
  NormalizeWords(lines);
  m_words = std::move(lines);
  RebuildFolded();
  SetLoaded();
  return true;
}

void CCustomDictionary::LogRefusal(int errnum) {
  // Every look-up tries the load again: the log hears of each reason once.
  if (errnum == m_loggedRefusal) {
    return;
  }
  m_loggedRefusal = errnum;
  CAppLogger::LogFileError(kLogRefused, GetPath(), CFileUtils::DescribeContentReadError(errnum));
}

bool CCustomDictionary::Save() {
  if (!IsLoaded() && CFileUtils::DoesFileExist(GetPath())) {
    return false;
  }
  return CFileUtils::WriteFileContent(GetPath(), m_words, false, nullptr);
}

bool CCustomDictionary::Contains(std::string_view word) const {
  // Most words asked about are short, ASCII and need no trimming: those are lowered and
  // hashed in one pass, without the Unicode trimming.
  const auto plainEdge = [](char c) { return c > ' ' && c < '\x7F'; };
  const bool untrimmed = !word.empty() && plainEdge(word.front()) && plainEdge(word.back());
  const std::string_view trimmed = untrimmed ? word : CStringUtils::TrimView(word);
  if (trimmed.size() <= kStackKey) {
    char key[kStackKey];
    std::uint64_t hash = 0;
    if (LowerAsciiKey(trimmed, key, hash)) {
      return Holds(std::string_view(key, trimmed.size()), hash);
    }
  }
  // Reused per thread: after the first long or non-ASCII word no lookup allocates.
  thread_local std::string t_key;
  t_key.assign(trimmed);
  CStringUtils::MakeLower(t_key);
  FoldApostrophes(t_key);
  return Holds(t_key, HashKey(t_key));
}

bool CCustomDictionary::Holds(std::string_view key, std::uint64_t hash) const {
  if (!m_filter.MayHold(hash)) {
    return false;
  }
  bool found = false;
  m_words.Find(key, true, found, true, false, true);
  if (!found && !m_foldedWords.IsEmpty()) {
    m_foldedWords.Find(key, true, found, true, false, true);
  }
  return found;
}

void CCustomDictionary::AddWord(const std::string& word) {
  std::string entry = word;
  CStringUtils::Trim(entry);
  CStringUtils::MakeLower(entry);
  if (entry.empty()) {
    return;
  }
  if (HasTypographicApostrophe(entry)) {
    std::string folded = entry;
    FoldApostrophes(folded);
    Mark(folded);
    InsertSorted(m_foldedWords, std::move(folded));
  }
  Mark(entry);
  InsertSorted(m_words, std::move(entry));
  if (m_marked > m_filter.Room()) {
    RebuildFilter(); // grown past its size: more bits keep it selective
  }
}

void CCustomDictionary::SetWords(const TextArray& words) {
  m_words = words;
  NormalizeWords(m_words);
  RebuildFolded();
}

void CCustomDictionary::GetWords(TextArray& words) const {
  words = m_words;
}

void CCustomDictionary::NormalizeWords(TextArray& words) {
  for (std::string& entry : words.Items()) {
    std::string normal = entry;
    CStringUtils::Trim(normal);
    if (!normal.empty()) {
      CStringUtils::MakeLower(normal);
      entry = std::move(normal);
    }
  }
  SortUnique(words);
}

void CCustomDictionary::FoldApostrophes(std::string& text) {
  std::size_t out = 0;
  for (std::size_t in = 0; in < text.size();) {
    const std::string_view rest = std::string_view(text).substr(in);
    std::size_t length = 0;
    if (rest.starts_with(kRightQuote)) {
      length = kRightQuote.size();
    } else if (rest.starts_with(kModifierApostrophe)) {
      length = kModifierApostrophe.size();
    }
    if (length == 0) {
      text[out++] = text[in++];
      continue;
    }
    text[out++] = '\'';
    in += length;
  }
  text.resize(out);
}

void CCustomDictionary::RebuildFolded() {
  m_foldedWords.DeleteAll();
  for (const std::string& entry : m_words) {
    if (HasTypographicApostrophe(entry)) {
      std::string folded = entry;
      FoldApostrophes(folded);
      m_foldedWords.Add(std::move(folded));
    }
  }
  SortUnique(m_foldedWords);
  RebuildFilter();
}

void CCustomDictionary::RebuildFilter() {
  // Room for one entry at least: an empty list's filter then turns every word away,
  // where an empty filter would let every word through to the search.
  m_filter.Reset(std::max<std::size_t>(1, m_words.GetCount() + m_foldedWords.GetCount()));
  m_marked = 0;
  for (const std::string& entry : m_words) {
    Mark(entry);
  }
  for (const std::string& entry : m_foldedWords) {
    Mark(entry);
  }
}

void CCustomDictionary::Mark(std::string_view entry) {
  m_filter.Mark(HashKey(entry));
  ++m_marked;
}
