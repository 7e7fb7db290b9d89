#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

/// The findings of one pagelint-check call, gathered from the checked projects and
/// put in the order in which they are printed.
class CCheckReport {
public:
  /// One checked folder.
  struct Root {
    std::string given;     ///< as the user wrote it (or the project's root)
    std::string directory; ///< absolute, ending in "/"
  };

  /// One occurrence of a word.
  struct Location {
    int root = 0;
    int fileIndex = 0; ///< index of its path (FileOf): a site's findings share them
    int line = 0;      ///< 1-based
    int column = 0;    ///< 1-based, in characters (code points; a tab is one)
    int endColumn = 0; ///< column just after the word
    int start = 0;     ///< byte offset of the word in the line as read, 0-based
    int end = 0;       ///< byte offset just after the word
    /// The excerpt around the word, viewed in bytes kept elsewhere (see Keep): a large
    /// site's excerpts stay in the blocks the check made, one per page.
    std::string_view context;
  };

  struct Word {
    std::string text;
    std::vector<std::string> suggestions;
    std::vector<Location> locations;
  };

  /// A word's location, as walked in printing order.
  struct Finding {
    const Word* word;
    const Location* location;
  };

  int AddRoot(std::string given, std::string directory);
  const std::vector<Root>& GetRoots() const { return m_roots; }

  /// The word with this text, appended when new; `isNew` tells which.
  Word& FindOrAddWord(const std::string& text, bool& isNew);
  /// Adds a finding. `fullPath` is the file's full path; `lineText` is the line as read
  /// (null when the file could not be read again), from which the columns are counted.
  /// `context` is viewed, not copied: its bytes must last as long as the report (a
  /// literal, or bytes of an object handed to Keep).
  void AddFinding(Word& word, int root, std::string_view fullPath, const std::string* lineText,
                  int lineIndex, int start, int end, std::string_view context);
  /// Adds a finding whose columns are known: `column` and `endColumn` count the
  /// characters before the word's start and end (0-based). `context` as above.
  void AddFinding(Word& word, int root, std::string_view fullPath, int lineIndex, int start,
                  int end, int column, int endColumn, std::string_view context);
  /// Keeps `owner` (holding the bytes of contexts added as views) alive as long as the
  /// report; the same owner is kept once, a null one not at all.
  void Keep(std::shared_ptr<const void> owner);

  /// Sorts the words by text and each word's locations by root, file, line and column.
  void Sort();

  const std::vector<Word>& GetWords() const { return m_words; }
  Word& WordAt(std::size_t index) { return m_words[index]; }
  void SetSuggestions(std::size_t word, std::vector<std::string> suggestions) {
    m_words[word].suggestions = std::move(suggestions);
  }
  int GetWordCount() const { return static_cast<int>(m_words.size()); }
  int GetOccurrenceCount() const { return m_occurrences; }

  /// Every location, sorted by root (in the order added), file, line, column and word.
  std::vector<Finding> GetFindings() const;

  /// The location's file, relative to its root's directory, "/"-separated.
  const std::string& FileOf(const Location& location) const {
    return m_paths[static_cast<std::size_t>(location.fileIndex)];
  }
  /// The path to print: relative to the root with one root, prefixed with the root as
  /// given when there are several.
  std::string DisplayPath(const Location& location) const;

  void AddFilesChecked(int files) { m_files += files; }
  int GetFilesChecked() const { return m_files; }
  void SetSeconds(double seconds) { m_seconds = seconds; }
  double GetSeconds() const { return m_seconds; }

  /// The number of characters (code points; each byte of damaged UTF-8 counts as one)
  /// in the first `bytes` bytes of `text`.
  static int CountCharacters(std::string_view text, std::size_t bytes);

private:
  /// The index of the file `fullPath` of `root`, added when new.
  int FileIndex(int root, std::string_view fullPath);
  /// For each file index, its place among the paths in byte order (equal paths, of
  /// different roots, share one), so that sorting compares numbers only.
  std::vector<int> FileRanks() const;
  /// GetFindings by one sort of them all, for locations of roots never added.
  std::vector<Finding> SortedFindings(const std::vector<int>& ranks) const;
  /// Root (in the order added), file (by `ranks`), line, column and start.
  static bool Before(const std::vector<int>& ranks, const Location& a, const Location& b);

  std::vector<Root> m_roots;
  std::vector<std::string> m_paths;                 ///< relative paths, each (root, path) once
  std::unordered_map<std::string, int> m_fileIndex; ///< by root number, NUL, full path
  std::string m_fileKey;                            ///< the key of the last file added
  int m_lastFile = -1;
  std::vector<Word> m_words;
  std::unordered_map<std::string, std::size_t> m_wordIndex;
  std::vector<std::shared_ptr<const void>> m_kept;
  std::unordered_set<const void*> m_keptIndex;
  int m_occurrences = 0;
  int m_files = 0;
  double m_seconds = 0;
};
