#pragma once

#include <string>
#include <vector>

/// HTML helpers: character references and the file types a project checks.
class CHTMLUtils {
public:
  /// Replaces every character reference in `text` by its UTF-8 character, the way a
  /// browser decodes text content: named references of the HTML5 table (the legacy ones
  /// such as "&copy" also without ";", longest name first), decimal and hexadecimal
  /// references ("&#0;", surrogates and values above U+10FFFF give U+FFFD; 0x80-0x9F
  /// read as Windows-1252). Anything that is not a reference ("&", "&;", "&#;",
  /// "&unknown;") stays as it is.
  ///
  /// `keepPositions` (page text, see CPageText): every byte outside a reference keeps
  /// its offset; the decoded character is written at the reference's first byte and the
  /// rest of the reference becomes CPageText::kFiller bytes. A value longer than its
  /// reference ("&nGt;": two code points, 6 bytes from 5) keeps only the code points
  /// that fit, so "&nGt;" gives U+226B and two fillers. Without it the text shrinks.
  ///
  /// `dropFillers` (a word cut out of page text): filler bytes already in `text` are
  /// removed, so that the word reads as the browser shows it. Text decoded once is not
  /// decoded again: a reference neither runs across fillers nor ends in a character
  /// that fillers follow ("&amp;lt;" in page text stays "&lt;"). Ignored with
  /// `keepPositions`, which must not move bytes.
  static void ReplaceHTMLReservedChars(std::string& text, bool dropFillers, bool keepPositions);

  /// Fills `extensions` (emptied first) with the lower-case extensions, without dot, of
  /// the files a project checks: the static pages (htm, html, ...) and, with
  /// `includeServerPages`, the server pages that hold a site's text (php, asp, ...).
  static void GetSupportedHTMLFiles(std::vector<std::string>& extensions, bool includeServerPages);
};
