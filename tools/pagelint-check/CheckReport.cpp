#include "pagelint-check/CheckReport.h"

#include "utilcore/StringUtils.h"

#include <algorithm>
#include <numeric>
#include <tuple>

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
                              std::string_view context) {
  // A file that changed or vanished since its check leaves only the byte offsets.
  const bool fits = lineText != nullptr && start >= 0 && end >= start &&
                    static_cast<std::size_t>(end) <= lineText->size();
  const int column = fits ? CountCharacters(*lineText, static_cast<std::size_t>(start)) : start;
  const int endColumn = fits ? CountCharacters(*lineText, static_cast<std::size_t>(end)) : end;
  AddFinding(word, root, fullPath, lineIndex, start, end, column, endColumn, context);
}

void CCheckReport::Keep(std::shared_ptr<const void> owner) {
  if (owner != nullptr && m_keptIndex.insert(owner.get()).second) {
    m_kept.push_back(std::move(owner));
  }
}

std::vector<int> CCheckReport::FileRanks() const {
  std::vector<int> byPath(m_paths.size());
  std::iota(byPath.begin(), byPath.end(), 0);
  std::sort(byPath.begin(), byPath.end(), [this](int a, int b) {
    return m_paths[static_cast<std::size_t>(a)] < m_paths[static_cast<std::size_t>(b)];
  });
  std::vector<int> ranks(m_paths.size());
  int rank = 0;
  for (std::size_t k = 0; k < byPath.size(); ++k) {
    if (k > 0 && m_paths[static_cast<std::size_t>(byPath[k])] !=
                     m_paths[static_cast<std::size_t>(byPath[k - 1])]) {
      ++rank;
    }
    ranks[static_cast<std::size_t>(byPath[k])] = rank;
  }
  return ranks;
}

bool CCheckReport::Before(const std::vector<int>& ranks, const Location& a, const Location& b) {
  const int fileA = ranks[static_cast<std::size_t>(a.fileIndex)];
  const int fileB = ranks[static_cast<std::size_t>(b.fileIndex)];
  return std::tie(a.root, fileA, a.line, a.column, a.start) <
         std::tie(b.root, fileB, b.line, b.column, b.start);
}

int CCheckReport::FileIndex(int root, std::string_view fullPath) {
  // Findings come file by file: the last file is most often the one asked for again.
  const std::string rootKey = std::to_string(root);
  if (m_lastFile >= 0 && m_fileKey.size() == rootKey.size() + 1 + fullPath.size() &&
      m_fileKey.starts_with(rootKey) && m_fileKey[rootKey.size()] == '\0' &&
      std::string_view(m_fileKey).substr(rootKey.size() + 1) == fullPath) {
    return m_lastFile;
  }
  m_fileKey.assign(rootKey).append(1, '\0').append(fullPath);
  const auto [entry, added] = m_fileIndex.try_emplace(m_fileKey, static_cast<int>(m_paths.size()));
  if (added) {
    std::string_view relative = fullPath;
    if (root >= 0 && root < static_cast<int>(m_roots.size()) &&
        relative.starts_with(m_roots[root].directory)) {
      relative.remove_prefix(m_roots[root].directory.size());
    }
    m_paths.emplace_back(relative);
  }
  m_lastFile = entry->second;
  return m_lastFile;
}

void CCheckReport::AddFinding(Word& word, int root, std::string_view fullPath, int lineIndex,
                              int start, int end, int column, int endColumn,
                              std::string_view context) {
  Location location;
  location.root = root;
  location.fileIndex = FileIndex(root, fullPath);
  location.line = lineIndex + 1;
  location.start = start;
  location.end = end;
  location.column = column + 1;
  location.endColumn = endColumn + 1;
  location.context = context;
  word.locations.push_back(location);
  ++m_occurrences;
}

