#pragma once

#include "checking/BadWord.h"
#include "checking/RarePieces.h"
#include "mtcore/BackgroundRelease.h"
#include "mtcore/MultiReaderWriter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

/// A project's unrecognized words in the order they were first found, shared by the
/// check worker (which adds and removes) and the user interface thread (which reads,
/// removes single words and sets replacements). A word written like code whose unknown
/// pieces are all common on the site stays listed but hidden (CRarePieces): the count
/// and the walk leave it out, and a later change can show it again. Each operation
/// takes the list's own
/// lock as noted; callers that hold reader access for a whole walk may call the reader
/// operations (reader access is re-entrant). The lock is always the innermost one.
class CBadWordsList : public CMultiReaderWriter {
public:
  /// A walk position: 1-based index of the next word; 0 ends the walk. A word removed
  /// between two steps can make a walk skip one word, never read a freed one.
  using POSITION = std::size_t;

  /// How each word keeps its locations: sorted by file, line and place, as the
  /// program's lists show them, or as recorded, for an owner that orders them itself
  /// and need not pay for keeping them sorted while a check runs.
  enum class ELocationOrder : std::uint8_t { kSorted, kAsRecorded };

  CBadWordsList();
  ~CBadWordsList();
  CBadWordsList(const CBadWordsList&) = delete;
  CBadWordsList& operator=(const CBadWordsList&) = delete;

  /// The word whose text equals `text` exactly and whose duplicate flag is
  /// `duplicate` (a repeated word is listed beside an unrecognized one of the same
  /// text), or null. Reader access.
  CBadWord* FindWord(std::string_view text, int duplicate = 0) const;
  /// Appends the word and takes ownership; a null word, or one whose text and duplicate
  /// flag are already listed, is dropped. Writer access.
  void AppendWord(std::unique_ptr<CBadWord> word);
  /// Deletes the word with its locations when it is in the list. Writer access.
  void RemoveWord(CBadWord* word);
  /// Deletes the word of `text` and `duplicate` flag with its locations, found and
  /// removed under one writer access: a pointer kept from an earlier FindWord may name
  /// a word a check has deleted since. Whether one was listed.
  bool RemoveWord(std::string_view text, int duplicate);
  /// Sets the replacement of the word of `text` and `duplicate` flag under writer
  /// access; whether one was listed.
  bool SetReplacement(std::string_view text, int duplicate, const std::string& replacement);
  /// Deletes every word. Writer access; the words and their locations are freed on a
  /// thread of their own.
  void ClearWords();
  /// Moves every word, in list order and hidden ones too, out of the list and leaves
  /// it empty: the caller
  /// owns the words and their locations from then on (they no longer report to this
  /// list). Writer access.
  std::vector<std::unique_ptr<CBadWord>> TakeWords();
  /// Removes the locations of `path` from every word and deletes the words left
  /// without any; nothing for an empty path. Writer access.
  void RemoveFileLocations(std::string_view path);
  /// The words shown (hidden ones left out). Reader access.
  int GetWordCount() const;
  /// Reader access.
  POSITION GetHeadPosition() const;
  /// The word at `position` (null past the end), moving `position` on to the next
  /// shown word. Reader access for this step.
  CBadWord* GetNext(POSITION& position) const;
  /// The word's AddLocation under writer access; nothing when the word is not listed.
  void AddLocation(CBadWord* word, const std::string& path, int line, int start, int end,
                   std::string_view context);
  /// The word's SortLocations under writer access; nothing when the word is not listed
  /// or the list keeps locations as recorded.
  void SortLocations(CBadWord* word);
  /// Applies to the locations recorded from then on. Writer access.
  void SetLocationOrder(ELocationOrder order);

  /// Finds or appends the word `text` and adds a location to it, all under one writer
  /// access, so that concurrent recorders never create a word twice and a word that
  /// the user interface thread removes meanwhile is never touched after its deletion.
  /// Returns the word, to be handed back to SortLocations (which checks that it is
  /// still listed) and never dereferenced without the list's lock.
  CBadWord* RecordLocation(std::string_view text, std::string_view directory,
                           std::string_view fileName, int line, int start, int end,
                           std::string_view context);

  /// One place of a word as a scan finds it, before it is recorded.
  struct SFoundLocation {
    int line = 0;        ///< 0-based line index in the file as read
    int start = 0;       ///< byte offset of the word's first byte in that line
    int end = 0;         ///< byte offset just past the word's written form
    int column = -1;     ///< characters before `start` in the line as read; -1 when not known
    int endColumn = -1;  ///< characters before `end`; -1 when not known
    std::string context; ///< excerpt of the line around the word
    /// The language of the text around it (CLanguageNames); 0 when the page names none.
    std::uint16_t language = 0;

