#include "pagelint-check/CheckReport.h"

#include "checking/BadWord.h"
#include "checking/BadWordsList.h"

#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <numeric>
#include <span>
#include <tuple>

CCheckReport::CCheckReport() = default;
CCheckReport::~CCheckReport() = default;
CCheckReport::CCheckReport(CCheckReport&&) noexcept = default;
CCheckReport& CCheckReport::operator=(CCheckReport&&) noexcept = default;

int CCheckReport::AddRoot(std::string given, std::string directory) {
  m_roots.push_back(Root{std::move(given), std::move(directory)});
  return static_cast<int>(m_roots.size()) - 1;
}

void CCheckReport::TakeFindings(int root, CBadWordsList& words) {
  if (root < 0 || root >= static_cast<int>(m_roots.size())) {
    return;
  }
  m_batches.push_back(SBatch{root, words.TakeWords()});
}

void CCheckReport::AddFinding(std::string_view word, int root, std::string_view fullPath,
                              const std::string* lineText, int lineIndex, int start, int end,
                              std::string_view context) {
  // A file that changed or vanished since its check leaves only the byte offsets.
  const bool fits = lineText != nullptr && start >= 0 && end >= start &&
                    static_cast<std::size_t>(end) <= lineText->size();
  const int column = fits ? CountCharacters(*lineText, static_cast<std::size_t>(start)) : start;
  const int endColumn = fits ? CountCharacters(*lineText, static_cast<std::size_t>(end)) : end;
  AddFinding(word, root, fullPath, lineIndex, start, end, column, endColumn, context);
}

void CCheckReport::AddFinding(std::string_view word, int root, std::string_view fullPath,
                              int lineIndex, int start, int end, int column, int endColumn,
                              std::string_view context) {
  if (root < 0 || root >= static_cast<int>(m_roots.size())) {
    return;
  }
  m_added.resize(m_roots.size());
  std::unique_ptr<CBadWordsList>& list = m_added[static_cast<std::size_t>(root)];
  if (list == nullptr) {
    list = std::make_unique<CBadWordsList>();
  }
  const std::size_t slash = fullPath.rfind('/');
  const std::size_t split = slash == std::string_view::npos ? 0 : slash + 1;
  CBadWordsList::SFileFindings found{
      std::string(word),
      {CBadWordsList::SFoundLocation{lineIndex, start, end, column, endColumn,
                                     std::string(context)}}};
  list->RecordFileFindings(fullPath.substr(0, split), fullPath.substr(split),
                           std::span<CBadWordsList::SFileFindings>(&found, 1));
}

std::uint32_t CCheckReport::FileId(int root, const CBadWordLoc& location) {
  const CBadWordFile* file = location.file.get();
  if (file == m_lastFile && !m_files.empty()) {
    return m_lastFileId;
  }
  const auto [entry, added] =
      m_fileIds.try_emplace(file, static_cast<std::uint32_t>(m_files.size()));
  if (added) {
    std::string relative = location.GetFullPath();
    const std::string& directory = m_roots[static_cast<std::size_t>(root)].directory;
    if (relative.starts_with(directory)) {
      relative.erase(0, directory.size());
    }
    m_files.push_back(SFile{root, std::move(relative)});
  }
  m_lastFile = file;
  m_lastFileId = entry->second;
  return m_lastFileId;
}

std::uint32_t CCheckReport::KnownFileId(const CBadWordFile* file) const {
  return m_fileIds.find(file)->second;
}

void CCheckReport::RankFiles() {
  std::vector<std::uint32_t> byPath(m_files.size());
  std::iota(byPath.begin(), byPath.end(), 0U);
  std::sort(byPath.begin(), byPath.end(), [this](std::uint32_t a, std::uint32_t b) {
    return m_files[a].relative < m_files[b].relative;
  });
  std::uint32_t rank = 0;
  for (std::size_t k = 0; k < byPath.size(); ++k) {
    if (k > 0 && m_files[byPath[k]].relative != m_files[byPath[k - 1]].relative) {
      ++rank;
    }
    m_files[byPath[k]].rank = rank;
  }
  m_rankCount = byPath.empty() ? 0 : rank + 1;
}

