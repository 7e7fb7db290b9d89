#pragma once

#include "checking/LanguageScan.h"

#include <cstddef>
#include <mutex>
#include <span>
#include <string>
#include <vector>

/// A check run's words left unchecked because no active dictionary is for their
/// language, summed over its pages. Any thread.
class CUncheckedLanguages {
public:
  struct SLanguage {
    std::string tag;
    std::size_t words = 0;
    bool operator==(const SLanguage&) const = default;
  };

  void Add(std::span<const CLanguageScan::SUnchecked> page);
  void Clear();
  /// The languages with their counts, by tag.
  std::vector<SLanguage> Get() const;

  /// What the user reads of one: "57 words in fr left unchecked: no dictionary for it".
  static std::string Describe(const SLanguage& language);
  /// Describe of each, joined by "; "; empty for none.
  static std::string DescribeAll(const std::vector<SLanguage>& languages);

private:
  mutable std::mutex m_mutex;
  std::vector<CLanguageScan::SUnchecked> m_counts;
};
