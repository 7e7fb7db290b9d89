#include "facade/WordPreprocessor.h"

#include "facade/Abbreviations.h"

#include "utilcore/HTMLUtils.h"
#include "utilcore/PageText.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// The fourteen characters that decorate words in page text and are cut off their
// ends: ® © ° ± ¹ ² ³ µ ¼ ½ ¾ ™ ‘ ’. A constant table, so no thread ever builds it.
constexpr std::array<std::string_view, 14> kSpecialChars = {
    "\xC2\xAE", "\xC2\xA9", "\xC2\xB0", "\xC2\xB1", "\xC2\xB9",     "\xC2\xB2",     "\xC2\xB3",
    "\xC2\xB5", "\xC2\xBC", "\xC2\xBD", "\xC2\xBE", "\xE2\x84\xA2", "\xE2\x80\x98", "\xE2\x80\x99"};

constexpr std::string_view kPossessive = "'s";
constexpr std::string_view kTypographicPossessive = "\xE2\x80\x99s";

bool CanStartSpecial(unsigned char byte) {
  return byte == 0xC2 || byte == 0xE2;
}

// The word with its parenthesised middle kept: "word(s)" stays, "(word)" becomes
// "word", and punctuation is trimmed from each of the three parts.
void TrimAroundParentheses(std::string& word, int open, int close) {
  const auto first = static_cast<std::size_t>(open);
  const auto last = static_cast<std::size_t>(close);
  std::string left = word.substr(0, first);
  std::string inner = word.substr(first + 1, last - first - 1);
  std::string right = word.substr(last + 1);
  CStringUtils::TrimPunctuation(left, "", "");
  CStringUtils::TrimPunctuation(inner, "", "");
  CStringUtils::TrimPunctuation(right, "", "");
  if (left.empty() && right.empty()) {
    word = std::move(inner);
    return;
  }
  word = left + "(" + inner + ")" + right;
}

void TrimPunctuationAround(std::string& word) {
  int open = -1;
  int close = -1;
  if (CStringUtils::FindOccurrencePair(word, "(", ")", 1, open, close)) {
    TrimAroundParentheses(word, open, close);
  } else {
    CStringUtils::TrimPunctuation(word, "", "");
  }
}

bool CutPossessive(std::string& word) {
  // Most words end in another letter: they are told apart without folding case.
  if (word.empty() || (word.back() | 0x20) != 's') {
    return false;
  }
  for (const std::string_view ending : {kPossessive, kTypographicPossessive}) {
    if (CStringUtils::MatchLastChars(word, ending, false)) {
      word.resize(word.size() - ending.size());
      return true;
    }
  }
  return false;
}

/// A short word as it was before its punctuation was trimmed, kept without allocating;
/// empty unless it holds a period, since only then may it end in an abbreviation's.
class CShortWord {
public:
  explicit CShortWord(std::string_view word) {
    if (word.size() <= m_bytes.size() && word.find('.') != std::string_view::npos) {
      std::copy(word.begin(), word.end(), m_bytes.begin());
      m_size = word.size();
    }
  }
  std::string_view View() const { return {m_bytes.data(), m_size}; }

private:
  // Room for the longest abbreviation between quotes, brackets and a comma.
  std::array<char, 16> m_bytes{};
  std::size_t m_size = 0;
};

/// Gives the trimmed word back the period that followed it when the two make a listed
/// abbreviation: "e.g.," is looked up as "e.g.", while "teh." stays "teh".
void KeepAbbreviationPeriod(std::string& word, std::string_view before) {
  if (before.empty() || word.empty() || !CAbbreviations::IsListedStem(word)) {
    return;
  }
  for (std::size_t at = before.find(word); at != std::string_view::npos;
       at = before.find(word, at + 1)) {
    if (before.substr(at + word.size()).starts_with('.')) {
      word.push_back('.');
      return;
    }
  }
}

} // namespace

std::size_t CWordPreprocessor::SpecialCharAtStart(std::string_view text) {
  if (text.empty() || !CanStartSpecial(static_cast<unsigned char>(text.front()))) {
    return 0;
  }
  for (const std::string_view special : kSpecialChars) {
    if (text.starts_with(special)) {
      return special.size();
    }
  }
  return 0;
}

std::size_t CWordPreprocessor::SpecialCharAtEnd(std::string_view text) {
  if (text.empty() || static_cast<unsigned char>(text.back()) < 0x80) {
    return 0;
  }
  for (const std::string_view special : kSpecialChars) {
    if (text.ends_with(special)) {
      return special.size();
    }
  }
  return 0;
}

bool CWordPreprocessor::PreprocessWord(std::string& word) {
  CStringUtils::Trim(word);
  // Page text keeps filler bytes after decoded character references. They would hide
  // the special characters and possessives below; and text that had them was decoded
  // already, so it must not be decoded a second time.
  const bool pageText =
      std::any_of(word.begin(), word.end(), [](char c) { return CPageText::IsInvisible(c); });
  if (pageText) {
    CStringUtils::RemoveFillers(word);
  }
  if (word.empty() || IsTemplatePlaceholder(word)) {
    return false;
  }
  // Measured first and erased once: erasing one character at a time from the front
  // moves the rest of the word each time.
  std::size_t lead = 0;
  std::size_t cut = 0;
  while ((cut = SpecialCharAtStart(std::string_view(word).substr(lead))) > 0) {
    lead += cut;
  }
  word.erase(0, lead);
  while ((cut = SpecialCharAtEnd(word)) > 0) {
    word.resize(word.size() - cut);
  }
  if (word.empty()) {
    return false;
  }
  const bool possessive = CutPossessive(word);
  if (!pageText) {
    CHTMLUtils::ReplaceHTMLReservedChars(word, true, false);
  }
  if (CStringUtils::IsEffectivelyEmpty(word)) {
    return false;
  }
  const CShortWord before(word);
  TrimPunctuationAround(word);
  // "Python’s." and "(Python's)": a possessive that punctuation hid goes as if alone.
  if (!possessive && CutPossessive(word)) {
    TrimPunctuationAround(word);
  }
  KeepAbbreviationPeriod(word, before.View());
  if (CStringUtils::IsEffectivelyEmpty(word)) {
    return false;
  }
  return !IsDimension(word);
}

bool CWordPreprocessor::IsTemplatePlaceholder(std::string_view word) {
  if (word.size() <= 2 || word.find('{') == std::string_view::npos ||
      word.find('}') == std::string_view::npos) {
    return false;
  }
  std::string copy(word);
  CStringUtils::TrimPunctuation(copy, "{", "}");
  if (copy.size() < 2 || copy.front() != '{' || copy.back() != '}') {
    return false;
  }
  for (std::size_t i = 1; i + 1 < copy.size(); ++i) {
    const auto c = static_cast<unsigned char>(copy[i]);
    if (c >= 0x80 || CStringUtils::m_tableUppercase[c] != c) {
      return false;
    }
  }
  return true;
}

bool CWordPreprocessor::IsDimension(std::string_view word) {
  std::size_t x = word.find('x');
  if (x == std::string_view::npos) {
    x = word.find('X');
  }
  if (x == std::string_view::npos || x == 0 || x + 1 >= word.size()) {
    return false;
  }
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (i != x && !CStringUtils::m_tableIsDigit[static_cast<unsigned char>(word[i])]) {
      return false;
    }
  }
  return true;
}
