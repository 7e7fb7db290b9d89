#pragma once

/// Page text is the text of an HTML file with its markup taken out so that every
/// kept byte stays at its line and byte offset, because findings are replaced later
/// at the positions where they were found.
///
/// Removed markup (scripts, styles, and the tags that end a word) becomes blanks. A
/// character reference such as "&rsquo;" becomes its decoded character followed by
/// filler bytes up to the reference's length, so that "don&rsquo;t" stays one word:
/// "don" + U+2019 + kFiller x4 + "t". Markup that a browser shows no gap for (the tags
/// of inline elements, comments) becomes kJoiner bytes, so that "un<em>believ</em>able"
/// stays one word too. A run of filler or joiner bytes belongs to the character right
/// before it: inside a word it is part of the word, after a blank it is a blank. Both
/// are control characters, so they are never visible content; only a word's own
/// fillers belong to its last character, never the joiners after it.
struct CPageText {
  static constexpr char kFiller = '\x1A';
  static constexpr char kJoiner = '\x1C';

  /// Whether `byte` is a filler or a joiner: nothing a reader sees.
  static constexpr bool IsInvisible(char byte) { return byte == kFiller || byte == kJoiner; }
};
