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
  /// What the tag at a place does to the words around it.
  enum class ETag : std::uint8_t {
    kJoins,     ///< joins the letters on either side
    kSeparates, ///< separates them
    kSvg,       ///< separates them, and opens or closes inline SVG
  };
  /// The tag whose "<" is at `at` in `line`, read once: TagNameAt, JoinsWords and
  /// LeavesOutRepeats together, for the scan, which asks for every tag of a page.
  static ETag TagAt(std::string_view line, std::size_t at, bool& closing);

  /// Whether the tag of element `name` (any letter case) joins the letters around it.
  static bool JoinsWords(std::string_view name);
  /// Whether the words inside element `name` are left out of the repeat test: inline
  /// SVG, whose diagrams set labels such as "expr expr" side by side.
  static bool LeavesOutRepeats(std::string_view name) {
    return name.size() == 3 && (name[0] | 0x20) == 's' && (name[1] | 0x20) == 'v' &&
           (name[2] | 0x20) == 'g';
  }
  /// The element name of the tag whose "<" is at `at` in `line` (fillers skipped; a
  /// name runs on through digits and "-"), empty for a comment, declaration or stray
  /// "<"; `closing` says whether it is an end tag.
  static std::string_view TagNameAt(std::string_view line, std::size_t at, bool& closing);

private:
  /// TagAt without remembering; `read` counts the bytes after the "<" that decided.
  static ETag ReadTag(std::string_view line, std::size_t at, bool& closing, std::size_t& read);
};
