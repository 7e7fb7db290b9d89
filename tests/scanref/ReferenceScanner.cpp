#include "ReferenceScanner.h"

#include "checking/CodeTokens.h"
#include "checking/LanguageDictionaries.h"
#include "checking/PageLanguages.h"

#include "checking/InlineElements.h"
#include "checking/RepeatFinder.h"
#include "checking/TagWalk.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/InternetUtils.h"
#include "utilcore/PageText.h"
#include "utilcore/StringUtils.h"
#include "utilcore/WordPair.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <utility>

namespace {

/// For each byte of the page, what the repeat test must know of it: kBreak for markup
/// that parts words, kLeftOut for the inside of an SVG element.
constexpr char kPlain = '.';
constexpr char kBreak = 'B';
constexpr char kLeftOut = 'S';
using Marks = std::vector<std::string>;

void MarkRange(Marks& marks, std::size_t line, std::size_t offset, std::size_t endLine,
               std::size_t endOffset, char mark) {
  for (std::size_t k = line; k <= endLine && k < marks.size(); ++k) {
    for (std::size_t i = k == line ? offset : 0; i < (k == endLine ? endOffset : marks[k].size());
         ++i) {
      if (i < marks[k].size() && (mark == kBreak || marks[k][i] == kPlain)) {
        marks[k][i] = mark;
      }
    }
  }
}

/// The repeated words of a page, found over the whole page at once: every pair of
/// neighbouring tokens, the gap between them read byte by byte.
struct SRepeat {
  std::size_t end;
  std::string text;
};
using Repeats = std::map<std::pair<std::size_t, std::size_t>, SRepeat>;

Repeats FindRepeats(const std::vector<std::string>& lines, const Marks& marks,
                    const std::vector<int>& dictionaryIds) {
  struct SToken {
    std::size_t line;
    std::size_t start;
    std::string_view text;
  };
  std::vector<SToken> tokens;
  std::vector<std::string> texts(lines.size());
  for (std::size_t k = 0; k < lines.size(); ++k) {
    texts[k] = lines[k];
    CReferenceScanner::BlankAddresses(texts[k]);
    std::vector<CStringUtils::Span> spans;
    CStringUtils::GetWordSpans(texts[k], spans, false);
    for (const CStringUtils::Span& span : spans) {
      tokens.push_back({k, span.start, std::string_view(lines[k]).substr(span.start, span.length)});
    }
  }
  Repeats found;
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  for (std::size_t n = 1; n < tokens.size(); ++n) {
    const SToken& a = tokens[n - 1];
    const SToken& b = tokens[n];
    const CWordPair::SCore first = CWordPair::CoreOf(a.text);
    const CWordPair::SCore second = CWordPair::CoreOf(b.text);
    if (first.Empty() || second.Empty() || first.end != a.text.size() || second.begin != 0) {
      continue;
    }
    const std::string_view one = a.text.substr(first.begin, first.end - first.begin);
    const std::string_view two = b.text.substr(0, second.end);
    if (!CWordPair::Repeats(one, two) || marks[b.line][b.start] == kLeftOut) {
      continue;
    }
    std::string gap;
    bool parted = false;
    for (std::size_t k = a.line; k <= b.line; ++k) {
      const std::size_t from = k == a.line ? a.start + a.text.size() : 0;
      const std::size_t to = k == b.line ? b.start : lines[k].size();
      gap += lines[k].substr(from, to - from);
      parted = parted || marks[k].substr(from, to - from).find(kBreak) != std::string::npos;
    }
    std::string visible;
    CRepeatFinder::AppendVisible(two, visible);
    if (parted || !CWordPair::IsBlank(gap) || CRepeatFinder::IsAllowedDouble(visible) ||
        (speller != nullptr &&
         speller->LookUp(CPageScanner::IgnoredRepeatForm(visible), dictionaryIds))) {
      continue;
    }
    found[{b.line, b.start}] = SRepeat{b.start + two.size(), visible};
  }
  return found;
}

bool HasNonAscii(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

/// The findings of one line of page text, appended to `findings`.
void AddFinding(std::vector<CBadWordsList::SFileFindings>& findings, const std::string& word,
                int duplicate, CBadWordsList::SFoundLocation location,
                const std::string& pieces = {}) {
  auto entry = std::find_if(findings.begin(), findings.end(), [&](const auto& finding) {
    return finding.text == word && finding.duplicate == duplicate;
  });
  if (entry == findings.end()) {
    entry = findings.insert(findings.end(), {word, {}, duplicate, pieces});
  }
  entry->locations.push_back(std::move(location));
}

CBadWordsList::SFoundLocation Locate(const std::string& line, const std::string& original,
                                     bool asciiLine, int lineIndex, std::size_t start,
                                     std::size_t end) {
  CBadWordsList::SFoundLocation location;
  location.line = lineIndex;
  location.start = static_cast<int>(start);
  location.end = static_cast<int>(end);
  location.context =
      CStringUtils::EllipsisSurroundingWord(line, location.start, location.end - location.start, 4);
  const bool counted = !asciiLine && end <= original.size();
  location.column = counted ? CStringUtils::CountCharacters(original, start) : location.start;
  location.endColumn = counted ? CStringUtils::CountCharacters(original, end) : location.end;
  return location;
}

/// The ids that check the text at a place, null where its language has none.
using IdsAt = std::function<const std::vector<int>*(std::size_t line, std::size_t offset)>;

void ScanLine(const std::string& line, const std::string& original, bool asciiLine, int lineIndex,
              const IdsAt& idsAt, const Repeats& repeats,
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
    const auto repeat = repeats.find({static_cast<std::size_t>(lineIndex), span.start});
    if (repeat != repeats.end()) {
      AddFinding(findings, repeat->second.text, 1,
                 Locate(line, original, asciiLine, lineIndex, span.start, repeat->second.end));
    }
    const std::vector<int>* ids = idsAt(static_cast<std::size_t>(lineIndex), span.start);
    std::string word = text.substr(span.start, span.length);
    if (ids == nullptr || !speller->PreprocessWord(word) || speller->LookUp(word, *ids)) {
      continue;
    }
    // A word written like code goes by its pieces: with none unknown it is accepted.
    std::string pieces;
    if (CCodeTokens::IsCodeLike(word)) {
      bool settled = true;
      pieces = CCodeTokens::UnknownPieces(*speller, word, *ids, settled);
      if (pieces.empty()) {
        continue;
      }
    }
    std::size_t& from = resumeAt[word];
    from = std::max(from, span.start);
    CStringUtils::Span match;
    if (!CStringUtils::FindOccurrenceFrom(text, word, from, true, match)) {
      from = text.size();
      continue;
    }
    from = match.start + match.length;
    AddFinding(
        findings, word, 0,
        Locate(line, original, asciiLine, lineIndex, match.start, match.start + match.length),
        pieces);
  }
}

// A reference's fillers only: the joiners of markup are no part of a decoded tag.
bool IsFiller(char c) {
  return c == CPageText::kFiller;
}

/// Each "<" that starts a decoded tag (a letter or "/" after it, fillers skipped) with a
/// ">" later in the line and no "<" in between is blanked through that ">" and the
/// fillers after it.
void BlankDecodedTags(std::string& line, std::string& marks) {
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
    std::fill(marks.begin() + static_cast<std::ptrdiff_t>(at),
              marks.begin() + static_cast<std::ptrdiff_t>(end), kBreak);
  }
}

