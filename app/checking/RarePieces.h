#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CBadWord;

/// Decides which unrecognized words written like code are shown. Such a word
/// (CCodeTokens) carries the keys of its unknown pieces, and is shown only while one of
/// them is rare on the site: held by at most kMaxRareWords distinct words of the list
/// (a plain word that is the piece itself counts too), so that `vaccum` of one
/// identifier is reported and `sqlite` of a thousand is not. Plain and repeated words
/// are always shown.
///
/// The counts follow each word added or removed, and only the words of a piece whose
/// count crosses the limit are judged again, so a re-check of one page costs its own
/// words. The owner's lock guards it, and it sets the words' hidden flags.
class CRarePieces {
public:
  static constexpr std::size_t kMaxRareWords = 2;
  /// How many listed plain words count under a key (CCodeTokens::PlainKey): asked when
  /// a piece is first met; the changes after that are told through Add and Remove.
  using PlainWords = std::function<std::size_t(std::string_view key)>;

  explicit CRarePieces(PlainWords plainWords);

  /// A word just listed (not a repeated one).
  void Add(CBadWord* word);
  /// A listed word about to be deleted (not a repeated one).
  void Remove(CBadWord* word);
  void Clear();
  /// The listed words hidden now.
  std::size_t HiddenCount() const { return m_hidden; }

private:
  struct SPiece {
    std::vector<CBadWord*> codeWords;
    std::size_t plainWords = 0;
    std::size_t Count() const { return codeWords.size() + plainWords; }
  };

  enum class EChange { kAdded, kRemoved };
  /// A plain word counts under the piece it spells, once a word written like code has it.
  void CountPlain(const CBadWord* word, EChange change);
  /// Judges again the words of `piece` when its count crossed the limit.
  void AfterChange(const SPiece& piece, std::size_t before);
  void Judge(CBadWord* word);
  bool IsRare(std::string_view key) const;

  PlainWords m_plainWords;
  std::unordered_map<std::string, SPiece> m_pieces;
  std::size_t m_hidden = 0;
};
