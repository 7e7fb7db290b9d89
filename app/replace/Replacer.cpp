#include "replace/Replacer.h"

#include "checking/BadWord.h"
#include "checking/BadWordsList.h"
#include "checking/PageScanner.h"
#include "mtcore/ReaderAccess.h"
#include "replace/BackupFolders.h"
#include "utilcore/AppLogger.h"
#include "utilcore/FileError.h"
#include "utilcore/FileStamp.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/TextFileCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <span>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

constexpr const char* kBackupFailedId = "{FA21A076-AB6A-4D0B-A498-FA8FA11992A0}";

// How far past a location the whole-word test may need to look: the character after
// the word, with the fillers of a decoded reference (the longest reference name is
// 33 bytes). A miss then never searches the rest of a long line.
constexpr std::size_t kLookAhead = 64;

struct SPlace {
  int line = 0;
  int start = 0;
  int end = 0;
};

/// The locations of one file, in line and start order.
struct SFileWork {
  std::string path;
  std::vector<SPlace> places;
};

/// What the replacement of one word needs, gathered once; plus buffers reused line by
/// line.
struct SJob {
  std::string word;
  std::string replacement;
  const std::string& backupFolder;
  std::size_t rootLength;
  std::vector<std::string>& backupsOut;
  SReplaceResult result;
  std::string pageLine;
  std::string rewritten;
  CPageScanner::EAttributeText attributeText = CPageScanner::EAttributeText::kSkipped;
};

// The file's lines as the check saw them, every byte at its offset: markup blanked
// (but the values of alt and title where the check read them), references decoded in
// place (fillers after them). A comment or script may span lines, so the whole file is
// converted, as the check does. Code samples are kept: a check that left them out
// recorded no place in them.
std::vector<std::string> MakePageLines(const std::vector<std::string>& lines,
                                       CPageScanner::EAttributeText attributeText) {
  std::vector<std::string> pageLines(lines);
  CPageScanner::MakePageText(pageLines, nullptr, CPageScanner::ECodeSamples::kChecked,
                             attributeText);
  return pageLines;
}

bool MatchesAt(std::string_view pageLine, std::string_view word, int start, int end) {
  if (word.empty() || start < 0 || end <= start ||
      static_cast<std::size_t>(end) > pageLine.size()) {
    return false;
  }
  const std::size_t from = static_cast<std::size_t>(start);
  const std::size_t length = static_cast<std::size_t>(end - start);
  const std::string_view window = pageLine.substr(0, from + length + kLookAhead);
  CStringUtils::Span found;
  return CStringUtils::FindOccurrenceFrom(window, word, from, true, found) && found.start == from &&
         found.length == length;
}

// The file's path below the project root: not empty, not absolute, and no "." or ".."
// part, so that its backup stays inside the project's backup folder.
bool IsPlainRelativePath(std::string_view relative) {
  if (relative.empty() || relative.front() == '/') {
    return false;
  }
  while (!relative.empty()) {
    const std::size_t slash = relative.find('/');
    const std::string_view part = relative.substr(0, slash);
    if (part.empty() || part == "." || part == "..") {
      return false;
    }
    relative.remove_prefix(slash == std::string_view::npos ? relative.size() : slash + 1);
  }
  return true;
}

// The folder that holds `folder` ("/a/b/" gives "/a/").
std::string ParentFolder(const std::string& folder) {
  std::string_view path = folder;
  while (path.size() > 1 && path.back() == '/') {
    path.remove_suffix(1);
  }
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// Finds the first free name base + "b" + n; a name held by anything, a dangling link
// included, is taken.
bool FindFreeBackupName(const std::string& base, std::string& name, std::string& error) {
  for (unsigned long n = 1;; ++n) {
    name = base + "b" + std::to_string(n);
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0) {
      continue;
    }
    if (errno == ENOENT) {
      return true;
    }
    error = CFileError::Describe("name the backup", name, errno);
    return false;
  }
}