/// MakePageText that also marks, byte by byte, what parts words and what is left out
/// of the repeat test.
void MakeMarkedPageText(std::vector<std::string>& lines, Marks& marks);

} // namespace

void CReferenceScanner::MakePageText(std::vector<std::string>& lines) {
  Marks marks;
  MakeMarkedPageText(lines, marks);
}

namespace {

void MakeMarkedPageText(std::vector<std::string>& lines, Marks& marks) {
  marks.clear();
  for (const std::string& line : lines) {
    marks.emplace_back(line.size(), kPlain);
  }
  std::vector<std::pair<std::size_t, std::size_t>> leftOutOpen;
  // Comments and the tags of inline elements join the words around them: their blanks
  // become joiners once every kind of markup is out.
  std::vector<CStringUtils::TagPlace> joining;
  const auto join = [&joining](const std::vector<std::string>&, const CStringUtils::TagPlace& at) {
    joining.push_back(at);
  };
  const auto joinInline = [&](const std::vector<std::string>& page,
                              const CStringUtils::TagPlace& at) {
    bool closing = false;
    const std::string_view name = CInlineElements::TagNameAt(page[at.line], at.offset, closing);
    const CInlineElements::ETag tag = CInlineElements::TagOf(name);
    if (CInlineElements::Joins(tag)) {
      joining.push_back(at);
    }
    if (CInlineElements::PartsRepeats(tag)) {
      MarkRange(marks, at.line, at.offset, at.endLine, at.endOffset, kBreak);
    }
    if (CInlineElements::LeavesOutRepeats(tag)) {
      // "<svg/>" holds nothing: SVG closes at once on "/>", HTML elements do not.
      const bool empty =
          CStringUtils::EqualsAsciiNoCase(name, "svg") && CTagWalk::IsSelfClosing(page, at);
      if (!closing && !empty) {
        leftOutOpen.emplace_back(at.line, at.offset);
      } else if (closing && !leftOutOpen.empty()) {
        if (leftOutOpen.size() == 1) {
          MarkRange(marks, leftOutOpen.front().first, leftOutOpen.front().second, at.endLine,
                    at.endOffset, kLeftOut);
        }
        leftOutOpen.pop_back();
      }
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
  if (!leftOutOpen.empty()) {
    MarkRange(marks, leftOutOpen.front().first, leftOutOpen.front().second, lines.size(), 0,
              kLeftOut);
  }
  for (std::size_t k = 0; k < lines.size(); ++k) {
    CHTMLUtils::ReplaceHTMLReservedChars(lines[k], false, true);
    BlankDecodedTags(lines[k], marks[k]);
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

} // namespace

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
CReferenceScanner::ScanFile(std::vector<std::string> lines, const std::vector<int>& dictionaryIds,
                            CPageScanner::ERepeatedWords repeatedWords) {
  const std::vector<std::string> originals = lines;
  Marks marks;
  MakeMarkedPageText(lines, marks);
  const Repeats repeats = repeatedWords == CPageScanner::ERepeatedWords::kReported
                              ? FindRepeats(lines, marks, dictionaryIds)
                              : Repeats();
  // The languages of the text, heard in a pass of their own over the page as read.
  CPageLanguages languages;
  languages.Clear();
  std::vector<std::string> blanked = originals;
  CStringUtils::BlankMarkup(
      blanked, [&languages](const std::vector<std::string>& page,
                            const CStringUtils::TagPlace& tag) { languages.OnTag(page, tag); });
  languages.StartScan();
  CLanguageDictionaries choice(CLanguageDictionaries::Describe(dictionaryIds));
  const IdsAt idsAt = [&](std::size_t line, std::size_t offset) -> const std::vector<int>* {
    const int set = choice.SetFor(languages.Languages()[languages.LanguageAt(line, offset)]);
    return set == CLanguageDictionaries::kUnchecked ? nullptr : &choice.Ids(set);
  };
  std::vector<CBadWordsList::SFileFindings> findings;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    ScanLine(lines[k], originals[k], !HasNonAscii(originals[k]), static_cast<int>(k), idsAt,
             repeats, findings);
  }
  return findings;
}
