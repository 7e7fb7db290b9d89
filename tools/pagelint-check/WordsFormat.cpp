#include "pagelint-check/WordsFormat.h"

#include "pagelint-check/CheckReport.h"
#include "pagelint-check/TerminalText.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace {

/// Calls `line` with each unrecognized word, its occurrences and its pages.
template <typename Line> void ForEachWord(const CCheckReport& report, Line line) {
  // The findings of a word follow each other, by root and file: a new page starts
  // wherever the file changes.
  const std::vector<CCheckReport::Entry>& findings = report.ByWord();
  std::size_t next = 0;
  for (std::size_t word = 0; word < static_cast<std::size_t>(report.GetWordCount()); ++word) {
    int occurrences = 0;
    int pages = 0;
    std::uint32_t lastFile = 0;
    for (; next < findings.size() && findings[next].word == word; ++next) {
      if (occurrences == 0 || findings[next].file != lastFile) {
        ++pages;
        lastFile = findings[next].file;
      }
      ++occurrences;
    }
    if (report.GetWordKind(word) == CCheckReport::EKind::kUnrecognized) {
      line(report.GetWordText(word), occurrences, pages);
    }
  }
}

void AppendLine(std::string& out, std::string_view word, int occurrences, int pages) {
  // A word never holds a tab, but a control character in it must not reach a terminal.
  CTerminalText::AppendPrintable(out, word);
  out += '\t';
  out += std::to_string(occurrences);
  out += '\t';
  out += std::to_string(pages);
  out += '\n';
}

} // namespace

std::string CWordsFormat::Text(const CCheckReport& report) {
  std::string out;
  ForEachWord(report, [&out](std::string_view word, int occurrences, int pages) {
    AppendLine(out, word, occurrences, pages);
  });
  return out;
}

void CWordsFormat::Write(const CCheckReport& report, std::ostream& out) {
  std::string line;
  ForEachWord(report, [&](std::string_view word, int occurrences, int pages) {
    line.clear();
    AppendLine(line, word, occurrences, pages);
    out << line;
  });
}
