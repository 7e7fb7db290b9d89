#include "checking/TagWalk.h"

#include "utilcore/Utf8.h"

bool CTagWalk::IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r') || CUtf8::IsFiller(c);
}

void CTagWalk::Advance() {
  if (m_at.offset < m_lines[m_at.line].size()) {
    ++m_at.offset;
  } else {
    ++m_at.line;
    m_at.offset = 0;
  }
}

std::string_view CTagWalk::StartTagName() {
  Advance();
  while (!AtEnd() && CUtf8::IsFiller(Peek())) {
    Advance();
  }
  if (AtEnd() || !IsAsciiLetter(Peek())) {
    return {};
  }
  return Name();
}

void CTagWalk::SkipBlanks(bool andSlashes) {
  while (!AtEnd() && (IsBlank(Peek()) || (andSlashes && Peek() == '/'))) {
    Advance();
  }
}

std::string_view CTagWalk::Name() {
  const SPlace start = m_at;
  while (!AtEnd()) {
    const char c = Peek();
    if (IsBlank(c) || c == '/' || c == '>' || (c == '=' && m_at.offset != start.offset)) {
      break;
    }
    Advance();
  }
  return std::string_view(m_lines[start.line]).substr(start.offset, m_at.offset - start.offset);
}

void CTagWalk::Value(SPlace& from, SPlace& to) {
  const char quote = AtEnd() ? '\0' : Peek();
  const bool quoted = quote == '"' || quote == '\'';
  if (quoted) {
    Advance();
  }
  from = m_at;
  while (!AtEnd() && (quoted ? Peek() != quote : !IsBlank(Peek()) && Peek() != '>')) {
    Advance();
  }
  to = m_at;
  if (quoted && !AtEnd()) {
    Advance();
  }
}

bool CTagWalk::ValueAfterName(SPlace& from, SPlace& to) {
  SkipBlanks();
  if (AtEnd() || Peek() != '=') {
    return false;
  }
  Advance();
  SkipBlanks();
  Value(from, to);
  return true;
}

std::string CTagWalk::Text(const SPlace& from, const SPlace& to) const {
  std::string text;
  for (std::size_t line = from.line; line <= to.line && line < m_lines.size(); ++line) {
    const std::size_t begin = line == from.line ? from.offset : 0;
    const std::size_t end = line == to.line ? to.offset : m_lines[line].size();
    if (line != from.line) {
      text += '\n';
    }
    if (begin < end) {
      text.append(m_lines[line], begin, end - begin);
    }
  }
  return text;
}

bool CTagWalk::IsSelfClosing(const std::vector<std::string>& lines,
                             const CStringUtils::TagPlace& tag) {
  CTagWalk walk(lines, tag);
  if (walk.StartTagName().empty()) {
    return false;
  }
  while (true) {
    walk.SkipBlanks();
    if (walk.AtEnd() || walk.Peek() == '>') {
      return false;
    }
    if (walk.Peek() == '/') {
      walk.Advance();
      if (!walk.AtEnd() && walk.Peek() == '>') {
        return true;
      }
      continue; // a stray "/" between attributes is a blank
    }
    walk.Name();
    SPlace from;
    SPlace to;
    walk.ValueAfterName(from, to);
  }
}
