#include "pagelint-check/CheckReport.h"

#include "checking/BadWord.h"
#include "checking/BadWordsList.h"
#include "checking/CodeTokens.h"
#include "checking/LanguageNames.h"
#include "checking/RarePieces.h"

#include "pagelint-check/HelperTask.h"

#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <numeric>
#include <span>
#include <tuple>

namespace {
/// Below this many findings a second thread costs more than it saves.
constexpr std::size_t kEntriesForTwoThreads = 4096;
} // namespace

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
                              std::string_view context, EKind kind) {
  const auto [column, endColumn] = ColumnsInLine(lineText, start, end);
  AddFinding(word, root, fullPath, lineIndex, start, end, column, endColumn, context, kind);
}

void CCheckReport::AddFinding(std::string_view word, int root, std::string_view fullPath,
                              int lineIndex, int start, int end, int column, int endColumn,
                              std::string_view context, EKind kind) {
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
                                     std::string(context)}},
      kind == EKind::kRepeated ? 1 : 0,
      {}};
  list->RecordFileFindings(fullPath.substr(0, split), fullPath.substr(split),
                           std::span<CBadWordsList::SFileFindings>(&found, 1));
}

std::pair<int, int> CCheckReport::ColumnsInLine(const std::string* line, int start, int end) {
  // A file that changed or vanished since its check leaves only the byte offsets.
  if (line == nullptr || start < 0 || end < start || static_cast<std::size_t>(end) > line->size()) {
    return {start, end};
  }
  return {CountCharacters(*line, static_cast<std::size_t>(start)),
          CountCharacters(*line, static_cast<std::size_t>(end))};
}

