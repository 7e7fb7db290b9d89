#include "utilcore/WineRegistryFile.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <unordered_set>
#include <utility>

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
constexpr UChar32 kReplacementChar = 0xFFFD;

void AppendCodePoint(std::string& out, UChar32 c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
    return;
  }
  std::uint8_t buffer[U8_MAX_LENGTH];
  std::int32_t length = 0;
  U8_APPEND_UNSAFE(buffer, length, c);
  out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

/// Builds UTF-8 from raw bytes and the 16-bit code units of escapes, joining the
/// two halves of a surrogate pair written as two escapes.
class CEscapedTextSink {
public:
  explicit CEscapedTextSink(std::string& out) : m_out(out) {}

  void AddUnit(std::uint32_t unit) {
    if (m_lead != 0) {
      const UChar32 lead = std::exchange(m_lead, 0);
      if (U16_IS_TRAIL(unit)) {
        AppendCodePoint(m_out, U16_GET_SUPPLEMENTARY(lead, static_cast<UChar32>(unit)));
        return;
      }
      AppendCodePoint(m_out, kReplacementChar);
    }
    if (U16_IS_LEAD(unit)) {
      m_lead = static_cast<UChar32>(unit);
      return;
    }
    AppendCodePoint(m_out, U16_IS_SURROGATE(unit) ? kReplacementChar : static_cast<UChar32>(unit));
  }
  void AddByte(char c) {
    Flush();
    m_out.push_back(c);
  }
  void Flush() {
    if (m_lead != 0) {
      AppendCodePoint(m_out, kReplacementChar);
      m_lead = 0;
    }
  }

private:
  std::string& m_out;
  UChar32 m_lead = 0;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

/// Up to `maxDigits` digits of `base` at `pos`; false when there is none.
bool ReadDigits(std::string_view text, std::size_t& pos, int base, int maxDigits,
                std::uint32_t& value) {
  value = 0;
  int count = 0;
  for (; count < maxDigits && pos < text.size(); ++count, ++pos) {
    const int digit = HexDigit(text[pos]);
    if (digit < 0 || digit >= base) {
      break;
    }
    value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
  }
  return count > 0;
}

char SimpleEscape(char c) {
  switch (c) {
  case 'a':
    return '\a';
  case 'b':
    return '\b';
  case 'e':
    return '\x1B';
  case 'f':
    return '\f';
  case 'n':
    return '\n';
  case 'r':
    return '\r';
  case 't':
    return '\t';
  case 'v':
    return '\v';
  default:
    return c;
  }
}

/// Reads the escaped text at `pos` up to the unescaped `terminator` on the same
/// line, leaving `pos` after it; false when the line ends first.
bool ReadEscaped(std::string_view line, std::size_t& pos, char terminator, std::string& out) {
  out.clear();
  CEscapedTextSink sink(out);
  while (pos < line.size()) {
    const char c = line[pos++];
    if (c == terminator) {
      sink.Flush();
      return true;
    }
    if (c != '\\') {
      sink.AddByte(c);
      continue;
    }
    if (pos == line.size()) {
      return false;
    }
    const char escaped = line[pos++];
    std::uint32_t unit = 0;
    if (escaped == 'x' && ReadDigits(line, pos, 16, 4, unit)) {
      sink.AddUnit(unit);
    } else if (escaped >= '0' && escaped <= '7') {
      --pos;
      ReadDigits(line, pos, 8, 3, unit);
      sink.AddUnit(unit);
    } else {
      sink.AddByte(SimpleEscape(escaped));
    }
  }
  return false;
}

/// The components of a key path: split at backslashes, empty ones dropped.
std::vector<std::string_view> SplitKey(std::string_view key) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= key.size()) {
    const std::size_t end = std::min(key.find('\\', start), key.size());
    if (end > start) {
      parts.push_back(key.substr(start, end - start));
    }
    start = end + 1;
  }
  return parts;
}

std::string JoinKey(const std::vector<std::string_view>& parts, std::size_t count) {
  std::string key;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) {
      key.push_back('\\');
    }
    key.append(parts[i]);
  }
  return key;
}

std::string_view TrimLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  return line;
}

/// Calls `visit(line)` for each line of `text` in [begin, end) with its start offset.
template <typename Visit>
void ForEachLine(std::string_view text, std::size_t begin, std::size_t end, Visit visit) {
  while (begin < end) {
    const std::size_t eol = std::min(text.find('\n', begin), end);
    if (!visit(TrimLineEnd(text.substr(begin, eol - begin)), begin)) {
      return;
    }
    begin = eol + 1;
  }
}

} // namespace

std::string CWineRegistryFile::FoldName(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  std::size_t i = 0;
  for (; i < name.size() && static_cast<unsigned char>(name[i]) < 0x80; ++i) {
    const char c = name[i];
    folded.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(name.data());
  const auto length = static_cast<std::int32_t>(name.size());
  auto pos = static_cast<std::int32_t>(i);
  while (pos < length) {
    const std::int32_t start = pos;
    UChar32 c = 0;
    U8_NEXT(bytes, pos, length, c);
    if (c < 0) {
      // Not UTF-8: such bytes can only equal themselves.
      folded.append(
          name.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(pos - start)));
      continue;
    }
    AppendCodePoint(folded, u_foldCase(c, U_FOLD_CASE_DEFAULT));
  }
  return folded;
}

std::string CWineRegistryFile::NormalizeKey(std::string_view key) {
  // The whole run of separators at the end goes, slashes and backslashes mixed:
  // dropping only the slashes would keep those before a backslash, and a second pass
  // would drop them, so that two spellings of one key could miss each other.
  const std::size_t last = key.find_last_not_of("/\\");
  key = last == std::string_view::npos ? std::string_view() : key.substr(0, last + 1);
  const std::vector<std::string_view> parts = SplitKey(key);
  return FoldName(JoinKey(parts, parts.size()));
}