void CCheckReport::CountMissingColumns(
    const std::unordered_map<std::string, std::vector<const CBadWordLoc*>>& byFile) {
  std::vector<std::string> lines;
  for (const auto& [path, locations] : byFile) {
    lines.clear();
    CFileUtils::ReadFileContent(path, lines);
    for (const CBadWordLoc* location : locations) {
      const std::size_t line = static_cast<std::size_t>(location->line);
      const std::string* text = location->line >= 0 && line < lines.size() ? &lines[line] : nullptr;
      // A file that changed or vanished since its check leaves only the byte offsets.
      const bool fits = text != nullptr && location->start >= 0 &&
                        location->end >= location->start &&
                        static_cast<std::size_t>(location->end) <= text->size();
      m_columns[location] =
          fits ? std::pair(CountCharacters(*text, static_cast<std::size_t>(location->start)),
                           CountCharacters(*text, static_cast<std::size_t>(location->end)))
               : std::pair(location->start, location->end);
    }
  }
}

std::pair<int, int> CCheckReport::ColumnsOf(const CBadWordLoc& location) const {
  if (location.column >= 0 && location.endColumn >= 0) {
    return {location.column, location.endColumn};
  }
  const auto found = m_columns.find(&location);
  return found != m_columns.end() ? found->second : std::pair(location.start, location.end);
}

void CCheckReport::Sort() {
  for (std::size_t root = 0; root < m_added.size(); ++root) {
    if (m_added[root] != nullptr) {
      m_batches.push_back(SBatch{static_cast<int>(root), m_added[root]->TakeWords()});
    }
  }
  m_added.clear();
  m_parts.clear();
  for (const SBatch& batch : m_batches) {
    for (const std::unique_ptr<CBadWord>& word : batch.words) {
      m_parts.push_back(SWordPart{word.get(), batch.root, 0});
    }
  }
  std::stable_sort(m_parts.begin(), m_parts.end(), [](const SWordPart& a, const SWordPart& b) {
    return std::tie(a.word->GetWord(), a.root) < std::tie(b.word->GetWord(), b.root);
  });
  m_words.clear();
  m_occurrences = 0;
  // The check counted the columns editors show; a location without them (none so far)
  // has its file read once more, each file once.
  std::unordered_map<std::string, std::vector<const CBadWordLoc*>> missing;
  for (SWordPart& part : m_parts) {
    if (m_words.empty() || m_words.back().text != part.word->GetWord()) {
      m_words.push_back(SWord{part.word->GetWord(), part.root, {}});
    }
    part.index = static_cast<std::uint32_t>(m_words.size() - 1);
    for (const CBadWordLoc& location : part.word->GetLocations()) {
      ++m_files[FileId(part.root, location)].count;
      ++m_occurrences;
      if (location.column < 0 || location.endColumn < 0) {
        missing[location.GetFullPath()].push_back(&location);
      }
    }
  }
  RankFiles();
  CountMissingColumns(missing);
}

template <typename Less>
void CCheckReport::SortRuns(std::vector<Entry>& entries, const std::vector<std::size_t>& ends,
                            Less less) {
  std::size_t begin = 0;
  for (const std::size_t end : ends) {
    std::sort(entries.begin() + static_cast<std::ptrdiff_t>(begin),
              entries.begin() + static_cast<std::ptrdiff_t>(end), less);
    begin = end;
  }
}

