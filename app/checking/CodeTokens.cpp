#include "checking/CodeTokens.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/StringUtils.h"
#include "utilcore/Utf8.h"

#include <algorithm>
#include <unicode/uchar.h>

namespace {

enum class ELetter { kNone, kLower, kUpper, kOther };

ELetter Classify(UChar32 c) {
  if (c < 0x80) {
    if (c >= 'a' && c <= 'z') {
      return ELetter::kLower;
    }
    return c >= 'A' && c <= 'Z' ? ELetter::kUpper : ELetter::kNone;
  }
  if (!CUtf8::IsValid(c) || u_isalpha(c) == 0) {
    return ELetter::kNone;
  }
  if (u_islower(c) != 0) {
    return ELetter::kLower;
  }
  return u_isupper(c) != 0 || u_istitle(c) != 0 ? ELetter::kUpper : ELetter::kOther;
}

bool IsLowerAt(std::string_view word, std::size_t i) {
  return i < word.size() && Classify(CUtf8::Next(word, i)) == ELetter::kLower;
}

bool IsCodeMark(char c) {
  switch (c) {
  case '_':
  case '(':
  case ')':
  case '#':
  case '/':
  case '[':
  case ']':
  case '{':
  case '}':
  case '=':
  case ':':
  case '+':
  case '*':
    return true;
  default:
    return c >= '0' && c <= '9';
  }
}

bool IsDigitAt(std::string_view word, std::size_t at) {
  return at < word.size() && word[at] >= '0' && word[at] <= '9';
}

/// A run of the letters a-f beside a digit belongs to a hexadecimal number
/// ("fe3e1db5", "0x1fab"), whatever word its letters may spell.
bool IsHexDigits(std::string_view word, std::string_view piece) {
  const auto start = static_cast<std::size_t>(piece.data() - word.data());
  const std::size_t end = start + piece.size();
  const bool besideDigit = (start > 0 && IsDigitAt(word, start - 1)) || IsDigitAt(word, end);
  return besideDigit && std::all_of(piece.begin(), piece.end(), [](char c) {
           return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
         });
}

std::size_t CountCharacters(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !CUtf8::IsContinuation(c); }));
}

} // namespace

bool CCodeTokens::IsCodeLike(std::string_view word) {
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = word[i];
    if (IsCodeMark(c) || (c == '.' && i + 1 < word.size())) {
      return true;
    }
  }
  ELetter before = ELetter::kNone;
  for (std::size_t i = 0; i < word.size();) {
    const ELetter letter = Classify(CUtf8::Next(word, i));
    if (before == ELetter::kLower && letter == ELetter::kUpper) {
      return true;
    }
    before = letter;
  }
  return false;
}

void CCodeTokens::SplitPieces(std::string_view word, std::vector<std::string_view>& pieces) {
  pieces.clear();
  std::size_t start = std::string_view::npos;
  ELetter before = ELetter::kNone;
  std::size_t beforeAt = 0; // where the letter before the current one starts
  for (std::size_t i = 0; i < word.size();) {
    const std::size_t at = i;
    const ELetter letter = Classify(CUtf8::Next(word, i));
    if (letter == ELetter::kNone) {
      if (start != std::string_view::npos) {
        pieces.push_back(word.substr(start, at - start));
        start = std::string_view::npos;
      }
      before = letter;
      continue;
    }
    if (start == std::string_view::npos) {
      start = at;
    } else if (before == ELetter::kLower && letter == ELetter::kUpper) {
      pieces.push_back(word.substr(start, at - start));
      start = at;
    } else if (before == ELetter::kUpper && letter == ELetter::kLower && beforeAt > start &&
               IsLowerAt(word, i)) {
      // "HTTPServer": the capital before this lower-case letter begins the next piece;
      // "FIFOs" and "URLs" keep their plural.
      pieces.push_back(word.substr(start, beforeAt - start));
      start = beforeAt;
    }
    before = letter;
    beforeAt = at;
  }
  if (start != std::string_view::npos) {
    pieces.push_back(word.substr(start));
  }
}

std::string CCodeTokens::PieceKey(std::string_view piece) {
  std::string key(piece);
  CStringUtils::MakeLower(key);
  return key;
}

std::string CCodeTokens::UnknownPieces(const CSpellChecker& speller, std::string_view word,
                                       const std::vector<int>& ids, bool& settled) {
  thread_local std::vector<std::string_view> pieces;
  thread_local std::string piece;
  SplitPieces(word, pieces);
  std::string keys;
  for (const std::string_view found : pieces) {
    if (CountCharacters(found) < kMinPieceLength || IsHexDigits(word, found)) {
      continue;
    }
    piece.assign(found);
    if (speller.LookUp(piece, ids, settled)) {
      continue;
    }
    const std::string key = PieceKey(found);
    bool listed = false;
    ForEachKey(keys, [&](std::string_view k) { listed = listed || k == key; });
    if (!listed) {
      keys.append(key);
      keys.push_back(kKeyEnd);
    }
  }
  return keys;
}

std::string CCodeTokens::PlainKey(std::string_view word) {
  std::size_t letters = 0;
  for (std::size_t i = 0; i < word.size();) {
    if (Classify(CUtf8::Next(word, i)) == ELetter::kNone) {
      return {};
    }
    ++letters;
  }
  return letters >= kMinPieceLength ? PieceKey(word) : std::string();
}

std::vector<std::string> CCodeTokens::PlainForms(std::string_view key) {
  std::vector<std::string> forms{std::string(key)};
  std::size_t first = key.empty() ? 0 : 1;
  while (first < key.size() && CUtf8::IsContinuation(key[first])) {
    ++first;
  }
  std::string head(key.substr(0, first));
  CStringUtils::MakeUpper(head);
  std::string capitalised = head + std::string(key.substr(first));
  std::string upper(key);
  CStringUtils::MakeUpper(upper);
  for (std::string* form : {&capitalised, &upper}) {
    if (std::find(forms.begin(), forms.end(), *form) == forms.end()) {
      forms.push_back(std::move(*form));
    }
  }
  return forms;
}
