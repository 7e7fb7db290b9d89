#include "checking/BadWord.h"

#include "checking/BadWordsList.h"

#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

namespace {

/// Folder and name without case, then line, then start.
bool LocationLess(const CBadWordLoc& a, const CBadWordLoc& b) {
  // Locations of one file are the common case: equal bytes need no case folding.
  if (a.IsInFileOf(b)) {
    return a.line != b.line ? a.line < b.line : a.start < b.start;
  }
  if (const int byDir = CStringUtils::CompareNoCase(a.GetDirectory(), b.GetDirectory());
      byDir != 0) {
    return byDir < 0;
  }
  if (const int byName = CStringUtils::CompareNoCase(a.GetFileName(), b.GetFileName());
      byName != 0) {
    return byName < 0;
  }
  if (a.line != b.line) {
    return a.line < b.line;
  }
  return a.start < b.start;
}

bool SameFile(const CBadWordLoc& a, const CBadWordLoc& b) {
  return a.IsInFileOf(b);
}

/// The file part of the location order: folder, then name, both without case.
int CompareFiles(const CBadWordLoc& a, const CBadWordLoc& b) {
  if (const int byDir = CStringUtils::CompareNoCase(a.GetDirectory(), b.GetDirectory());
      byDir != 0) {
    return byDir;
  }
  return CStringUtils::CompareNoCase(a.GetFileName(), b.GetFileName());
}

} // namespace

CBadWord::CBadWord(std::string word) : m_word(std::move(word)) {}

bool CBadWord::AddLocation(const std::string& path, int line, int start, int end,
                           std::string_view context) {
  return AddLocation(CDirUtils::ParsePathFromFile(path),
                     CFileUtils::ParseFileNameFromPath(path, true), line, start, end, context);
}

bool CBadWord::AddLocation(std::string_view directory, std::string_view fileName, int line,
                           int start, int end, std::string_view context) {
  const bool hadFile =
      std::any_of(m_locations.begin(), m_locations.end(), [&](const CBadWordLoc& loc) {
        return loc.file != nullptr && loc.file->Is(directory, fileName);
      });
  const std::shared_ptr<CBadWordFile> file = CBadWordFile::Make(directory, fileName);
  const CBadWordFile::SExcerpt excerpt = file->AddExcerpt(context);
  AppendLocation(file, line, start, end, excerpt);
  return hadFile;
}

void CBadWord::AppendLocation(std::shared_ptr<const CBadWordFile> file, int line, int start,
                              int end, CBadWordFile::SExcerpt excerpt) {
  CBadWordLoc location;
  location.line = line;
  location.start = start;
  location.end = end;
  location.excerpt = excerpt;
  location.file = std::move(file);
  m_locations.AddTail(std::move(location));
  if (m_owner != nullptr) {
    const CBadWordFile& added = *m_locations.m_items.back().file;
    m_owner->IndexFile(this, added.GetDirectory(), added.GetFileName());
  }
}

bool CBadWord::HasFile(std::string_view path) const {
  return std::any_of(m_locations.begin(), m_locations.end(),
                     [&](const CBadWordLoc& loc) { return loc.HasFullPath(path); });
}

bool CBadWord::RemoveLocationsOfFile(std::string_view path) {
  auto& items = m_locations.m_items;
  std::size_t index = 0;
  std::size_t removedFromSorted = 0;
  bool removed = false;
  for (auto it = items.begin(); it != items.end(); ++index) {
    if (!it->HasFullPath(path)) {
      ++it;
      continue;
    }
    removedFromSorted += index < m_sortedCount ? 1 : 0;
    it = items.erase(it);
    removed = true;
  }
  // Removing keeps the rest in order, but file runs may have lost their first node.
  m_sortedCount -= removedFromSorted;
  if (removed) {
    m_fileStartsValid = false;
  }
  return removed;
}

