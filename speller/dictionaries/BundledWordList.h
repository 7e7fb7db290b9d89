#pragma once

#include "dictionaries/CustomDictionary.h"

#include <string>

/// A word list shipped with the program in its folder, beside the main dictionary:
/// read on first use, never written, never given words. A file that is gone or
/// cannot be read by then is logged once and leaves the list empty, so that look-ups
/// go on without it and never try the file again.
class CBundledWordList : public CCustomDictionary {
public:
  /// The words of the computing field that the main dictionary lacks.
  static constexpr const char* kTechnicalTermsName = "ZEB Technical Terms";
  static constexpr const char* kTechnicalTermsFile = "TechnicalTerms.txt";
  /// A shipped word list whose file is not there: "{ID} - <file> - <reason>".
  static constexpr const char* kLogMissing = "{A097B72A-B3B3-4590-BE99-1DCF32A4331A}";
  static constexpr const char* kMissingReason = "the shipped word list is missing";

  using CCustomDictionary::CCustomDictionary;

  /// Always true: the words of the file, or none.
  bool Load() override;
  bool Save() override { return false; }
  void AddWord(const std::string&) override {}
  void SetWords(const TextArray&) override {}
  /// Not the user's: a rescan of the custom dictionary folder keeps it.
  bool IsCustom() const override { return false; }
  EDictionaryKind GetKind() const override { return EDictionaryKind::kWordList; }
  bool IsReadOnly() const override { return true; }
};
