#pragma once

#include "spellcore/SpellcoreExport.h"

#include <string>
#include <string_view>

/// The two Double Metaphone keys of a word (a primary and an alternate pronunciation),
/// their 16-bit numbers, and a comparison of two words by their keys.
///
/// The word is taken as stored, UTF-8 and case-sensitive: the rules read the lower-case
/// letters a to z, ç and ñ; any other character (upper-case letters, digits,
/// punctuation, other non-ASCII characters) is skipped without a code. Keys are at most
/// four lower-case codes from "0afhjklmnprstx", where 0 stands for th and a for a
/// word-initial vowel. Positions and the length count bytes of the UTF-8 word.
class SPELLCORE_EXPORT Metaphone {
public:
  /// Empty word, empty keys.
  Metaphone();
  explicit Metaphone(const std::string& word);
  ~Metaphone();
  Metaphone(const Metaphone& other);
  Metaphone(Metaphone&& other) noexcept;
  Metaphone& operator=(const Metaphone& other);
  Metaphone& operator=(Metaphone&& other) noexcept;

  /// True when any pairing of the two words' keys is equal; a word without alternate
  /// codes takes part with its primary key only.
  bool operator==(const Metaphone& other) const;
  bool operator!=(const Metaphone& other) const;

  /// Replaces the word; the old keys are discarded and the new ones computed.
  void SetWord(const std::string& word);

  const std::string& GetPrimaryKey() const { return m_primaryKey; }
  /// Equals the primary key when the rules gave no alternate code.
  const std::string& GetAlternateKey() const { return m_alternateKey; }
  /// The primary key as a number, four bits a code, the first code highest.
  unsigned short GetPrimaryKeyValue() const;
  unsigned short GetAlternateKeyValue() const;

protected:
  /// Fills both keys from the word; expects them empty.
  void ComputeKeys();
  /// Whether the word holds `text` from byte `start` on, wholly inside the word.
  bool Matches(int start, std::string_view text) const;
  /// Whether the byte at `pos` is one of "aeiouy"; false outside the word.
  bool IsVowel(int pos) const;
  /// Whether the word looks Slavic or Germanic (holds w, k or cz).
  bool IsSlavoGermanic() const;
  /// Appends one code: `main` (unless 0) to the primary key; `alternate` to the
  /// alternate key, where a space means "nothing here" and 0 means "the same as main".
  void AddMetaphoneCharacter(char main, char alternate);
  /// Four bits a code (a 1, f 2, h 3, j 4, k 5, l 6, m 7, n 8, p 9, s 10, t 11, r 12,
  /// x 13, anything else 0), first code highest, kept to 16 bits; empty gives 0.
  unsigned short ConvertKeyToNumber(const std::string& key) const;

private:
  /// The letter rules; lives beside ComputeKeys, not part of the interface.
  class CRules;

  bool m_hasAlternate = false;
  int m_length = 0;
  std::string m_primaryKey;
  std::string m_alternateKey;
  std::string m_word;
};