int CBadWord::CountFiles() const {
  // Paths are compared exactly: on Linux two names that differ in case are two files.
  std::vector<const CBadWordLoc*> files;
  files.reserve(m_locations.m_items.size());
  for (const CBadWordLoc& loc : m_locations) {
    files.push_back(&loc);
  }
  const auto less = [](const CBadWordLoc* a, const CBadWordLoc* b) {
    return std::tie(a->GetDirectory(), a->GetFileName()) <
           std::tie(b->GetDirectory(), b->GetFileName());
  };
  std::sort(files.begin(), files.end(), less);
  const auto same = [](const CBadWordLoc* a, const CBadWordLoc* b) { return SameFile(*a, *b); };
  return static_cast<int>(std::unique(files.begin(), files.end(), same) - files.begin());
}

std::string CBadWord::NextFile(CBadWordsLocList::const_iterator& cursor) const {
  if (cursor == m_locations.end()) {
    return {};
  }
  const CBadWordLoc& current = *cursor;
  std::string path = current.GetFullPath();
  while (cursor != m_locations.end() && SameFile(*cursor, current)) {
    ++cursor;
  }
  return path;
}

std::string CBadWord::GetContextInFile(std::string_view path) const {
  for (const CBadWordLoc& loc : m_locations) {
    if (loc.HasFullPath(path)) {
      return std::string(loc.GetContext());
    }
  }
  return {};
}

void CBadWord::SortLocations() {
  auto& items = m_locations.m_items;
  if (m_sortedCount >= items.size()) {
    m_sortedCount = items.size();
    return;
  }
  // Sort the new tail on its own and put it in: stable, relinking the list's own nodes
  // (no allocation). A tail that is one new file's run (what the scan adds) goes to its
  // place by a binary search; anything else is merged, linear in the old part.
  CBadWordsLocList::Items tail;
  tail.splice(tail.begin(), items,
              std::prev(items.end(), static_cast<std::ptrdiff_t>(items.size() - m_sortedCount)),
              items.end());
  // One file's run comes in order from the scan: checking that costs fewer comparisons
  // than sorting it.
  if (!std::is_sorted(tail.begin(), tail.end(), LocationLess)) {
    tail.sort(LocationLess);
  }
  if (items.empty() || !LocationLess(tail.front(), items.back())) {
    const auto first = tail.begin();
    items.splice(items.end(), tail);
    if (m_fileStartsValid) {
      AddFileStarts(first);
    }
  } else if (!InsertFileRun(tail)) {
    items.merge(tail, LocationLess);
    RebuildFileStarts();
  }
  m_sortedCount = items.size();
}

void CBadWord::AddFileStarts(CBadWordsLocList::iterator first) {
  auto& items = m_locations.m_items;
  for (auto it = first; it != items.end(); ++it) {
    if (it == items.begin() || !SameFile(*std::prev(it), *it)) {
      m_fileStarts.push_back(it);
    }
  }
}

bool CBadWord::InsertFileRun(CBadWordsLocList::Items& run) {
  if (!m_fileStartsValid || run.empty() || !SameFile(run.front(), run.back())) {
    return false;
  }
  const CBadWordLoc& added = run.front();
  // The first file run that sorts after the new one.
  const auto after =
      std::upper_bound(m_fileStarts.begin(), m_fileStarts.end(), added,
                       [](const CBadWordLoc& loc, const CBadWordsLocList::iterator& start) {
                         return CompareFiles(loc, *start) < 0;
                       });
  // The same file, or one whose name differs in case only, already has locations: its
  // lines interleave with the new ones, which takes a real merge.
  if (after != m_fileStarts.begin() && CompareFiles(added, **std::prev(after)) == 0) {
    return false;
  }
  auto& items = m_locations.m_items;
  const auto position = after == m_fileStarts.end() ? items.end() : *after;
  const auto first = run.begin();
  items.splice(position, run);
  m_fileStarts.insert(after, first);
  return true;
}

void CBadWord::RebuildFileStarts() {
  m_fileStarts.clear();
  AddFileStarts(m_locations.m_items.begin());
  m_fileStartsValid = true;
}
