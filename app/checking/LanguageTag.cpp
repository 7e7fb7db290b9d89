#include "checking/LanguageTag.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsSeparator(char c) {
  return c == '-' || c == '_';
}

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

/// Writes one subtag after the first in its usual case.
void AppendSubtag(std::string& out, std::string_view subtag) {
  const bool region = subtag.size() == 2 ||
                      (subtag.size() == 3 && std::isdigit(static_cast<unsigned char>(subtag[0])));
  const bool script = subtag.size() == 4 && std::isalpha(static_cast<unsigned char>(subtag[0]));
  for (std::size_t i = 0; i < subtag.size(); ++i) {
    const bool capital = region || (script && i == 0);
    out.push_back(capital ? Upper(subtag[i]) : Lower(subtag[i]));
  }
}

} // namespace

std::string CLanguageTag::Canonical(std::string_view value) {
  while (!value.empty() && IsBlank(value.front())) {
    value.remove_prefix(1);
  }
  while (!value.empty() && IsBlank(value.back())) {
    value.remove_suffix(1);
  }
  std::string out;
  const bool tag = std::all_of(value.begin(), value.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || IsSeparator(c);
  });
  if (!tag) {
    std::transform(value.begin(), value.end(), std::back_inserter(out), Lower);
    return out;
  }
  std::size_t start = 0;
  bool first = true;
  while (start <= value.size()) {
    std::size_t end = start;
    while (end < value.size() && !IsSeparator(value[end])) {
      ++end;
    }
    const std::string_view subtag = value.substr(start, end - start);
    if (first) {
      std::transform(subtag.begin(), subtag.end(), std::back_inserter(out), Lower);
    } else {
      out.push_back('-');
      AppendSubtag(out, subtag);
    }
    first = false;
    start = end + 1;
  }
  return out;
}

std::string_view CLanguageTag::Primary(std::string_view tag) {
  const std::size_t end = tag.find_first_of("-_");
  return tag.substr(0, end);
}

bool CLanguageTag::Same(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (IsSeparator(x) && IsSeparator(y)) || Lower(x) == Lower(y);
         });
}

bool CLanguageTag::SamePrimary(std::string_view a, std::string_view b) {
  return !Primary(a).empty() && Same(Primary(a), Primary(b));
}