// Copies the word's locations, grouped by exact full path in the order the files first
// appear. The list sorts paths without case, so "A.htm" and "a.htm" may interleave;
// grouping them apart keeps each file to one read and one write.
std::vector<SFileWork> CollectFiles(const CBadWordsList& list, const CBadWord& word,
                                    const std::vector<std::string>& chosenFiles, SJob& job) {
  const std::unordered_set<std::string_view> chosen(chosenFiles.begin(), chosenFiles.end());
  std::vector<SFileWork> files;
  std::unordered_map<std::string, std::size_t> indexByPath;
  {
    // The check may record or remove locations at any time; the lock is mutable state
    // even of a list only read here.
    CReaderAccess access(const_cast<CBadWordsList&>(list));
    job.word = word.GetWord();
    job.replacement = word.GetReplacement();
    for (const auto& location : word.GetLocations()) {
      std::string path = location.GetFullPath();
      if (!chosen.empty() && !chosen.contains(path)) {
        continue;
      }
      const auto [it, added] = indexByPath.try_emplace(std::move(path), files.size());
      if (added) {
        files.push_back({it->first, {}});
      }
      files[it->second].places.push_back({location.line, location.start, location.end});
    }
  }
  for (SFileWork& file : files) {
    std::stable_sort(file.places.begin(), file.places.end(), [](const SPlace& a, const SPlace& b) {
      return a.line != b.line ? a.line < b.line : a.start < b.start;
    });
  }
  return files;
}

// Replaces the word at the places of one line (sorted by start) that still hold it;
// returns how many did. Positions are checked against the line as read, so an earlier
// replacement on the line never changes what a later place is compared with.
int ReplaceInLine(std::string& line, const std::string& pageLine, std::span<const SPlace> places,
                  SJob& job) {
  job.pageLine.assign(pageLine);
  CPageScanner::BlankAddresses(job.pageLine);
  job.rewritten.clear();
  std::size_t copied = 0;
  int replaced = 0;
  for (const SPlace& place : places) {
    // A place overlapping one replaced already (a location recorded twice) is skipped.
    if (static_cast<std::size_t>(std::max(place.start, 0)) < copied ||
        !MatchesAt(job.pageLine, job.word, place.start, place.end)) {
      ++job.result.locationsSkipped;
      continue;
    }
    const auto start = static_cast<std::size_t>(place.start);
    job.rewritten.append(line, copied, start - copied);
    job.rewritten.append(job.replacement);
    copied = static_cast<std::size_t>(place.end);
    ++replaced;
  }
  if (replaced > 0) {
    job.rewritten.append(line, copied, std::string::npos);
    line.swap(job.rewritten);
  }
  return replaced;
}

// Applies the places to the decoded lines; returns how many were replaced.
int ReplaceInLines(std::vector<std::string>& lines, const std::vector<std::string>& pageLines,
                   const std::vector<SPlace>& places, SJob& job) {
  int replaced = 0;
  for (auto first = places.begin(); first != places.end();) {
    const int lineIndex = first->line;
    const auto last = std::find_if(first, places.end(),
                                   [lineIndex](const SPlace& p) { return p.line != lineIndex; });
    const std::span<const SPlace> run(first, last);
    if (lineIndex < 0 || static_cast<std::size_t>(lineIndex) >= lines.size()) {
      job.result.locationsSkipped += static_cast<int>(run.size());
    } else {
      const auto index = static_cast<std::size_t>(lineIndex);
      replaced += ReplaceInLine(lines[index], pageLines[index], run, job);
    }
    first = last;
  }
  return replaced;
}

void DropLastBackup(SJob& job) {
  std::string ignored;
  CFileUtils::DeleteFileA(job.backupsOut.back(), ignored, true);
  job.backupsOut.pop_back();
}