    bool operator==(const SFoundLocation&) const = default;
  };
  /// One word's findings in one file, gathered by a scan before they are recorded.
  struct SFileFindings {
    std::string text;
    std::vector<SFoundLocation> locations;
    /// 1 for a word found repeated (recorded with the duplicate flag), 0 for an
    /// unrecognized one.
    int duplicate = 0;
    /// The keys of the unknown pieces of a word written like code; empty otherwise.
    std::string pieces{};

    bool operator==(const SFileFindings&) const = default;
  };
  /// Records the findings of one file under a single writer access: each word, in the
  /// order given, is found or appended, gets its locations in their order and has them
  /// sorted. The excerpts go into one block shared by the file's locations.
  void RecordFileFindings(std::string_view directory, std::string_view fileName,
                          std::span<SFileFindings> words);

private:
  friend class CBadWord; // reports the files of its new locations

  /// Notes that `word` has a location in the file; called under writer access.
  void IndexFile(CBadWord* word, std::string_view directory, std::string_view fileName);
  /// The words indexed under the file's full path (an empty entry made if needed); the
  /// reference stays valid while the lock is held and the entry is not erased.
  std::vector<CBadWord*>& FileWordsLocked(std::string_view directory, std::string_view fileName);
  /// The lock, for the reader operations that are const.
  CMultiReaderWriter& Lock() const { return const_cast<CBadWordsList&>(*this); }
  bool IsListed(const CBadWord* word) const;
  /// The position of the first shown word at `index` (0-based) or after; 0 for none.
  POSITION ShownFrom(std::size_t index) const;
  void AppendLocked(std::unique_ptr<CBadWord> word);
  /// The look-ups of every word, moved out of a list being emptied so that they are
  /// freed on the releasing thread: a big site's take a noticeable time.
  struct SLookUps {
    std::unordered_map<std::string_view, CBadWord*> byText;
    std::unordered_map<std::string_view, CBadWord*> repeatsByText;
    std::unordered_set<const CBadWord*> listed;
    std::unordered_map<std::string, std::vector<CBadWord*>> wordsByFile;
  };
  /// Empties the list's look-ups and state (not m_words), handing the look-ups back.
  SLookUps ClearLocked();
  CBadWord* FindOrAppendLocked(std::string_view text, int duplicate, std::string_view pieces = {});
  /// The listed plain words that count under a piece key (CRarePieces).
  std::size_t CountPlainWordsLocked(std::string_view key) const;
  /// FindWord for a caller that holds the list's access.
  CBadWord* FindLocked(std::string_view text, int duplicate) const;
  /// Deletes a listed word; the caller holds writer access.
  void RemoveLocked(CBadWord* word);
  /// The look-up of the words whose duplicate flag is `duplicate` (1, or any other).
  std::unordered_map<std::string_view, CBadWord*>& ByText(int duplicate) {
    return duplicate == 1 ? m_repeatsByText : m_byText;
  }
  const std::unordered_map<std::string_view, CBadWord*>& ByText(int duplicate) const {
    return duplicate == 1 ? m_repeatsByText : m_byText;
  }
  /// Takes the word out of the look-ups; the caller then drops it from m_words.
  void UnlistLocked(CBadWord* word);

  std::vector<std::unique_ptr<CBadWord>> m_words;
  /// The words by their text (views into the words themselves).
  std::unordered_map<std::string_view, CBadWord*> m_byText;
  /// The repeated words by their text, apart: "the" may be both.
  std::unordered_map<std::string_view, CBadWord*> m_repeatsByText;
  /// The listed words, so a pointer from a caller is checked without reading it.
  std::unordered_set<const CBadWord*> m_listed;
  /// For each full path, the words that got a location of it (possibly some twice or
  /// no longer listed), so removing a file's locations visits only those words.
  std::unordered_map<std::string, std::vector<CBadWord*>> m_wordsByFile;
  std::string m_pathBuffer; ///< reused for index look-ups under writer access
  /// Words unlisted so far (changed under writer access): a word found under reader
  /// access is still listed while this has not changed.
  std::uint64_t m_removals = 0;
  /// The file of the last single recorded location, shared with the next one of it.
  /// Its excerpts grow with each such location, under writer access.
  std::shared_ptr<CBadWordFile> m_lastFile;
  ELocationOrder m_locationOrder = ELocationOrder::kSorted;
  /// Which words written like code are hidden; follows every word listed and unlisted.
  CRarePieces m_rare;
  /// Frees cleared words; last, so that the list waits for it before the rest goes.
  CBackgroundRelease m_release;
};
