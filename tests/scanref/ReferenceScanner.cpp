#include "ReferenceScanner.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/InternetUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <map>

namespace {

bool HasNonAscii(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

/// The findings of one line of page text, appended to `findings`.
void ScanLine(const std::string& line, const std::string& original, bool asciiLine, int lineIndex,
              const std::vector<int>& dictionaryIds,
              std::vector<CBadWordsList::SFileFindings>& findings) {
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  if (CStringUtils::IsEffectivelyEmpty(line) || speller == nullptr) {
    return;
  }
  std::string text = line;
  CReferenceScanner::BlankAddresses(text);
  std::vector<CStringUtils::Span> spans;
  CStringUtils::GetWordSpans(text, spans, false);
  std::map<std::string, std::size_t> resumeAt;
  for (const CStringUtils::Span& span : spans) {
    std::string word = text.substr(span.start, span.length);
    if (!speller->PreprocessWord(word) || speller->LookUp(word, dictionaryIds)) {
      continue;
    }
    std::size_t& from = resumeAt[word];
    from = std::max(from, span.start);
    CStringUtils::Span match;
    if (!CStringUtils::FindOccurrenceFrom(text, word, from, true, match)) {
      from = text.size();
      continue;
    }
    from = match.start + match.length;
    CBadWordsList::SFoundLocation location;
    location.line = lineIndex;
    location.start = static_cast<int>(match.start);
    location.end = static_cast<int>(match.start + match.length);
    location.context = CStringUtils::EllipsisSurroundingWord(line, location.start,
                                                             location.end - location.start, 4);
    const bool counted = !asciiLine && static_cast<std::size_t>(location.end) <= original.size();
    location.column =
        counted ? CStringUtils::CountCharacters(original, match.start) : location.start;
    location.endColumn = counted
                             ? CStringUtils::CountCharacters(original, match.start + match.length)
                             : location.end;
    auto entry = std::find_if(findings.begin(), findings.end(),
                              [&](const auto& finding) { return finding.text == word; });
    if (entry == findings.end()) {
      entry = findings.insert(findings.end(), {word, {}});
    }
    entry->locations.push_back(std::move(location));
  }
}

} // namespace

void CReferenceScanner::MakePageText(std::vector<std::string>& lines) {
  CStringUtils::ReplaceTextBlock(lines, "<!--", "-->", "", true);
  CStringUtils::ReplaceTextBlock(lines, "<script", "/script>", "", true);
  CStringUtils::ReplaceTextBlock(lines, "<style", "/style>", "", true);
  CStringUtils::ReplaceTextBlock(lines, "<", ">", "", true);
  for (std::string& line : lines) {
    CHTMLUtils::ReplaceHTMLReservedChars(line, false, true);
  }
  CStringUtils::ReplaceTextBlock(lines, "<", ">", "", true);
}

void CReferenceScanner::BlankAddresses(std::string& line) {
  std::vector<std::string> found;
  CInternetUtils::ParseEmailAddresses(line, found);
  CInternetUtils::ParseWebSiteAddresses(line, found);
  std::stable_sort(found.begin(), found.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& address : found) {
    for (std::size_t at = address.empty() ? std::string::npos : line.find(address);
         at != std::string::npos; at = line.find(address, at + address.size())) {
      std::fill_n(line.begin() + static_cast<std::ptrdiff_t>(at), address.size(), ' ');
    }
  }
}

std::vector<CBadWordsList::SFileFindings>
CReferenceScanner::ScanFile(std::vector<std::string> lines, const std::vector<int>& dictionaryIds) {
  const std::vector<std::string> originals = lines;
  MakePageText(lines);
  std::vector<CBadWordsList::SFileFindings> findings;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    ScanLine(lines[k], originals[k], !HasNonAscii(originals[k]), static_cast<int>(k), dictionaryIds,
             findings);
  }
  return findings;
}
