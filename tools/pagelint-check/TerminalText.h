#pragma once

#include <string>
#include <string_view>

/// What pagelint-check may write to a terminal. File names, words, project names and
/// arguments come from others: a control character, a bidirectional override or a line
/// separator in them could clear the screen, reorder what is shown or forge a line.
/// Every human-readable line goes through here; JSON and SARIF keep the exact text.
class CTerminalText {
public:
  /// `text` with every such character, and every byte of damaged UTF-8, shown as "?".
  static std::string Printable(std::string_view text);
  /// Appends Printable(`text`) to `out`.
  static void AppendPrintable(std::string& out, std::string_view text);
  /// True for a code point that is not shown as itself: C0 and C1 controls, DEL, the
  /// line and paragraph separators and the bidirectional marks, embeddings, overrides
  /// and isolates.
  static bool IsHidden(char32_t c);
};