// Reads, rewrites, backs up and writes one file; the file is written only with a
// backup made, and changes only at the replaced places.
void ReplaceInFile(const SFileWork& file, SJob& job) {
  std::string bytes;
  std::string error;
  // A stamp that changes before the write shows another program saving the page
  // meanwhile; writing then would lose its edit.
  CFileStamp read;
  if (!CFileStamp::Of(file.path, read) || !CFileUtils::ReadFileBytes(file.path, bytes, error)) {
    ++job.result.filesLeftUnchanged;
    return;
  }
  std::vector<std::string> lines;
  CTextFileFormat format;
  CTextFileCodec::Decode(bytes, lines, format);
  if (format.encoding == CTextFileFormat::EEncoding::Binary) {
    // Became binary since it was checked: no text of it is ever written back.
    ++job.result.filesLeftUnchanged;
    return;
  }
  const int replaced =
      ReplaceInLines(lines, MakePageLines(lines, job.attributeText), file.places, job);
  if (replaced == 0) {
    ++job.result.filesWithoutMatch;
    return;
  }
  std::string rewritten;
  // A read-only file, or a replacement the file's encoding cannot hold, is refused
  // before any backup is made.
  if (!CFileUtils::IsFileWritable(file.path) ||
      !CTextFileCodec::Reencode(lines, bytes, rewritten, error) ||
      !CReplacer::BackupFile(file.path, job.backupFolder, job.rootLength, job.backupsOut)) {
    ++job.result.filesLeftUnchanged;
    return;
  }
  // Changed since it was read: neither the rewrite nor the backup is of its content.
  CFileStamp now;
  if (!CFileStamp::Of(file.path, now) || now != read ||
      !CFileUtils::WriteFileBytesAtomic(file.path, rewritten, error)) {
    // The file is as it was: an undo must not "restore" it from this backup.
    DropLastBackup(job);
    ++job.result.filesLeftUnchanged;
    return;
  }
  ++job.result.filesChanged;
  job.result.locationsReplaced += replaced;
}

} // namespace

SReplaceResult CReplacer::ReplaceInFiles(const CBadWordsList& list, const CBadWord& word,
                                         const std::string& backupFolder, std::size_t rootLength,
                                         const std::vector<std::string>& chosenFiles,
                                         std::vector<std::string>& backupsOut,
                                         CPageScanner::EAttributeText attributeText) {
  SJob job{{}, {}, backupFolder, rootLength, backupsOut, {}, {}, {}, attributeText};
  const std::vector<SFileWork> files = CollectFiles(list, word, chosenFiles, job);
  for (const SFileWork& file : files) {
    ReplaceInFile(file, job);
  }
  return job.result;
}

bool CReplacer::BackupFile(const std::string& path, const std::string& backupFolder,
                           std::size_t rootLength, std::vector<std::string>& backupsOut) {
  const auto refuse = [&path](const std::string& error) {
    CAppLogger::LogFileError(kBackupFailedId, path, error);
    return false;
  };
  if (rootLength > path.size() || !IsPlainRelativePath(std::string_view(path).substr(rootLength))) {
    return refuse(CFileError::Describe("back up", path, "it is not inside the project's folder"));
  }
  std::string error;
  const std::string root = ParentFolder(backupFolder);
  if (root.empty() || !CBackupFolders::PrepareRoot(root, error)) {
    return refuse(root.empty() ? CFileError::Describe("back up", backupFolder, "no backup folder")
                               : error);
  }
  std::string backup;
  if (!FindFreeBackupName(backupFolder + path.substr(rootLength), backup, error) ||
      !CBackupFolders::IsPathSafe(root, backup, error) ||
      !CFileUtils::CopyFileA(path, backup, error)) {
    return refuse(error);
  }
  backupsOut.push_back(std::move(backup));
  return true;
}

bool CReplacer::IsWordAt(const std::string& line, const std::string& word, int start, int end,
                         CPageScanner::EAttributeText attributeText) {
  std::vector<std::string> pageLines = MakePageLines({line}, attributeText);
  CPageScanner::BlankAddresses(pageLines.front());
  return MatchesAt(pageLines.front(), word, start, end);
}
