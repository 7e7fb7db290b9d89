#pragma once

#include "guess/Guess.h"

#include <string_view>

/// Replaces each character of one class (vowels, consonants or digits) by every
/// letter of the replacement alphabet, the character itself included.
class CGuessReplacement : public CGuess {
public:
  /// Vowels then consonants: the order in which replacing letters are tried.
  static constexpr std::string_view kAlphabet = "aeiouybcdfghjklmnpqrstvwxz";
  static constexpr std::string_view kVowels = "aeiouy";
  static constexpr std::string_view kConsonants = "bcdfghjklmnpqrstvwxz";

  void Reset() override;
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

protected:
  /// Whether the (single-byte) character `c` is one this strategy replaces.
  virtual bool IsReplaced(char c) const = 0;

private:
  std::size_t m_position = 0; ///< byte offset of the character being replaced
  std::size_t m_letter = 0;   ///< next index into kAlphabet
  std::string m_buffer;
  std::vector<std::size_t> m_starts;
};
