#include "pagelint-check/CheckReport.h"

#include "utilcore/StringUtils.h"

#include <algorithm>
#include <tuple>

namespace {

bool LocationBefore(const CCheckReport::Location& a, const CCheckReport::Location& b) {
  return std::tie(a.root, a.file, a.line, a.column, a.start) <
         std::tie(b.root, b.file, b.line, b.column, b.start);
}

} // namespace

int CCheckReport::AddRoot(std::string given, std::string directory) {
  m_roots.push_back(Root{std::move(given), std::move(directory)});
  return static_cast<int>(m_roots.size()) - 1;
}

CCheckReport::Word& CCheckReport::FindOrAddWord(const std::string& text, bool& isNew) {
  const auto [entry, inserted] = m_wordIndex.try_emplace(text, m_words.size());
  isNew = inserted;
  if (inserted) {
    m_words.push_back(Word{text, {}, {}});
  }
  return m_words[entry->second];
}

void CCheckReport::AddFinding(Word& word, int root, std::string_view fullPath,
                              const std::string* lineText, int lineIndex, int start, int end,
                              std::string context) {
  // A file that changed or vanished since its check leaves only the byte offsets.
  const bool fits = lineText != nullptr && start >= 0 && end >= start &&
                    static_cast<std::size_t>(end) <= lineText->size();
  const int column = fits ? CountCharacters(*lineText, static_cast<std::size_t>(start)) : start;
  const int endColumn = fits ? CountCharacters(*lineText, static_cast<std::size_t>(end)) : end;
  AddFinding(word, root, fullPath, lineIndex, start, end, column, endColumn, std::move(context));
}

void CCheckReport::AddFinding(Word& word, int root, std::string_view fullPath, int lineIndex,
                              int start, int end, int column, int endColumn, std::string context) {
  Location location;
  location.root = root;
  std::string_view relative = fullPath;
  if (root >= 0 && root < static_cast<int>(m_roots.size()) &&
      relative.starts_with(m_roots[root].directory)) {
    relative.remove_prefix(m_roots[root].directory.size());
  }
  location.file = std::string(relative);
  location.line = lineIndex + 1;
  location.start = start;
  location.end = end;
  location.column = column + 1;
  location.endColumn = endColumn + 1;
  location.context = std::move(context);
  word.locations.push_back(std::move(location));
  ++m_occurrences;
}

void CCheckReport::Sort() {
  std::sort(m_words.begin(), m_words.end(),
            [](const Word& a, const Word& b) { return a.text < b.text; });
  m_wordIndex.clear();
  for (std::size_t i = 0; i < m_words.size(); ++i) {
    m_wordIndex.emplace(m_words[i].text, i);
    std::sort(m_words[i].locations.begin(), m_words[i].locations.end(), LocationBefore);
  }
}

std::vector<CCheckReport::Finding> CCheckReport::GetFindings() const {
  std::vector<Finding> findings;
  findings.reserve(static_cast<std::size_t>(m_occurrences));
  for (const Word& word : m_words) {
    for (const Location& location : word.locations) {
      findings.push_back(Finding{&word, &location});
    }
  }
  std::sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    if (LocationBefore(*a.location, *b.location)) {
      return true;
    }
    if (LocationBefore(*b.location, *a.location)) {
      return false;
    }
    return a.word->text < b.word->text;
  });
  return findings;
}

std::string CCheckReport::DisplayPath(const Location& location) const {
  if (m_roots.size() <= 1 || location.root < 0 ||
      location.root >= static_cast<int>(m_roots.size())) {
    return location.file;
  }
  std::string path = m_roots[location.root].given;
  if (!path.empty() && path.back() != '/') {
    path += '/';
  }
  return path + location.file;
}

int CCheckReport::CountCharacters(std::string_view text, std::size_t bytes) {
  return CStringUtils::CountCharacters(text, bytes);
}
