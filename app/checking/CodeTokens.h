#pragma once

#include <string>
#include <string_view>
#include <vector>

class CSpellChecker;

/// Words written like code in running text: identifiers (`auto_vacuum`,
/// `allowedSignersFile`), file names and anchors, calls, hex and version strings. Such
/// a word is judged by its letter pieces rather than whole: one whose pieces of
/// kMinPieceLength letters or more are all known is accepted, and one with unknown
/// pieces is reported only when one of them is rare on the site (CRarePieces). Plain
/// words (letters, apostrophes, hyphens) never count as code. Stateless, thread-safe.
class CCodeTokens {
public:
  /// Shorter pieces are never judged: "c" of a hex string, "i" of `x[i]`.
  static constexpr std::size_t kMinPieceLength = 3;
  /// Between the keys of UnknownPieces: no piece holds it.
  static constexpr char kKeyEnd = '\n';

  /// Whether `word` (as the speller preprocessed it) holds a character of code
  /// (_ . ( ) # / [ ] { } = : + *; a final period is an abbreviation's), a digit, or a
  /// lower-case letter followed by a capital.
  static bool IsCodeLike(std::string_view word);
  /// The letter runs of `word`, each cut again where camel case starts a new word:
  /// before a capital that follows a lower-case letter ("allowed|Signers"), and before
  /// the last capital of a run that a lower-case letter follows ("HTTP|Server").
  static void SplitPieces(std::string_view word, std::vector<std::string_view>& pieces);
  /// The key a piece is counted under across the site: lower case.
  static std::string PieceKey(std::string_view piece);
  /// The keys of the pieces of `word` at least kMinPieceLength letters long that the
  /// dictionaries `ids` do not know (hexadecimal digits beside a digit are no piece),
  /// each once, in order, each followed by kKeyEnd;
  /// empty when every such piece is known. `settled` becomes false when a look-up
  /// depended on a dictionary that could not be loaded.
  static std::string UnknownPieces(const CSpellChecker& speller, std::string_view word,
                                   const std::vector<int>& ids, bool& settled);
  /// Calls `visit` with each key of a list made by UnknownPieces.
  template <class Visit> static void ForEachKey(std::string_view keys, Visit&& visit) {
    std::size_t from = 0;
    for (std::size_t end = keys.find(kKeyEnd); end != std::string_view::npos;
         end = keys.find(kKeyEnd, from)) {
      visit(keys.substr(from, end - from));
      from = end + 1;
    }
  }
  /// The key a plain word counts under when it could be a piece itself (letters only,
  /// kMinPieceLength or more); empty for any other word.
  static std::string PlainKey(std::string_view word);
  /// The ways a plain word of `key` is written: all lower case, capitalised, all
  /// capitals (a plain word has no capital after a lower-case letter), each once.
  static std::vector<std::string> PlainForms(std::string_view key);
};