std::uint32_t CCheckReport::FileId(int root, const CBadWordLoc& location) {
  const CBadWordFile* file = location.file.get();
  // Locations come from a few words at a time, each of them file after file: a small
  // table of recent files answers most without hashing.
  SRecentFile& recent =
      m_recentFiles[(reinterpret_cast<std::uintptr_t>(file) >> 4) % m_recentFiles.size()];
  if (recent.file == file && file != nullptr) {
    return recent.id;
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
  recent = SRecentFile{file, entry->second};
  return entry->second;
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
      m_columns[location] = ColumnsInLine(text, location->start, location->end);
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
  std::size_t count = 0;
  for (const SBatch& batch : m_batches) {
    for (const std::unique_ptr<CBadWord>& word : batch.words) {
      m_parts.push_back(SWordPart{word.get(), batch.root, 0});
      count += static_cast<std::size_t>(word->GetLocations().GetCount());
    }
  }
  // By text, then kind (kUnrecognized first), then root: the parts of one word meet.
  std::stable_sort(m_parts.begin(), m_parts.end(), [](const SWordPart& a, const SWordPart& b) {
    return std::make_tuple(std::string_view(a.word->GetWord()), KindOf(*a.word), a.root) <
           std::make_tuple(std::string_view(b.word->GetWord()), KindOf(*b.word), b.root);
  });
  LeaveOutCommonCode();
  m_words.clear();
  m_words.reserve(m_parts.size());
  m_entries.clear();
  m_entries.reserve(count);
  // The check counted the columns editors show; a location without them (none so far)
  // has its file read once more, each file once.
  std::unordered_map<std::string, std::vector<const CBadWordLoc*>> missing;
  m_repeatedWords = 0;
  for (SWordPart& part : m_parts) {
    const EKind kind = KindOf(*part.word);
    if (m_words.empty() || m_words.back().text != part.word->GetWord() ||
        m_words.back().kind != kind) {
      m_words.push_back(SWord{part.word->GetWord(), kind, part.root, {}});
      m_repeatedWords += kind == EKind::kRepeated ? 1 : 0;
    }
    part.index = static_cast<std::uint32_t>(m_words.size() - 1);
  }
  AddEntries(missing);
  m_occurrences = static_cast<int>(m_entries.size());
  RankFiles();
  CountMissingColumns(missing);
}

void CCheckReport::LeaveOutCommonCode() {
  // Judged again over every root: a piece is rare or common across the whole run, and
  // one word found under several roots is one word.
  const auto unrecognized = [this](std::string_view text) {
    const auto at = std::lower_bound(
        m_parts.begin(), m_parts.end(), std::make_tuple(text, EKind::kUnrecognized),
        [](const SWordPart& part, const std::tuple<std::string_view, EKind>& key) {
          return std::make_tuple(std::string_view(part.word->GetWord()), KindOf(*part.word)) < key;
        });
    return at != m_parts.end() && at->word->GetWord() == text &&
                   KindOf(*at->word) == EKind::kUnrecognized
               ? at->word
               : nullptr;
  };
  CRarePieces rare([&unrecognized](std::string_view key) {
    std::size_t count = 0;
    for (const std::string& form : CCodeTokens::PlainForms(key)) {
      count += unrecognized(form) != nullptr ? 1 : 0;
    }
    return count;
  });
  CBadWord* first = nullptr;
  for (const SWordPart& part : m_parts) {
    part.word->SetHidden(false);
    if (KindOf(*part.word) == EKind::kRepeated ||
        (first != nullptr && first->GetWord() == part.word->GetWord())) {
      continue;
    }
    first = part.word;
    rare.Add(first);
  }
  if (rare.HiddenCount() == 0) {
    return;
  }
  // The same text under another root follows the word that stood for it.
  for (const SWordPart& part : m_parts) {
    if (KindOf(*part.word) == EKind::kRepeated) {
      continue;
    }
    if (first == nullptr || first->GetWord() != part.word->GetWord()) {
      first = part.word;
    }
    part.word->SetHidden(first->IsHidden());
  }
  std::erase_if(m_parts, [](const SWordPart& part) { return part.word->IsHidden(); });
}

void CCheckReport::AddEntries(
    std::unordered_map<std::string, std::vector<const CBadWordLoc*>>& missing) {
  // The only walk over the check's own locations: each order sorts the entries. A
  // word's locations lie in blocks spread over the heap, and walked one after the
  // other each waits for memory; several words are walked at once instead, the next
  // block of each asked for ahead, so that those waits overlap.
  constexpr std::size_t kWalks = 16;
  struct SWalk {
    CBadWordsLocList::const_iterator at;
    CBadWordsLocList::const_iterator end;
    const SWordPart* part = nullptr;
  };
  std::array<SWalk, kWalks> walks;
  std::size_t active = 0;
  std::size_t nextPart = 0;
  const auto start = [&](SWalk& walk) {
    while (nextPart < m_parts.size()) {
      const SWordPart& part = m_parts[nextPart++];
      const CBadWordsLocList& locations = part.word->GetLocations();
      if (!locations.IsEmpty()) {
        walk = SWalk{locations.begin(), locations.end(), &part};
        __builtin_prefetch(&*walk.at);
        return true;
      }
    }
    return false;
  };
  while (active < kWalks && start(walks[active])) {
    ++active;
  }
  while (active > 0) {
    for (std::size_t k = 0; k < active;) {
      SWalk& walk = walks[k];
      const CBadWordLoc& location = *walk.at;
      m_entries.push_back(Entry{&location, walk.part->index, FileId(walk.part->root, location)});
      if (location.column < 0 || location.endColumn < 0) {
        missing[location.GetFullPath()].push_back(&location);
      }
      if (++walk.at != walk.end) {
        __builtin_prefetch(&*walk.at);
        ++k;
      } else if (!start(walk)) {
        walk = walks[--active];
      }
    }
  }
}

template <typename Group, typename Key>
void CCheckReport::Order(std::size_t groups, Group group, Key key) const {
  // Counted into place by swapping, so that the index is never held twice; then each
  // group is sorted by numbers read from its locations once.
  std::vector<std::size_t> next(groups + 1, 0);
  for (const Entry& entry : m_entries) {
    ++next[group(entry) + 1];
  }
  std::partial_sum(next.begin(), next.end(), next.begin());
  const std::vector<std::size_t> ends(next.begin() + 1, next.end());
  for (std::size_t g = 0; g < groups; ++g) {
    while (next[g] < ends[g]) {
      const std::size_t target = group(m_entries[next[g]]);
      if (target == g) {
        ++next[g];
      } else {
        std::swap(m_entries[next[g]], m_entries[next[target]++]);
      }
    }
  }
  if (m_entries.size() < kEntriesForTwoThreads) {
    SortGroups(ends, 0, groups, key, m_keyed);
    return;
  }
  // The groups are sorted on two threads, each about half of the entries.
  std::size_t split = 0;
  while (split < groups && ends[split] < m_entries.size() / 2) {
    ++split;
  }
  std::vector<SKeyed> otherKeyed;
  CHelperTask other([&] { SortGroups(ends, split, groups, key, otherKeyed); });
  SortGroups(ends, 0, split, key, m_keyed);
  other.Join();
}

template <typename Key>
void CCheckReport::SortGroups(const std::vector<std::size_t>& ends, std::size_t first,
                              std::size_t last, Key key, std::vector<SKeyed>& keyed) const {
  std::size_t begin = first == 0 ? 0 : ends[first - 1];
  for (std::size_t g = first; g < last; ++g) {
    const std::size_t end = ends[g];
    if (end - begin > 1) {
      keyed.clear();
      for (std::size_t k = begin; k < end; ++k) {
        if (k + kPrefetchAhead < end) {
          Prefetch(m_entries[k + kPrefetchAhead]);
        }
        keyed.push_back(SKeyed{key(m_entries[k]), m_entries[k]});
      }
      std::sort(keyed.begin(), keyed.end(),
                [](const SKeyed& a, const SKeyed& b) { return a.key < b.key; });
      for (std::size_t k = begin; k < end; ++k) {
        m_entries[k] = keyed[k - begin].entry;
      }
    }
    begin = end;
  }
}

CCheckReport::EKind CCheckReport::KindOf(const CBadWord& word) {
  return word.GetDuplicate() == 1 ? EKind::kRepeated : EKind::kUnrecognized;
}

std::uint64_t CCheckReport::Pair(int high, int low) {
  // Flipping the sign bit makes the unsigned order that of the signed numbers.
  constexpr std::uint32_t kSign = 0x80000000U;
  return (std::uint64_t{static_cast<std::uint32_t>(high) ^ kSign} << 32) |
         (static_cast<std::uint32_t>(low) ^ kSign);
}

const std::vector<CCheckReport::Entry>& CCheckReport::ByPlace() const {
  const auto group = [this](const Entry& entry) {
    const SFile& file = m_files[entry.file];
    return static_cast<std::size_t>(file.root) * m_rankCount + file.rank;
  };
  const auto key = [this](const Entry& entry) {
    const CBadWordLoc& location = *entry.location;
    return SKey{Pair(location.line, ColumnsOf(location).first),
                Pair(location.start, static_cast<int>(entry.word)), 0};
  };
  Order(m_roots.size() * m_rankCount, group, key);
  return m_entries;
}

const std::vector<CCheckReport::Entry>& CCheckReport::ByWord() const {
  const auto group = [](const Entry& entry) { return static_cast<std::size_t>(entry.word); };
  const auto key = [this](const Entry& entry) {
    const SFile& file = m_files[entry.file];
    const CBadWordLoc& location = *entry.location;
    return SKey{Pair(file.root, static_cast<int>(file.rank)),
                Pair(location.line, ColumnsOf(location).first), Pair(location.start, 0)};
  };
  Order(m_words.size(), group, key);
  return m_entries;
}

CCheckReport::Finding CCheckReport::At(const Entry& entry) const {
  const CBadWordLoc& location = *entry.location;
  const auto [column, endColumn] = ColumnsOf(location);
  const SWord& word = m_words[entry.word];
  Finding finding;
  finding.word = word.text;
  finding.wordIndex = entry.word;
  finding.kind = word.kind;
  finding.root = m_files[entry.file].root;
  finding.file = static_cast<int>(entry.file);
  finding.line = location.line + 1;
  finding.column = column + 1;
  finding.endColumn = endColumn + 1;
  finding.start = location.start;
  finding.end = location.end;
  finding.context = location.GetContext();
  if (location.language != CLanguageNames::kNone) {
    finding.language = CLanguageNames::Tag(location.language);
  }
  return finding;
}

void CCheckReport::AddUncheckedLanguages(
    const std::vector<CUncheckedLanguages::SLanguage>& languages) {
  for (const CUncheckedLanguages::SLanguage& language : languages) {
    const auto at = std::lower_bound(m_unchecked.begin(), m_unchecked.end(), language.tag,
                                     [](const CUncheckedLanguages::SLanguage& entry,
                                        const std::string& tag) { return entry.tag < tag; });
    if (at != m_unchecked.end() && at->tag == language.tag) {
      at->words += language.words;
    } else {
      m_unchecked.insert(at, language);
    }
  }
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
