#pragma once

#include "checking/BadWordsLocList.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// One unrecognized word (as the speller preprocessed it) and the places it occurs.
/// The owning CBadWordsList's lock guards it; the operations here take no lock.
class CBadWordsList;

class CBadWord {
public:
  explicit CBadWord(std::string word);
  CBadWord(const CBadWord&) = delete;
  CBadWord& operator=(const CBadWord&) = delete;

  /// 1 marks the word for display with " (duplicate)"; 0 as created by the scan.
  int GetDuplicate() const { return m_duplicate; }
  void SetDuplicate(int duplicate) { m_duplicate = duplicate; }

  const std::string& GetWord() const { return m_word; }
  /// The text the user last chose to replace the word with; empty when created.
  const std::string& GetReplacement() const { return m_replacement; }
  void SetReplacement(std::string replacement) { m_replacement = std::move(replacement); }

  /// For a word written like code, the keys of its unknown pieces
  /// (CCodeTokens::UnknownPieces); empty for a plain word.
  const std::string& GetPieces() const { return m_pieces; }
  void SetPieces(std::string pieces) { m_pieces = std::move(pieces); }
  /// Whether the list leaves the word out for now: written like code, and none of its
  /// unknown pieces is rare on the site (CRarePieces).
  bool IsHidden() const { return m_hidden; }
  void SetHidden(bool hidden) { m_hidden = hidden; }

  CBadWordsLocList& GetLocations() { return m_locations; }
  const CBadWordsLocList& GetLocations() const { return m_locations; }

  /// Appends a location of the file `path`; returns whether the word already had a
  /// location of that file.
  bool AddLocation(const std::string& path, int line, int start, int end, std::string_view context);
  /// AddLocation with the file's folder (ending in "/") and name already split.
  bool AddLocation(std::string_view directory, std::string_view fileName, int line, int start,
                   int end, std::string_view context);
  bool HasFile(std::string_view path) const;
  /// Removes every location of `path`; whether any was removed.
  bool RemoveLocationsOfFile(std::string_view path);
  /// The number of distinct full paths among the locations.
  int CountFiles() const;
  /// The full path at `cursor`, moving the cursor past every following location of the
  /// same path; the empty string at the end.
  std::string NextFile(CBadWordsLocList::const_iterator& cursor) const;
  /// The context of the first location of `path`, or the empty string.
  std::string GetContextInFile(std::string_view path) const;
  /// Sorts the locations by folder and file name (both without case), line and start;
  /// equal keys keep their order. Only the locations added since the last sort are
  /// sorted and merged in, so re-sorting a long list after each file stays cheap.
  void SortLocations();

private:
  friend class CBadWordsList; // indexes a listed word's files and appends its findings in bulk

  /// Appends a location without asking whether its file had one already: the scan
  /// records findings in bulk and never needs the answer.
  void AppendLocation(std::shared_ptr<const CBadWordFile> file, int line, int start, int end,
                      CBadWordFile::SExcerpt excerpt);

  /// Splices a sorted run of one file's locations in at its place, found by a binary
  /// search of the file starts; false (nothing moved) when that does not apply.
  bool InsertFileRun(CBadWordsLocList::Items& run);
  void RebuildFileStarts();
  /// Records the file runs that begin at or after `first` (to the end of the list).
  void AddFileStarts(CBadWordsLocList::iterator first);

  CBadWordsList* m_owner = nullptr;
  /// How many locations at the head of the list are known to be in order.
  std::size_t m_sortedCount = 0;
  /// The first location of each file's run in the sorted head, in list order, so that a
  /// new file's findings find their place without a walk over every location (a word
  /// found in thousands of files would make each file's sort linear in them all).
  std::vector<CBadWordsLocList::iterator> m_fileStarts;
  bool m_fileStartsValid = true;
  int m_duplicate = 0;
  bool m_hidden = false;
  std::string m_word;
  std::string m_pieces;
  std::string m_replacement;
  CBadWordsLocList m_locations;
};
