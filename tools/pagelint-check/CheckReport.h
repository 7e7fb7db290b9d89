#pragma once

#include "checking/UncheckedLanguages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class CBadWord;
class CBadWordFile;
class CBadWordLoc;
class CBadWordsList;

/// The findings of one pagelint-check call. It holds the words each checked root's
/// check found, as the check left them (a large site's findings are never copied),
/// and walks them in the order in which they are printed through compact indexes.
class CCheckReport {
public:
  /// What a word is: one that no dictionary recognizes, or one that repeats the word
  /// right before it ("the the"; known, to be removed). The same text may be both, and
  /// then makes two words.
  enum class EKind : std::uint8_t { kUnrecognized, kRepeated };

  /// One checked folder.
  struct Root {
    std::string given;     ///< as the user wrote it (or the project's root)
    std::string directory; ///< absolute, ending in "/"
  };

  /// One occurrence of a word, as the report's writers read it.
  struct Finding {
    std::string_view word;
    std::size_t wordIndex = 0; ///< the word's place in text order (GetWordText)
    int root = 0;
    int file = 0;      ///< the same for the findings of one file of one root (FileOf)
    int line = 0;      ///< 1-based
    int column = 0;    ///< 1-based, in characters (code points; a tab is one)
    int endColumn = 0; ///< column just after the word
    int start = 0;     ///< byte offset of the word in the line as read, 0-based
    int end = 0;       ///< byte offset just after the word
    EKind kind = EKind::kUnrecognized; ///< the word's (GetWordKind)
    std::string_view context;
    /// The language of the text around it; empty when its page names none.
    std::string language;
  };

  /// A finding's place in an index; At reads it.
  struct Entry {
    const CBadWordLoc* location;
    std::uint32_t word;
    std::uint32_t file;
  };

  CCheckReport();
  ~CCheckReport();
  CCheckReport(const CCheckReport&) = delete;
  CCheckReport& operator=(const CCheckReport&) = delete;
  CCheckReport(CCheckReport&&) noexcept;
  CCheckReport& operator=(CCheckReport&&) noexcept;

  int AddRoot(std::string given, std::string directory);
  const std::vector<Root>& GetRoots() const { return m_roots; }

  /// Takes every word out of `words`, the findings of `root`'s check; the report holds
  /// them from then on. Nothing for a root never added.
  void TakeFindings(int root, CBadWordsList& words);
  /// Adds one finding of `word` of `kind`. `fullPath` is the file's full path;
  /// `lineText` is the line as read (null when the file could not be read again), from
  /// which the columns are counted. Nothing for a root never added.
  void AddFinding(std::string_view word, int root, std::string_view fullPath,
                  const std::string* lineText, int lineIndex, int start, int end,
                  std::string_view context, EKind kind = EKind::kUnrecognized);
  /// Adds a finding whose columns are known: `column` and `endColumn` count the
  /// characters before the word's start and end (0-based).
  void AddFinding(std::string_view word, int root, std::string_view fullPath, int lineIndex,
                  int start, int end, int column, int endColumn, std::string_view context,
                  EKind kind = EKind::kUnrecognized);

  /// Ends the adding: puts the words in order of text and then kind, the unrecognized
  /// word before the repeated one of the same text (the same text and kind of several
  /// roots is one word; an unrecognized and a repeated word never merge), ranks the
  /// files by path and counts the columns of locations the check left without them
  /// (their file is read once more). Call it before reading.
  void Sort();

  /// Every word, unrecognized and repeated.
  int GetWordCount() const { return static_cast<int>(m_words.size()); }
  int GetRepeatedWordCount() const { return m_repeatedWords; }
  int GetUnrecognizedWordCount() const { return GetWordCount() - m_repeatedWords; }
  int GetOccurrenceCount() const { return m_occurrences; }
  std::string_view GetWordText(std::size_t word) const { return m_words[word].text; }
  EKind GetWordKind(std::size_t word) const { return m_words[word].kind; }
  /// The first root, in the order added, where the word was found.
  int GetWordRoot(std::size_t word) const { return m_words[word].root; }
  const std::vector<std::string>& GetSuggestions(std::size_t word) const {
    return m_words[word].suggestions;
  }
  void SetSuggestions(std::size_t word, std::vector<std::string> suggestions) {
    m_words[word].suggestions = std::move(suggestions);
  }

  /// Every finding, by root (in the order added), file, line, column, start and word.
  /// The report has one index, put in this order: what the other order returned is
  /// reordered too.
  const std::vector<Entry>& ByPlace() const;
  /// Every finding by word, then root, file, line, column and start: the findings of
  /// word k follow those of word k - 1. The same index as ByPlace.
  const std::vector<Entry>& ByWord() const;
  Finding At(const Entry& entry) const;
  /// Asks for the memory At reads, ahead of reading it: a walk over an index that
  /// prefetches this many entries ahead waits for memory far less often.
  static void Prefetch(const Entry& entry) { __builtin_prefetch(entry.location); }
  static constexpr std::size_t kPrefetchAhead = 8;

