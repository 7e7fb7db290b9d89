#include "diskfiles/ExtensionSet.h"

#include <algorithm>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace {
char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsValidUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c = 0;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) {
      return false;
    }
  }
  return true;
}

std::string FoldCase(std::string_view text) {
  std::string folded;
  if (IsAscii(text) || !IsValidUtf8(text)) {
    // Bytes that are not UTF-8 only get their ASCII letters folded.
    folded.resize(text.size());
    std::transform(text.begin(), text.end(), folded.begin(), AsciiLower);
    return folded;
  }
  const auto length = static_cast<std::int32_t>(text.size());
  icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), length))
      .foldCase()
      .toUTF8String(folded);
  return folded;
}

bool EqualsAsciiFolded(std::string_view ascii, std::string_view folded) {
  if (ascii.size() != folded.size()) {
    return false;
  }
  for (std::size_t i = 0; i < ascii.size(); ++i) {
    if (AsciiLower(ascii[i]) != folded[i]) {
      return false;
    }
  }
  return true;
}
} // namespace

CExtensionSet::CExtensionSet(const std::vector<std::string>& extensions) {
  for (const auto& extension : extensions) {
    if (extension == "*" || extension == "*.*") {
      m_all = true;
      continue;
    }
    std::string normalized = Normalize(extension);
    if (!normalized.empty() &&
        std::find(m_extensions.begin(), m_extensions.end(), normalized) == m_extensions.end()) {
      m_extensions.push_back(std::move(normalized));
    }
  }
}

std::string CExtensionSet::Normalize(std::string_view extension) {
  while (!extension.empty() && (extension.front() == '*' || extension.front() == '.')) {
    extension.remove_prefix(1);
  }
  return FoldCase(extension);
}

bool CExtensionSet::Matches(std::string_view fileName) const {
  if (m_all) {
    return true;
  }
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == fileName.size()) {
    return false;
  }
  const std::string_view extension = fileName.substr(dot + 1);
  if (IsAscii(extension)) {
    return std::any_of(m_extensions.begin(), m_extensions.end(), [&](const std::string& known) {
      return EqualsAsciiFolded(extension, known);
    });
  }
  const std::string folded = FoldCase(extension);
  return std::find(m_extensions.begin(), m_extensions.end(), folded) != m_extensions.end();
}
