#include "ReferenceScanner.h"

#include "checking/InlineElements.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/InternetUtils.h"
#include "utilcore/PageText.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <cctype>
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

// A reference's fillers only: the joiners of markup are no part of a decoded tag.
bool IsFiller(char c) {
  return c == CPageText::kFiller;
}

/// Each "<" that starts a decoded tag (a letter or "/" after it, fillers skipped) with a
/// ">" later in the line and no "<" in between is blanked through that ">" and the
/// fillers after it.
void BlankDecodedTags(std::string& line) {
  for (std::size_t at = 0; at < line.size(); ++at) {
    if (line[at] != '<') {
      continue;
    }
    std::size_t name = at + 1;
    while (name < line.size() && IsFiller(line[name])) {
      ++name;
    }
    if (name == line.size() ||
        !(std::isalpha(static_cast<unsigned char>(line[name])) != 0 || line[name] == '/')) {
      continue;
    }
    const std::size_t close = line.find('>', name);
    if (close == std::string::npos ||
        line.substr(at + 1, close - at).find('<') != std::string::npos) {
      continue;
    }
    std::size_t end = close + 1;
    while (end < line.size() && IsFiller(line[end])) {
      ++end;
    }
    std::fill(line.begin() + static_cast<std::ptrdiff_t>(at),
              line.begin() + static_cast<std::ptrdiff_t>(end), ' ');
  }
}

} // namespace

void CReferenceScanner::MakePageText(std::vector<std::string>& lines) {
  // Comments and the tags of inline elements join the words around them: their blanks
  // become joiners once every kind of markup is out.
  std::vector<CStringUtils::TagPlace> joining;
  const auto join = [&joining](const std::vector<std::string>&, const CStringUtils::TagPlace& at) {
    joining.push_back(at);
  };
  const auto joinInline = [&joining](const std::vector<std::string>& page,
                                     const CStringUtils::TagPlace& at) {
    bool closing = false;
    if (CInlineElements::JoinsWords(
            CInlineElements::TagNameAt(page[at.line], at.offset, closing))) {
      joining.push_back(at);
    }
  };
  CStringUtils::ReplaceTextBlock(lines, "<!--", "-->", "", true, 0, join);
  CStringUtils::ReplaceTextBlock(lines, "<script", "/script>", "", true);
  CStringUtils::ReplaceTextBlock(lines, "<style", "/style>", "", true);
  CStringUtils::ReplaceTextBlock(lines, "<", ">", "", true, 0, joinInline);
  for (const CStringUtils::TagPlace& at : joining) {
    for (std::size_t k = at.line; k <= at.endLine; ++k) {
      for (std::size_t i = k == at.line ? at.offset : 0;
           i < (k == at.endLine ? at.endOffset : lines[k].size()); ++i) {
        lines[k][i] = CPageText::kJoiner;
      }
    }
  }
  for (std::string& line : lines) {
    CHTMLUtils::ReplaceHTMLReservedChars(line, false, true);
    BlankDecodedTags(line);
  }
  // Each piece of joining markup joins only two word characters.
  for (const CStringUtils::TagPlace& at : joining) {
    for (std::size_t k = at.line; k <= at.endLine; ++k) {
      const std::size_t begin = k == at.line ? at.offset : 0;
      const std::size_t end = k == at.endLine ? at.endOffset : lines[k].size();
      if (begin < end) {
        CStringUtils::SettleJoinerRun(lines[k], begin, end);
      }
    }
  }
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
