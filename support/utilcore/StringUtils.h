#pragma once

#include "utilcore/TextArray.h"

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// Text helpers over UTF-8 strings. Every position and length is in bytes. All members
/// are static, thread-safe and never throw; damaged UTF-8 is kept byte for byte.
///
/// Page text (see CPageText) carries filler bytes after decoded character references.
/// The helpers that work on page text treat a run of fillers as part of the character
/// right before it: Trim and TrimPunctuation remove a filler run with the character it
/// belongs to, GetWords keeps it inside a word, FindOccurrenceIndex matches through it
/// and IsEffectivelyEmpty never counts it as visible.
class CStringUtils {
public:
  /// A piece of a text: byte offset and byte length.
  struct Span {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const Span&) const = default;
  };

  /// Where a tag lies in a page's lines: the line and byte offset of its "<", and the
  /// line and offset right after its end (and the fillers that go with it).
  struct TagPlace {
    std::size_t line = 0;
    std::size_t offset = 0;
    std::size_t endLine = 0;
    std::size_t endOffset = 0;
  };
  /// Told of a tag that BlankMarkup takes out, while the lines still hold it.
  using TagSeen = std::function<void(const std::vector<std::string>& lines, const TagPlace& tag)>;

  /// Upper case of each byte: 'a'-'z' become 'A'-'Z', every other byte is itself.
  static constexpr std::array<unsigned char, 256> m_tableUppercase = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t code = 0; code < table.size(); ++code) {
      const bool lower = code >= 'a' && code <= 'z';
      table[code] = static_cast<unsigned char>(lower ? code - ('a' - 'A') : code);
    }
    return table;
  }();
  /// True for the bytes '0' to '9'.
  static constexpr std::array<bool, 256> m_tableIsDigit = [] {
    std::array<bool, 256> table{};
    for (std::size_t code = '0'; code <= '9'; ++code) {
      table[code] = true;
    }
    return table;
  }();

  /// Removes Unicode white space (no-break spaces included) from both ends.
  static void Trim(std::string& text);
  /// The part of `text` that Trim would keep.
  static std::string_view TrimView(std::string_view text);
  /// Removes punctuation, symbols, white space and control characters from both ends,
  /// except that trimming stops at a character of `keepLeading` (at the start) or of
  /// `keepTrailing` (at the end).
  static void TrimPunctuation(std::string& text, std::string_view keepLeading,
                              std::string_view keepTrailing);
  /// True when nothing in `text` is visible: only white space, control characters
  /// (page-text fillers included) and invisible format characters such as zero-width
  /// spaces and joiners.
  static bool IsEffectivelyEmpty(std::string_view text);
  /// The number of characters (code points; each byte of damaged UTF-8 counts as one,
  /// as editors show it) in the first `bytes` bytes of `text`.
  static int CountCharacters(std::string_view text, std::size_t bytes);
  /// Removes every page-text filler and joiner byte.
  static void RemoveFillers(std::string& text);
  /// Page text: blanks the joiners in [begin, end) (one piece of markup) unless they
  /// stand between two word characters (letters, marks, digits; fillers and joiners
  /// beyond skipped), so that markup joins letters into one word but never a word to
  /// punctuation ("self</b>.<b>connect" stays three pieces, as spans of highlighted
  /// code are).
  static void SettleJoinerRun(std::string& line, std::size_t begin, std::size_t end);

  /// The words of a line, in order, each the exact bytes of the line (so a word's
  /// length is its extent in the line). Words are separated by Unicode white space,
  /// control characters, zero-width spaces, figure/en/em dashes and the horizontal bar,
  /// the ellipsis, "=", "|", "<", ">", runs of two or more "." or "-", and "/" or "\"
  /// unless both neighbours are digits ("1/2" stays whole, "and/or" splits).
  /// Apostrophes, hyphens, commas, colons, brackets, braces, quotes and symbols stay in
  /// the word for the speller's own trimming. With `userText` false the text is page
  /// text: fillers belong to the character before them; with `userText` true (text typed
  /// or pasted by the user) a filler byte is an ordinary control character.
  static void GetWords(std::string_view text, TextArray& words, bool userText);
  /// GetWords as spans of `text`; reuses the capacity of `spans`.
  static void GetWordSpans(std::string_view text, std::vector<Span>& spans, bool userText);

  /// Replaces every block from `start` to the end of the next `end` (blocks may span
  /// lines; an unterminated block runs to the end of the text).
  ///
  /// With `keepPositions` every removed byte becomes a blank, so each kept byte stays at
  /// its line and offset, and `replacement` is not used. Otherwise the block becomes
  /// `replacement` and the lines it spanned are joined.
  ///
  /// A `start` that begins with "<" is HTML: it matches case-insensitively, as does
  /// `end`; a `start` of "<" alone opens a tag only before a letter, "/", "!" or "?" (as
  /// in a browser, "a < b" is text), and inside such a tag a quoted attribute value may
  /// hold the end ("<a title='x>y'>"); a `start` that ends in a letter ("<script") opens
  /// a block only before white space, "/", ">" or the end of the line ("<scripts>" is
  /// not a script). Fillers right after a removed block go with it. Blocks start at
  /// line `firstLine` or later, as if the lines before it were not there.
  /// With `keepPositions`, `blockSeen` (when given) is told of each block before it is
  /// blanked.
  static void ReplaceTextBlock(std::vector<std::string>& lines, std::string_view start,
                               std::string_view end, std::string_view replacement,
                               bool keepPositions, std::size_t firstLine = 0,
                               const TagSeen& blockSeen = {});
  /// Blanks the comments ("<!--"), scripts ("<script"), styles ("<style") and tags
  /// ("<") of a page in one walk, with the result of four ReplaceTextBlock calls in that
  /// order keeping positions. Where one kind of block holds the opener of a kind taken
  /// out before it ("<a title='<!--'>", a "<style" that opens only once a comment right
  /// after it is gone), the walk cannot tell what those calls would do: it stops there,
  /// makes those calls over what it has done and returns false. The blocks it blanked
  /// before are blocks those calls blank too, and they find nothing else there, so the
  /// page always ends as they would have made it from the start.
  ///
  /// `tagSeen`, when given, is told of every tag (not comment, script or style) before
  /// it is blanked, in page order: the tags a browser would see; `commentSeen` likewise
  /// of every comment.
  static bool BlankMarkup(std::vector<std::string>& lines, const TagSeen& tagSeen = {},
                          const TagSeen& commentSeen = {});

  /// Byte start of the n-th (from 1) occurrence of `word` in `text`, -1 when there is
  /// none. With `wholeWord` an occurrence must not be preceded or followed by a letter,
  /// a mark or a digit, nor by a hyphen or apostrophe that joins it to one ("mail" is
  /// not a whole word in "e-mail"; "John" is in "John's"). Fillers in `text` and `word`
  /// are skipped while matching, so "don’t" is found where the page text holds
  /// "don’" + fillers + "t".
  static int FindOccurrenceIndex(std::string_view text, std::string_view word, int n,
                                 bool wholeWord);
  /// FindOccurrenceIndex that also gives the extent of the occurrence in `text`
  /// (which may be longer than `word` when fillers were skipped).
  static bool FindOccurrence(std::string_view text, std::string_view word, int n, bool wholeWord,
                             Span& found);
  /// The first occurrence of `word` (as FindOccurrence matches it) that starts at or
  /// after byte `from`. Searching from the end of the previous occurrence walks the
  /// occurrences one by one in time linear in `text`, and the k-th step finds exactly
  /// what FindOccurrence finds for n = k.
  static bool FindOccurrenceFrom(std::string_view text, std::string_view word, std::size_t from,
                                 bool wholeWord, Span& found);
  /// Finds the n-th (from 1) `open` and the `close` that matches it (nested pairs are
  /// skipped when `open` and `close` differ). Sets both positions to -1 and returns
  /// false when there is no such pair.
  static bool FindOccurrencePair(std::string_view text, std::string_view open,
                                 std::string_view close, int n, int& first, int& last);
  /// A short one-line excerpt around the word at [start, start + length): up to
  /// `wordsEachSide` blank-separated words (and about 60 bytes) on each side, "..."
  /// where the line was cut, runs of blanks and controls shown as one blank, fillers
  /// left out. Out-of-range positions are clamped; no UTF-8 character is ever cut.
  static std::string EllipsisSurroundingWord(std::string_view line, int start, int length,
                                             int wordsEachSide);
  /// EllipsisSurroundingWord appended to `out`, for callers that keep a buffer.
  static void AppendEllipsisSurroundingWord(std::string& out, std::string_view line, int start,
                                            int length, int wordsEachSide);
  /// Appends whole copies of `pad` (a blank when empty) while the text stays within
  /// `length` bytes. With `truncate` a longer text is first cut to `length` bytes, at a
  /// character boundary.
  static void PadString(std::string& text, std::size_t length, std::string_view pad, bool truncate);

  /// Whether `text` begins with `prefix`; an empty prefix matches nothing. Without
  /// `caseSensitive` letters are compared case-folded (Unicode). A match always spans
  /// exactly prefix.size() bytes, so callers may cut that many.
  static bool MatchFirstChars(std::string_view text, std::string_view prefix, bool caseSensitive);
  /// Whether `text` ends with `suffix`; as MatchFirstChars.
  static bool MatchLastChars(std::string_view text, std::string_view suffix, bool caseSensitive);
  /// Whether all of `text` matches the wildcard `pattern`: "*" any run of characters (also
  /// "/"), "?" exactly one character. Runs in time proportional to the product of the
  /// lengths at worst.
  static bool MatchSpec(std::string_view text, std::string_view pattern, bool caseSensitive);
  /// Whether some entry of `list` equals `text`.
  static bool FindInList(std::string_view text, std::span<const std::string> list,
                         bool caseSensitive);
  /// Three-way comparison with letters case-folded (Unicode); -1, 0 or 1.
  static int CompareNoCase(std::string_view a, std::string_view b);
  /// Equality with only ASCII letter case aside, as HTML compares tag and attribute names.
  static bool EqualsAsciiNoCase(std::string_view a, std::string_view b);

  /// Gives `text` the capitalisation pattern of `model`: all upper case when `model` has
  /// two or more upper-case letters and no lower-case one; the first letter upper case
  /// when the first letter of `model` is; otherwise `text` stays as it is. Only capitals
  /// that have a lower-case form count as upper case.
  static void PreserveCase(std::string_view model, std::string& text);
  /// Lower-cases `text` (Unicode, root locale). ASCII and most other text are changed in
  /// place without allocating.
  static void MakeLower(std::string& text);
  /// Upper-cases `text` (Unicode, root locale; "ß" becomes "SS"). ASCII in place.
  static void MakeUpper(std::string& text);
};
