#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

/// The dictionary editor's search: a text looked for inside the words, row by row,
/// from the focused row on, with the user's three options. Free of Qt.
class CWordFinder {
public:
  struct SOptions {
    bool matchCase = false;
    bool searchDown = false;
    /// Stop at the last (or first) row instead of going on from the other end.
    bool stopAtEnd = false;
  };

  /// The find window's texts.
  static constexpr const char* kPrompt =
      "Enter one or more words in the field below to attempt to find the text in the "
      "dictionary. Afterwards, press F3 to find it again.";
  static constexpr const char* kNothingFound =
      "Given your search criteria, there was no matching text found.";
  static constexpr const char* kNoMoreFound =
      "Given your search criteria, there were no more matching texts found.";

  /// A new search: the text and options the user entered; nothing was found yet.
  void Start(std::string text, const SOptions& options);
  const std::string& Text() const { return m_text; }
  const SOptions& Options() const { return m_options; }
  void SetOptions(const SOptions& options) { m_options = options; }
  bool HasText() const { return !m_text.empty(); }

  /// The next row of `words` that contains the text, searched from `focused` (no row
  /// or one past the words: the first row), or from the row after (before) it when
  /// the last search found a row. Empty when none is found within the options.
  std::optional<std::size_t> FindNext(const std::vector<std::string>& words,
                                      std::optional<std::size_t> focused);
  /// What the find window says after FindNext found nothing.
  const char* NotFoundMessage() const { return m_foundBefore ? kNoMoreFound : kNothingFound; }

private:
  /// The first match from `from` to `to` (both included), walking in the search's
  /// direction.
  std::optional<std::size_t> Scan(const std::vector<std::string>& words, std::size_t from,
                                  std::size_t to) const;
  bool Matches(const std::string& word) const;

  std::string m_text;
  std::string m_needle; ///< the text as compared: lower-cased without match case
  SOptions m_options;
  bool m_foundBefore = false;
};
