#include "replace/Replacer.h"

#include "checking/BadWord.h"
#include "checking/BadWordsList.h"
#include "checking/PageScanner.h"
#include "mtcore/ReaderAccess.h"
#include "replace/BackupFolders.h"
#include "utilcore/AppLogger.h"
#include "utilcore/AtomicFile.h"
#include "utilcore/ContentFingerprint.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileError.h"
#include "utilcore/FileStamp.h"
#include "utilcore/FileUtils.h"
#include "utilcore/PageText.h"
#include "utilcore/SiteFile.h"
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
constexpr const char* kPageRefusedId = "{6E0B7F3A-93C4-4D15-8C2E-5B71A0D9E846}";
constexpr std::string_view kWordMoved = "the page changed since the check: the word is no longer "
                                        "where it was found";

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
  std::vector<CContentFingerprint>* writtenOut;
  SReplaceResult result;
  std::string pageLine;
  std::string rewritten;
  CPageScanner::EAttributeText attributeText = CPageScanner::EAttributeText::kSkipped;
  /// A repeated word replaced with nothing: the blank between it and the word it
  /// repeats goes with it.
  bool erasesRepeat = false;
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
std::vector<SFileWork> CollectFiles(const CBadWordsList& list, std::string_view text, int duplicate,
                                    const std::vector<std::string>& chosenFiles, SJob& job) {
  const std::unordered_set<std::string_view> chosen(chosenFiles.begin(), chosenFiles.end());
  std::vector<SFileWork> files;
  std::unordered_map<std::string, std::size_t> indexByPath;
  {
    // The check may record or remove locations at any time; the lock is mutable state
    // even of a list only read here.
    CReaderAccess access(const_cast<CBadWordsList&>(list));
    // Found under the access: a word a check deleted meanwhile is simply not there.
    const CBadWord* word = list.FindWord(text, duplicate);
    if (word == nullptr) {
      return files;
    }
    job.word = word->GetWord();
    job.replacement = word->GetReplacement();
    job.erasesRepeat = word->GetDuplicate() == 1 && job.replacement.empty();
    for (const auto& location : word->GetLocations()) {
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

// Appends characters of `text` from byte `from` up to byte where `count` of them are
// out in all (`written` counts those already out); returns where it stopped.
std::size_t AdvanceCharacters(const std::string& text, std::size_t from, std::size_t& written,
                              std::size_t count, std::string& out) {
  std::size_t at = from;
  for (; at < text.size() && written < count; ++written) {
    do {
      ++at;
    } while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80);
  }
  out.append(text, from, at - from);
  return at;
}

// Appends `replacement` for the word at [start, end) of `line`. Markup inside the word
// (the joiners of `pageLine`: inline tags, comments) stays: each piece after as many
// characters of the new word as it followed in the old one, or after the last when the
// new word is shorter. Everything else of the old word, character references included,
// gives way to the new one.
void AppendReplacement(const std::string& line, std::string_view pageLine, std::size_t start,
                       std::size_t end, const std::string& replacement, std::string& out) {
  const std::string_view word = pageLine.substr(start, end - start);
  if (word.find(CPageText::kJoiner) == std::string_view::npos) {
    out.append(replacement);
    return;
  }
  std::size_t characters = 0; // of the old word, before the current byte
  std::size_t written = 0;    // bytes of the replacement already out
  std::size_t writtenCharacters = 0;
  for (std::size_t i = 0; i < word.size();) {
    if (word[i] != CPageText::kJoiner) {
      const auto byte = static_cast<unsigned char>(word[i]);
      characters += (byte & 0xC0) != 0x80 && word[i] != CPageText::kFiller ? 1 : 0;
      ++i;
      continue;
    }
    std::size_t runEnd = i;
    while (runEnd < word.size() && word[runEnd] == CPageText::kJoiner) {
      ++runEnd;
    }
    written = AdvanceCharacters(replacement, written, writtenCharacters, characters, out);
    out.append(line, start + i, runEnd - i);
    i = runEnd;
  }
  out.append(replacement, written, std::string::npos);
}

// Whether the page text byte is part of a blank (white space, a no-break space, the
// fillers and joiners of page text).
bool IsBlankByte(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || CPageText::IsInvisible(c);
}

bool IsNoBreakSpace(std::string_view page, std::size_t at) {
  return at + 1 < page.size() && static_cast<unsigned char>(page[at]) == 0xC2 &&
         static_cast<unsigned char>(page[at + 1]) == 0xA0;
}

// The start of the blank run that ends at `at`, not before `floor`.
std::size_t BlankBefore(std::string_view page, std::size_t at, std::size_t floor) {
  while (at > floor) {
    if (IsBlankByte(page[at - 1])) {
      --at;
    } else if (at >= floor + 2 && IsNoBreakSpace(page, at - 2)) {
      at -= 2;
    } else {
      break;
    }
  }
  return at;
}

// The end of the blank run that starts at `at`.
std::size_t BlankAfter(std::string_view page, std::size_t at) {
  while (at < page.size()) {
    if (IsBlankByte(page[at])) {
      ++at;
    } else if (IsNoBreakSpace(page, at)) {
      at += 2;
    } else {
      break;
    }
  }
  return at;
}

// Appends what stays of the blank [begin, end) of `line` when the white space in it
// goes: markup that page text blanked stays whole, from its first byte to its last
// (with whatever lies between), so that no tag is ever cut.
void AppendMarkupOfGap(const std::string& line, std::string_view page, std::size_t begin,
                       std::size_t end, std::string& out) {
  const auto isMarkup = [&](std::size_t at) {
    return (page[at] == ' ' || page[at] == CPageText::kJoiner) && line[at] != page[at];
  };
  std::size_t first = begin;
  while (first < end && !isMarkup(first)) {
    ++first;
  }
  std::size_t last = end;
  while (last > first && !isMarkup(last - 1)) {
    --last;
  }
  out.append(line, first, last - first);
}

// Takes out the repeated word at [start, end) of `line` with the blank before it, or,
// when it starts the line, with the blank after it (the line's indent stays); markup
// in the blank or the word stays. Appends the line from `copied` on up to where it
// resumes, and returns that place.
std::size_t EraseRepeat(const std::string& line, std::string_view page, std::size_t copied,
                        std::size_t start, std::size_t end, std::string& out) {
  const std::size_t before = BlankBefore(page, start, copied);
  if (before > 0 || copied > 0) {
    out.append(line, copied, before - copied);
    AppendMarkupOfGap(line, page, before, start, out);
    AppendReplacement(line, page, start, end, {}, out);
    return end;
  }
  const std::size_t after = BlankAfter(page, end);
  out.append(line, copied, start - copied);
  AppendReplacement(line, page, start, end, {}, out);
  AppendMarkupOfGap(line, page, end, after, out);
  return after;
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
    const auto end = static_cast<std::size_t>(place.end);
    if (job.erasesRepeat) {
      copied = EraseRepeat(line, job.pageLine, copied, start, end, job.rewritten);
      ++replaced;
      continue;
    }
    job.rewritten.append(line, copied, start - copied);
    AppendReplacement(line, job.pageLine, start, end, job.replacement, job.rewritten);
    copied = end;
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

void LeaveUnchanged(SJob& job, const std::string& path, std::string reason) {
  ++job.result.filesLeftUnchanged;
  job.result.unchangedFiles.push_back({path, SUnchangedFile::EWhy::kNotWritten, std::move(reason)});
}

// The page below the root, reached without following a link out of it; a page that
// leads outside the root is refused and logged.
bool OpenPage(const std::string& path, const SJob& job, CSiteFile& page, std::string& error) {
  if (job.rootLength > path.size()) {
    error = CFileError::Describe("reach", path, "it is not inside the site's folder");
    return false;
  }
  if (page.Open(path.substr(0, job.rootLength), std::string_view(path).substr(job.rootLength),
                CSiteFile::EFolders::kMustExist, error)) {
    return true;
  }
  CAppLogger::LogFileError(kPageRefusedId, path, error);
  return false;
}

// Reads, rewrites, backs up and writes one file; the file is written only with a
// backup made, and changes only at the replaced places.
void ReplaceInFile(const SFileWork& file, SJob& job) {
  std::string bytes;
  std::string error;
  CSiteFile page;
  // The stamp of the page as read: a stamp that changes before the write shows another
  // program saving the page meanwhile (or the page swapped for another file), and
  // writing then would lose its edit.
  struct stat read {};
  if (!OpenPage(file.path, job, page, error) ||
      !page.Read(bytes, read, error, CFileUtils::kMaxTextFileBytes)) {
    LeaveUnchanged(job, file.path, error);
    return;
  }
  std::vector<std::string> lines;
  CTextFileFormat format;
  CTextFileCodec::Decode(bytes, lines, format);
  if (format.encoding == CTextFileFormat::EEncoding::Binary) {
    // Became binary since it was checked: no text of it is ever written back.
    LeaveUnchanged(job, file.path, "it is no longer a text file");
    return;
  }
  const int replaced =
      ReplaceInLines(lines, MakePageLines(lines, job.attributeText), file.places, job);
  if (replaced == 0) {
    ++job.result.filesWithoutMatch;
    job.result.unchangedFiles.push_back({file.path, SUnchangedFile::EWhy::kWordMoved,
                                         CFileError::Describe("change", file.path, kWordMoved)});
    return;
  }
  std::string rewritten;
  // A read-only file, or a replacement the file's encoding cannot hold, is refused
  // before any backup is made.
  if (!page.IsWritable()) {
    LeaveUnchanged(job, file.path,
                   CFileError::Describe("write", file.path, "the file is read-only"));
    return;
  }
  if (!CTextFileCodec::Reencode(lines, bytes, rewritten, error) ||
      !CReplacer::BackupBytes(file.path, bytes, read.st_mode, job.backupFolder, job.rootLength,
                              job.backupsOut, error)) {
    LeaveUnchanged(job, file.path, error);
    return;
  }
  const CFileStamp stamp = CFileStamp::From(read);
  if (!page.Write(rewritten, &stamp, error)) {
    // The file is as it was: an undo must not "restore" it from this backup.
    DropLastBackup(job);
    LeaveUnchanged(job, file.path, error);
    return;
  }
  if (job.writtenOut != nullptr) {
    job.writtenOut->push_back(CContentFingerprint::Of(rewritten));
  }
  ++job.result.filesChanged;
  job.result.locationsReplaced += replaced;
}

// Checks where the backup of `path` goes and names it: the first free "b<n>" name
// below the project's backup folder, whose folders are the user's own.
bool NameBackup(const std::string& path, const std::string& backupFolder, std::size_t rootLength,
                std::string& backup, std::string& error) {
  if (rootLength > path.size() ||
      !CSiteFile::IsPlainRelative(std::string_view(path).substr(rootLength))) {
    error = CFileError::Describe("back up", path, "it is not inside the project's folder");
    return false;
  }
  const std::string root = ParentFolder(backupFolder);
  if (root.empty()) {
    error = CFileError::Describe("back up", backupFolder, "no backup folder");
    return false;
  }
  return CBackupFolders::PrepareRoot(root, error) &&
         FindFreeBackupName(backupFolder + path.substr(rootLength), backup, error) &&
         CBackupFolders::IsPathSafe(root, backup, error);
}

} // namespace

SReplaceResult CReplacer::ReplaceInFiles(const CBadWordsList& list, const CBadWord& word,
                                         const std::string& backupFolder, std::size_t rootLength,
                                         const std::vector<std::string>& chosenFiles,
                                         std::vector<std::string>& backupsOut,
                                         CPageScanner::EAttributeText attributeText,
                                         std::vector<CContentFingerprint>* writtenOut) {
  return ReplaceInFiles(list, word.GetWord(), word.GetDuplicate(), backupFolder, rootLength,
                        chosenFiles, backupsOut, attributeText, writtenOut);
}

SReplaceResult CReplacer::ReplaceInFiles(const CBadWordsList& list, std::string_view text,
                                         int duplicate, const std::string& backupFolder,
                                         std::size_t rootLength,
                                         const std::vector<std::string>& chosenFiles,
                                         std::vector<std::string>& backupsOut,
                                         CPageScanner::EAttributeText attributeText,
                                         std::vector<CContentFingerprint>* writtenOut) {
  SJob job{{}, {}, backupFolder, rootLength, backupsOut, writtenOut, {}, {}, {}, attributeText};
  const std::vector<SFileWork> files = CollectFiles(list, text, duplicate, chosenFiles, job);
  for (const SFileWork& file : files) {
    ReplaceInFile(file, job);
  }
  return job.result;
}

bool CReplacer::BackupFile(const std::string& path, const std::string& backupFolder,
                           std::size_t rootLength, std::vector<std::string>& backupsOut) {
  std::string backup;
  std::string error;
  if (!NameBackup(path, backupFolder, rootLength, backup, error) ||
      !CFileUtils::CopyFileA(path, backup, error)) {
    CAppLogger::LogFileError(kBackupFailedId, path, error);
    return false;
  }
  backupsOut.push_back(std::move(backup));
  return true;
}

bool CReplacer::BackupBytes(const std::string& path, std::string_view bytes, unsigned mode,
                            const std::string& backupFolder, std::size_t rootLength,
                            std::vector<std::string>& backupsOut, std::string& error) {
  std::string backup;
  CAtomicFile file;
  if (!NameBackup(path, backupFolder, rootLength, backup, error) ||
      !CDirUtils::CreateDirectoryA(CDirUtils::ParsePathFromFile(backup)) ||
      !file.Open(backup, error, static_cast<mode_t>(mode & 0777)) || !file.Write(bytes, error) ||
      !file.Commit(error)) {
    if (error.empty()) {
      error =
          CFileError::Describe("create the folder", CDirUtils::ParsePathFromFile(backup), errno);
    }
    CAppLogger::LogFileError(kBackupFailedId, path, error);
    return false;
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
