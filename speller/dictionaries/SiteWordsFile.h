#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// The text of a site's own word list, ".pagelint-words" at the root of a site: UTF-8,
/// one word a line; a line whose first character that is not a blank is "#" is a
/// comment, and so is the rest of a line from a "#" after a blank ("colour  # British");
/// blank lines are ignored. A "#" inside a word ("C#") stays part of it.
///
/// Saving keeps the file as the team wrote it: comment and blank lines stay where they
/// are, a word line stays as it was (comment included) while its word is still listed,
/// removed words' lines vanish, and new words are appended at the end, sorted.
class CSiteWordsFile {
public:
  /// The file name at the root of a site.
  static constexpr const char* kFileName = ".pagelint-words";
  /// Larger than any word list a team writes by hand: refused as damaged.
  static constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;

  /// Reads `bytes`; false, with a few words of why in `error`, when they are not a
  /// word list (NUL bytes, invalid UTF-8, larger than kMaxBytes). A UTF-8 byte order
  /// mark is allowed and kept.
  bool Parse(std::string_view bytes, std::string& error);

  /// The words of the file, in file order, as written.
  std::vector<std::string> Words() const;
  /// The file's text with `words` as its words, kept where the file has them already
  /// (letter case aside), the others appended in the order given.
  std::string Merge(const std::vector<std::string>& words) const;

  /// The word of one line: empty for a comment or blank line.
  static std::string_view WordOf(std::string_view line);

private:
  std::vector<std::string> m_lines; ///< without their line ends
  std::string m_lineEnd = "\n";     ///< "\r\n" when the file's first line ends so
  std::string m_byteOrderMark;
};