  /// The file, relative to its root's directory, "/"-separated.
  const std::string& FileOf(int file) const {
    return m_files[static_cast<std::size_t>(file)].relative;
  }
  /// The path to print: relative to the root with one root, prefixed with the root as
  /// given when there are several.
  std::string DisplayPath(int file) const;

  void AddFilesChecked(int files) { m_filesChecked += files; }
  /// Adds a run's words left unchecked for want of a dictionary for their language.
  void AddUncheckedLanguages(const std::vector<CUncheckedLanguages::SLanguage>& languages);
  /// The words left unchecked by language, by tag.
  const std::vector<CUncheckedLanguages::SLanguage>& GetUncheckedLanguages() const {
    return m_unchecked;
  }
  int GetFilesChecked() const { return m_filesChecked; }
  void SetSeconds(double seconds) { m_seconds = seconds; }
  double GetSeconds() const { return m_seconds; }

  /// The number of characters (code points; each byte of damaged UTF-8 counts as one)
  /// in the first `bytes` bytes of `text`.
  static int CountCharacters(std::string_view text, std::size_t bytes);

private:
  struct SBatch {
    int root;
    std::vector<std::unique_ptr<CBadWord>> words;
  };
  /// One root's share of a word, in text and then root order after Sort.
  struct SWordPart {
    CBadWord* word;
    int root;
    std::uint32_t index; ///< in m_words
  };
  struct SWord {
    std::string_view text;
    EKind kind;
    int root;
    std::vector<std::string> suggestions;
  };
  struct SFile {
    int root;
    std::string relative;
    std::uint32_t rank = 0; ///< place among the paths in byte order; equal paths share it
  };
  /// The numbers an entry is sorted by, two to a word, compared in order: three
  /// comparisons of words instead of five of numbers.
  struct SKey {
    std::uint64_t first = 0;
    std::uint64_t second = 0;
    std::uint64_t third = 0;
    auto operator<=>(const SKey&) const = default;
  };
  /// An entry with the numbers it is sorted by, read from its location once.
  struct SKeyed {
    SKey key;
    Entry entry;
  };
  /// `high` and then `low` as one word that sorts as the pair does.
  static std::uint64_t Pair(int high, int low);
  /// The kind the check's duplicate flag gives `word` (1 marks a repeat, as its list has it).
  static EKind KindOf(const CBadWord& word);

  /// The file id of `location` of `root`, added when new (findings come file by file:
  /// the last one is asked for first).
  std::uint32_t FileId(int root, const CBadWordLoc& location);
  /// Makes the entries of every location of m_parts, noting in `missing` (by file) the
  /// locations the check left without columns.
  /// Drops the words written like code whose unknown pieces are all common in the run.
  void LeaveOutCommonCode();
  void AddEntries(std::unordered_map<std::string, std::vector<const CBadWordLoc*>>& missing);
  void RankFiles();
  /// Counts the columns of the locations that have none, reading each such file once.
  void CountMissingColumns(
      const std::unordered_map<std::string, std::vector<const CBadWordLoc*>>& byFile);
  std::pair<int, int> ColumnsOf(const CBadWordLoc& location) const;
  /// The characters before `start` and `end` in `line` (null: not read), or the byte
  /// offsets themselves when they do not fit the line.
  static std::pair<int, int> ColumnsInLine(const std::string* line, int start, int end);
  /// Puts the index in the order of `group` (in [0, groups)) and then, within each
  /// group, of `key`.
  template <typename Group, typename Key>
  void Order(std::size_t groups, Group group, Key key) const;
  /// Sorts groups [first, last) of the index by `key`; group g ends at ends[g].
  template <typename Key>
  void SortGroups(const std::vector<std::size_t>& ends, std::size_t first, std::size_t last,
                  Key key, std::vector<SKeyed>& keyed) const;

  std::vector<Root> m_roots;
  std::vector<std::unique_ptr<CBadWordsList>> m_added; ///< per root, AddFinding's words
  std::vector<SBatch> m_batches;
  std::vector<SWordPart> m_parts;
  /// Every finding once, in the order last asked for (Sort leaves them by word).
  mutable std::vector<Entry> m_entries;
  mutable std::vector<SKeyed> m_keyed; ///< reused while sorting one group
  std::vector<SWord> m_words;
  std::vector<SFile> m_files;
  struct SRecentFile {
    const CBadWordFile* file = nullptr;
    std::uint32_t id = 0;
  };
  std::unordered_map<const CBadWordFile*, std::uint32_t> m_fileIds;
  std::array<SRecentFile, 256> m_recentFiles{};
  std::uint32_t m_rankCount = 0;
  /// The columns counted for locations the check left without them.
  std::unordered_map<const CBadWordLoc*, std::pair<int, int>> m_columns;
  int m_occurrences = 0;
  int m_repeatedWords = 0;
  int m_filesChecked = 0;
  std::vector<CUncheckedLanguages::SLanguage> m_unchecked;
  double m_seconds = 0;
};
