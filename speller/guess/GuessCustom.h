#pragma once

#include "guess/Guess.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CArchiveReader;
class CArchiveWriter;

/// Replacements the user made earlier, kept in "common_custom_guess.dat" in the
/// custom dictionary folder and offered for the same word again (no lookup).
class CGuessCustom : public CGuess {
public:
  /// Lower-case word to its lower-case replacements in the order learned.
  using Table = std::map<std::string, std::vector<std::string>>;

  static constexpr const char* kFileName = "common_custom_guess.dat";
  static constexpr std::uint16_t kVersion = 2;

  /// Nothing to put back: the table is no cursor.
  void Reset() override {}
  /// Loads the file on first use, then appends the word's replacements in the case
  /// of the word. Ignores `findAll`, the ids and the speller.
  void MakeGuesses(const std::string& word, const std::vector<int>& dictionaryIds,
                   std::vector<std::string>& suggestions, bool findAll,
                   CSpellCheckerImpl* speller) override;

  /// Learns `replacement` for `word` (both lower-cased) and saves the file.
  void AddGuess(const std::string& word, const std::string& replacement);
  /// Reads the file into the table (keys already there keep their lists); a missing
  /// or empty file is no failure. False after a logged error: what was read stays.
  bool Load();
  /// Writes the whole table atomically; failures are logged and the old file stays.
  void Save();
  /// Reads a table file's bytes into the table; true when it was of version 1. Throws
  /// CArchiveException for a damaged file, leaving the entries read before.
  bool Serialize(CArchiveReader& archive);
  /// Writes the table in the current version.
  void Serialize(CArchiveWriter& archive) const;

  const Table& GetTable() const noexcept { return m_table; }
  /// The file's path; empty when there is no custom dictionary folder.
  static std::string GetFilePath();

private:
  bool m_loaded = false;
  Table m_table;
  std::string m_key;
};
