#include "pagelint-check/JsonWriter.h"

#include "pagelint-check/TerminalText.h"

#include <unicode/utf8.h>

#include <cstdint>
#include <cstdio>
#include <ostream>

void CJsonWriter::BeginObject() {
  BeforeValue();
  m_text += '{';
  m_hasItems.push_back(false);
}

void CJsonWriter::EndObject() {
  Close('}');
}

void CJsonWriter::BeginArray() {
  BeforeValue();
  m_text += '[';
  m_hasItems.push_back(false);
}

void CJsonWriter::EndArray() {
  Close(']');
}

void CJsonWriter::Key(std::string_view name) {
  BeforeValue();
  m_text += '"';
  AppendEscaped(m_text, name);
  m_text += "\": ";
  m_afterKey = true;
}

void CJsonWriter::String(std::string_view text) {
  BeforeValue();
  m_text += '"';
  AppendEscaped(m_text, text);
  m_text += '"';
}

void CJsonWriter::Int(long long value) {
  BeforeValue();
  m_text += std::to_string(value);
}

void CJsonWriter::Fixed(double value, int decimals) {
  BeforeValue();
  char buffer[64];
  const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  m_text.append(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void CJsonWriter::Bool(bool value) {
  BeforeValue();
  m_text += value ? "true" : "false";
}

void CJsonWriter::Flush() {
  if (m_sink == nullptr || m_text.empty()) {
    return;
  }
  m_sink->write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
  m_text.clear();
}

void CJsonWriter::BeforeValue() {
  if (m_text.size() >= kPieceBytes) {
    Flush();
  }
  if (m_afterKey) {
    m_afterKey = false;
    return;
  }
  if (m_hasItems.empty()) {
    return;
  }
  if (m_hasItems.back()) {
    m_text += ',';
  }
  m_hasItems.back() = true;
  NewLine();
}

void CJsonWriter::Close(char bracket) {
  const bool hadItems = !m_hasItems.empty() && m_hasItems.back();
  if (!m_hasItems.empty()) {
    m_hasItems.pop_back();
  }
  if (hadItems) {
    NewLine();
  }
  m_text += bracket;
  if (m_hasItems.empty()) {
    m_text += '\n';
  }
}

void CJsonWriter::NewLine() {
  m_text += '\n';
  m_text.append(m_hasItems.size() * 2, ' ');
}

void CJsonWriter::AppendEscaped(std::string& out, std::string_view text) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t byte = data[i];
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
      out += static_cast<char>(byte);
      ++i;
      continue;
    }
    if (byte < 0x80) {
      ++i;
      switch (byte) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default: {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", byte);
        out += escape;
      }
      }
      continue;
    }
    const std::size_t begin = i;
    UChar32 c = 0;
    U8_NEXT(data, i, size, c);
    if (c < 0) {
      i = begin + 1;
      out += "\\ufffd";
    } else if (CTerminalText::IsHidden(static_cast<char32_t>(c))) {
      // Valid JSON as they are, but line separators break JavaScript readers of the
      // report and the others would reach a terminal that shows the file.
      // Every hidden character lies in the first plane: four hex digits spell it.
      char escape[16];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c) & 0xFFFFU);
      out += escape;
    } else {
      out.append(text.substr(begin, i - begin));
    }
  }
}
