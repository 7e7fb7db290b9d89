#pragma once

#include "checking/BadWordsList.h"
#include "checking/PageScanner.h"

#include <string>
#include <vector>

/// The page scan done the slow, obvious way, one whole pass per step: markup blocks
/// (comments and inline tags left as joiners, the markup that parts words marked byte
/// by byte), then references and the tags they made, then addresses, word spans, the
/// pairs of repeated words and the search for each finding. The page scanner must find exactly what
/// this finds; the tests and the differential fuzz target compare the two.
class CReferenceScanner {
public:
  /// Blanks markup and decodes references in place, every byte kept at its offset.
  static void MakePageText(std::vector<std::string>& lines);
  /// Overwrites every e-mail and web address in `line` with as many blanks.
  static void BlankAddresses(std::string& line);
  /// The findings of a file whose lines are `lines` as read, by word in first-found
  /// order, looked up in the dictionaries `dictionaryIds`; repeated words found over
  /// the whole page at once, by every pair of neighbouring tokens.
  static std::vector<CBadWordsList::SFileFindings>
  ScanFile(std::vector<std::string> lines, const std::vector<int>& dictionaryIds,
           CPageScanner::ERepeatedWords repeatedWords = CPageScanner::ERepeatedWords::kReported);
};