std::vector<CCheckReport::Entry> CCheckReport::ByPlace() const {
  // One counting pass puts the findings in root and file order; only each file's own
  // findings are then sorted, by place and word, with no file in the comparison.
  const auto groupOf = [this](std::uint32_t file) {
    return static_cast<std::size_t>(m_files[file].root) * m_rankCount + m_files[file].rank;
  };
  std::vector<std::size_t> ends(m_roots.size() * m_rankCount, 0);
  for (std::uint32_t file = 0; file < m_files.size(); ++file) {
    ends[groupOf(file)] += m_files[file].count;
  }
  std::exclusive_scan(ends.begin(), ends.end(), ends.begin(), std::size_t{0});
  std::vector<Entry> entries(static_cast<std::size_t>(m_occurrences));
  for (const SWordPart& part : m_parts) {
    const CBadWordFile* lastFile = nullptr;
    std::uint32_t file = 0;
    for (const CBadWordLoc& location : part.word->GetLocations()) {
      if (lastFile == nullptr || location.file.get() != lastFile) {
        lastFile = location.file.get();
        file = KnownFileId(lastFile);
      }
      entries[ends[groupOf(file)]++] = Entry{&location, part.index, file};
    }
  }
  // Each group now ends where the next one began.
  SortRuns(entries, ends, [this](const Entry& a, const Entry& b) {
    const int columnA = ColumnsOf(*a.location).first;
    const int columnB = ColumnsOf(*b.location).first;
    return std::tie(a.location->line, columnA, a.location->start, a.word) <
           std::tie(b.location->line, columnB, b.location->start, b.word);
  });
  return entries;
}

std::vector<CCheckReport::Entry> CCheckReport::ByWord() const {
  std::vector<std::size_t> ends(m_words.size(), 0);
  for (const SWordPart& part : m_parts) {
    ends[part.index] += static_cast<std::size_t>(part.word->GetLocations().GetCount());
  }
  std::exclusive_scan(ends.begin(), ends.end(), ends.begin(), std::size_t{0});
  std::vector<Entry> entries(static_cast<std::size_t>(m_occurrences));
  for (const SWordPart& part : m_parts) {
    const CBadWordFile* lastFile = nullptr;
    std::uint32_t file = 0;
    for (const CBadWordLoc& location : part.word->GetLocations()) {
      if (lastFile == nullptr || location.file.get() != lastFile) {
        lastFile = location.file.get();
        file = KnownFileId(lastFile);
      }
      entries[ends[part.index]++] = Entry{&location, part.index, file};
    }
  }
  SortRuns(entries, ends, [this](const Entry& a, const Entry& b) {
    const SFile& fileA = m_files[a.file];
    const SFile& fileB = m_files[b.file];
    const int columnA = ColumnsOf(*a.location).first;
    const int columnB = ColumnsOf(*b.location).first;
    return std::tie(fileA.root, fileA.rank, a.location->line, columnA, a.location->start) <
           std::tie(fileB.root, fileB.rank, b.location->line, columnB, b.location->start);
  });
  return entries;
}

CCheckReport::Finding CCheckReport::At(const Entry& entry) const {
  const CBadWordLoc& location = *entry.location;
  const auto [column, endColumn] = ColumnsOf(location);
  Finding finding;
  finding.word = m_words[entry.word].text;
  finding.wordIndex = entry.word;
  finding.root = m_files[entry.file].root;
  finding.file = static_cast<int>(entry.file);
  finding.line = location.line + 1;
  finding.column = column + 1;
  finding.endColumn = endColumn + 1;
  finding.start = location.start;
  finding.end = location.end;
  finding.context = location.GetContext();
  return finding;
}

std::string CCheckReport::DisplayPath(int file) const {
  const SFile& entry = m_files[static_cast<std::size_t>(file)];
  if (m_roots.size() <= 1) {
    return entry.relative;
  }
  std::string path = m_roots[static_cast<std::size_t>(entry.root)].given;
  if (!path.empty() && path.back() != '/') {
    path += '/';
  }
  return path + entry.relative;
}

int CCheckReport::CountCharacters(std::string_view text, std::size_t bytes) {
  return CStringUtils::CountCharacters(text, bytes);
}
