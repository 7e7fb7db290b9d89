#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// The words the dictionary editor shows, always in its order (ascending, letter case
/// aside, equal words in the order they came), and the rules that turn typed, pasted
/// and edited text into such words. Free of Qt, so the rules are tested on their own.
class CDictionaryWords {
public:
  CDictionaryWords() = default;
  /// A dictionary's words, sorted.
  explicit CDictionaryWords(std::vector<std::string> words);

  const std::vector<std::string>& Words() const { return m_words; }
  std::size_t Count() const { return m_words.size(); }
  bool IsEmpty() const { return m_words.empty(); }

  /// Turns each text into words (outer punctuation trimmed, lower-cased, split, each
  /// word trimmed again), appends those that no row holds exactly and sorts again when
  /// any was appended. Returns the words appended, in the order of the texts.
  std::vector<std::string> AddTexts(const std::vector<std::string>& texts);
  /// The words AddTexts would append, changing nothing.
  std::vector<std::string> NewWords(const std::vector<std::string>& texts) const;
  /// Puts `words`, which no row holds, into their sorted places.
  void Insert(const std::vector<std::string>& words);
  /// Whether a row holds exactly `word`.
  bool Holds(const std::string& word) const;
  /// Removes the rows `first` to `last` (both included, clamped to the rows).
  void RemoveRows(std::size_t first, std::size_t last);
  /// The end of an in-place edit: row `row` goes and `text` is added as AddTexts adds,
  /// so the word is normalised, split when it holds several and sorted into place.
  void ReplaceRow(std::size_t row, const std::string& text);

  /// The words typed into the add-words window: line breaks become blanks, then the
  /// text is split into words as they are.
  static std::vector<std::string> SplitTyped(std::string text);
  /// The words of clipboard entries to add: entries equal to `skip` and blank ones are
  /// left out; the others are trimmed, lower-cased and split.
  static std::vector<std::string> SplitPasted(const std::vector<std::string>& entries,
                                              std::string_view skip);

private:
  std::vector<std::string> m_words;
};