void CCheckReport::Sort() {
  std::sort(m_words.begin(), m_words.end(),
            [](const Word& a, const Word& b) { return a.text < b.text; });
  m_wordIndex.clear();
  const std::vector<int> ranks = FileRanks();
  const auto before = [&ranks](const Location& a, const Location& b) {
    return Before(ranks, a, b);
  };
  for (std::size_t i = 0; i < m_words.size(); ++i) {
    m_wordIndex.emplace(m_words[i].text, i);
    std::sort(m_words[i].locations.begin(), m_words[i].locations.end(), before);
  }
}

std::vector<CCheckReport::Finding> CCheckReport::GetFindings() const {
  const std::vector<int> ranks = FileRanks();
  const std::size_t rankCount =
      ranks.empty() ? 0
                    : static_cast<std::size_t>(*std::max_element(ranks.begin(), ranks.end())) + 1;
  bool rootsKnown = true;
  for (const Word& word : m_words) {
    for (const Location& location : word.locations) {
      rootsKnown = rootsKnown && location.root >= 0 &&
                   static_cast<std::size_t>(location.root) < m_roots.size();
    }
  }
  if (!rootsKnown) {
    return SortedFindings(ranks);
  }
  // One counting pass puts the findings in root and file order; only each file's own
  // findings are then sorted, by place and word, with no file in the comparison.
  const auto groupOf = [&ranks, rankCount](const Location& location) {
    return static_cast<std::size_t>(location.root) * rankCount +
           static_cast<std::size_t>(ranks[static_cast<std::size_t>(location.fileIndex)]);
  };
  std::vector<std::size_t> ends(m_roots.size() * rankCount + 1, 0);
  std::size_t count = 0;
  for (const Word& word : m_words) {
    for (const Location& location : word.locations) {
      ++ends[groupOf(location) + 1];
      ++count;
    }
  }
  std::partial_sum(ends.begin(), ends.end(), ends.begin());
  std::vector<Finding> findings(count);
  for (const Word& word : m_words) {
    for (const Location& location : word.locations) {
      findings[ends[groupOf(location)]++] = Finding{&word, &location};
    }
  }
  const auto inFile = [](const Finding& a, const Finding& b) {
    const Location& x = *a.location;
    const Location& y = *b.location;
    if (std::tie(x.line, x.column, x.start) != std::tie(y.line, y.column, y.start)) {
      return std::tie(x.line, x.column, x.start) < std::tie(y.line, y.column, y.start);
    }
    return a.word->text < b.word->text;
  };
  // Each group now ends where the next one began.
  std::size_t begin = 0;
  for (std::size_t group = 0; group + 1 < ends.size(); ++group) {
    const auto first = findings.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto last = findings.begin() + static_cast<std::ptrdiff_t>(ends[group]);
    std::sort(first, last, inFile);
    begin = ends[group];
  }
  return findings;
}

std::vector<CCheckReport::Finding>
CCheckReport::SortedFindings(const std::vector<int>& ranks) const {
  std::vector<Finding> findings;
  findings.reserve(static_cast<std::size_t>(m_occurrences));
  for (const Word& word : m_words) {
    for (const Location& location : word.locations) {
      findings.push_back(Finding{&word, &location});
    }
  }
  std::sort(findings.begin(), findings.end(), [&ranks](const Finding& a, const Finding& b) {
    if (Before(ranks, *a.location, *b.location)) {
      return true;
    }
    if (Before(ranks, *b.location, *a.location)) {
      return false;
    }
    return a.word->text < b.word->text;
  });
  return findings;
}

std::string CCheckReport::DisplayPath(const Location& location) const {
  if (m_roots.size() <= 1 || location.root < 0 ||
      location.root >= static_cast<int>(m_roots.size())) {
    return FileOf(location);
  }
  std::string path = m_roots[location.root].given;
  if (!path.empty() && path.back() != '/') {
    path += '/';
  }
  return path + FileOf(location);
}

int CCheckReport::CountCharacters(std::string_view text, std::size_t bytes) {
  return CStringUtils::CountCharacters(text, bytes);
}
