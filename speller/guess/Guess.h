#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CSpellCheckerImpl;

/// One suggestion strategy. Each keeps a cursor so that it can hand out one
/// candidate per call (findAll false) and go on from there on the next call.
///
/// Single-threaded: the strategies belong to the thread that calls Guess.
class CGuess {
public:
  /// The longest word, in characters, that gets suggestions. The main word list's
  /// longest word has 31; a longer word misspells none of them, and the strategies
  /// take time in the square of the word's length.
  static constexpr std::size_t kMaxWordChars = 64;

  CGuess() = default;
  virtual ~CGuess() = default;
  CGuess(const CGuess&) = delete;
  CGuess& operator=(const CGuess&) = delete;

  /// Whether `word` has more than kMaxWordChars characters; reads at most a few
  /// hundred bytes of it.
  static bool IsTooLong(std::string_view word);

  /// Puts the cursor back to its start.
  virtual void Reset() = 0;
  /// Appends candidates for `word`; only appends. With `findAll` every candidate,
  /// leaving the cursor at its start; else at most one, resuming where the last call
  /// stopped. Does nothing without `speller`.
  virtual void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                           std::vector<std::string>& suggestions, bool findAll,
                           CSpellCheckerImpl* speller) = 0;

protected:
  /// Whether one of the dictionaries `ids` recognises `text` (reader access per call).
  static bool IsKnown(CSpellCheckerImpl& speller, std::string_view text,
                      const std::vector<int>& ids);
  /// The number of UTF-8 characters of `text`.
  static std::size_t CountChars(std::string_view text);
  /// The byte offsets at which the characters of `text` begin, followed by its size,
  /// so that an edit never cuts a UTF-8 character in two; returns the character count.
  static std::size_t CharStarts(std::string_view text, std::vector<std::size_t>& starts);
};