CWineRegistryFile::CWineRegistryFile(std::string text) : m_text(std::move(text)) {
  const std::string_view all(m_text);
  const std::string_view firstLine = TrimLineEnd(all.substr(0, all.find('\n')));
  m_hasHeader = firstLine == kHeader;
  if (m_hasHeader) {
    IndexSections();
  }
}

void CWineRegistryFile::IndexSections() {
  const std::string_view all(m_text);
  Section* open = nullptr;
  ForEachLine(all, 0, all.size(), [&](std::string_view line, std::size_t lineStart) {
    if (line.empty() || line.front() != '[') {
      return true;
    }
    // A section line ends the body of the one before, even when it is damaged.
    if (open != nullptr) {
      open->bodyEnd = lineStart;
      open = nullptr;
    }
    std::size_t pos = 1;
    std::string path;
    if (!ReadEscaped(line, pos, ']', path)) {
      return true;
    }
    const std::vector<std::string_view> parts = SplitKey(path);
    Section section;
    section.path = JoinKey(parts, parts.size());
    section.folded = FoldName(section.path);
    section.bodyBegin = lineStart + line.size();
    section.bodyEnd = all.size();
    m_byKey[section.folded].push_back(m_sections.size());
    m_sections.push_back(std::move(section));
    open = &m_sections.back();
    return true;
  });
}

bool CWineRegistryFile::HasKey(std::string_view key) const {
  const std::string folded = NormalizeKey(key);
  if (folded.empty() || m_byKey.contains(folded)) {
    return true;
  }
  const std::string prefix = folded + '\\';
  for (const Section& section : m_sections) {
    if (section.folded.starts_with(prefix)) {
      return true;
    }
  }
  return false;
}

std::string CWineRegistryFile::GetKeyText(std::string_view key, bool subtree) const {
  const std::string folded = NormalizeKey(key);
  const std::string prefix = folded + '\\';
  std::string text;
  for (const Section& section : m_sections) {
    if (section.folded != folded && !(subtree && section.folded.starts_with(prefix))) {
      continue;
    }
    text.append("[").append(section.path).append("]\n");
    ForEachLine(m_text, section.bodyBegin, section.bodyEnd,
                [&text](std::string_view line, std::size_t) {
                  // "#time=" and "#class=" lines change on every save of the key, not with its
                  // values.
                  if (!line.empty() && line.front() != '#') {
                    text.append(line).push_back('\n');
                  }
                  return true;
                });
  }
  return text;
}

void CWineRegistryFile::GetSubKeys(std::string_view key, bool allLevels,
                                   std::vector<std::string>& keys) const {
  const std::string folded = NormalizeKey(key);
  const std::string prefix = folded.empty() ? std::string() : folded + '\\';
  const std::size_t depth = SplitKey(folded).size();
  // Keys without values of their own may have no section; they are named by the
  // paths of their descendants.
  std::unordered_set<std::string> seen;
  for (const Section& section : m_sections) {
    if (!section.folded.starts_with(prefix) || section.folded == folded) {
      continue;
    }
    const std::vector<std::string_view> parts = SplitKey(section.path);
    const std::vector<std::string_view> foldedParts = SplitKey(section.folded);
    const std::size_t last = allLevels ? parts.size() : depth + 1;
    for (std::size_t d = depth + 1; d <= last && d <= parts.size(); ++d) {
      if (seen.insert(JoinKey(foldedParts, d)).second) {
        keys.push_back(JoinKey(parts, d));
      }
    }
  }
}

bool CWineRegistryFile::GetStringValue(std::string_view key, std::string_view name,
                                       std::string& value) const {
  const auto found = m_byKey.find(NormalizeKey(key));
  if (found == m_byKey.end()) {
    return false;
  }
  const std::string foldedName = FoldName(name);
  // Like Wine, a key listed twice takes the values of its later section.
  bool any = false;
  std::string text;
  for (const std::size_t index : found->second) {
    if (ReadValueFrom(m_sections[index], foldedName, text)) {
      value = text;
      any = true;
    }
  }
  return any;
}

bool CWineRegistryFile::ReadValueFrom(const Section& section, std::string_view foldedName,
                                      std::string& value) const {
  bool found = false;
  bool continued = false;
  std::string name;
  ForEachLine(m_text, section.bodyBegin, section.bodyEnd, [&](std::string_view line, std::size_t) {
    // Lines after one ending in a backslash continue hex data.
    const bool isContinuation = std::exchange(continued, !line.empty() && line.back() == '\\');
    if (isContinuation || line.empty()) {
      return true;
    }
    std::size_t pos = 0;
    if (line.starts_with("@=")) {
      name.clear();
      pos = 2;
    } else if (line.front() == '"') {
      pos = 1;
      if (!ReadEscaped(line, pos, '"', name) || pos >= line.size() || line[pos] != '=') {
        return true;
      }
      ++pos;
    } else {
      return true;
    }
    if (FoldName(name) != foldedName) {
      return true;
    }
    const std::string_view data = line.substr(pos);
    if (data.starts_with("str(")) {
      const std::size_t quote = data.find("):\"");
      pos = quote == std::string_view::npos ? line.size() : pos + quote + 3;
    } else if (data.starts_with('"')) {
      ++pos;
    } else {
      // A binary or number value of that name: no string.
      return false;
    }
    found = ReadEscaped(line, pos, '"', value);
    if (found) {
      value.resize(std::min(value.size(), value.find('\0')));
    }
    return false;
  });
  return found;
}
