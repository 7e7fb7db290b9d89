#pragma once

#include <iosfwd>
#include <string>

class CCheckReport;

/// The "words" format of pagelint-check: one line per distinct unrecognized word,
/// "word<TAB>occurrences<TAB>pages", in the report's word order, for triaging a site
/// or seeding its word list. Repeated words ("the the") are left out: they are known
/// words, and a word list that took them would learn nothing.
class CWordsFormat {
public:
  static std::string Text(const CCheckReport& report);
  /// Text, written to `out` line by line.
  static void Write(const CCheckReport& report, std::ostream& out);
};
