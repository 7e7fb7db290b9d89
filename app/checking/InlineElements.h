#pragma once

#include <cstdint>
#include <string_view>

/// Which tags a browser shows no gap for: "<b>S</b>tructured", "un<em>believ</em>able"
/// and "internation<wbr>alization" are one word each to a reader. The start and end
/// tags of inline elements, of elements this table does not know (custom elements),
/// and <wbr> join the letters on either side; the tags of block, list, table, form and
/// embedded elements, <br>, <img> and <hr> separate them, as any whitespace does.
class CInlineElements {
public:
  /// What the tag at a place does to the words around it, and to the test for a word
  /// repeated right after itself ("the the").
  enum class ETag : std::uint8_t {
    kJoins,            ///< joins the letters on either side
    kJoinsApart,       ///< joins them, but sets a term apart: "the signal <em>signal</em>"
    kJoinsLeftOut,     ///< joins them, and its text (code) is left out of the repeat test
    kSeparates,        ///< separates them
    kSeparatesLeftOut, ///< separates them, and its text (pre, svg) is left out too
  };
  static bool Joins(ETag tag) {
    return tag == ETag::kJoins || tag == ETag::kJoinsApart || tag == ETag::kJoinsLeftOut;
  }
  /// Whether two words on either side of the tag are never a repeat.
  static bool PartsRepeats(ETag tag) { return tag != ETag::kJoins; }
  /// Whether the tag opens or closes an element whose words are never a repeat.
  static bool LeavesOutRepeats(ETag tag) {
    return tag == ETag::kJoinsLeftOut || tag == ETag::kSeparatesLeftOut;
  }
  /// The tag whose "<" is at `at` in `line`, read once: what TagNameAt and TagOf tell
  /// together, for the scan, which asks for every tag of a page.
  static ETag TagAt(std::string_view line, std::size_t at, bool& closing);
  /// The tag of element `name` (any letter case); an empty name separates.
  static ETag TagOf(std::string_view name);

  /// The element name of the tag whose "<" is at `at` in `line` (fillers skipped; a
  /// name runs on through digits and "-"), empty for a comment, declaration or stray
  /// "<"; `closing` says whether it is an end tag.
  static std::string_view TagNameAt(std::string_view line, std::size_t at, bool& closing);
};
