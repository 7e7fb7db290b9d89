#pragma once

/// Page text is the text of an HTML file with its markup taken out so that every
/// kept byte stays at its line and byte offset, because findings are replaced later
/// at the positions where they were found.
///
/// Removed markup (comments, scripts, styles, tags) becomes blanks. A character
/// reference such as "&rsquo;" becomes its decoded character followed by filler
/// bytes up to the reference's length, so that "don&rsquo;t" stays one word:
/// "don" + U+2019 + kFiller x4 + "t". A run of filler bytes belongs to the character
/// right before it: inside a word it is part of the word, after a blank it is a blank.
/// Fillers are control characters, so they are never visible content.
struct CPageText {
  static constexpr char kFiller = '\x1A';
};
