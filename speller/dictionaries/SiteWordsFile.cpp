#include "dictionaries/SiteWordsFile.h"

#include "utilcore/StringUtils.h"
#include "utilcore/TextFileCodec.h"

#include <unordered_set>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

/// The key two spellings of a word share: letter case does not tell words apart here,
/// as the look-ups do not.
std::string KeyOf(std::string_view word) {
  std::string key(word);
  CStringUtils::MakeLower(key);
  return key;
}

} // namespace

bool CSiteWordsFile::Parse(std::string_view bytes, std::string& error) {
  m_lines.clear();
  m_lineEnd = "\n";
  m_byteOrderMark.clear();
  if (bytes.size() > kMaxBytes) {
    error = "larger than 16 MiB";
    return false;
  }
  if (bytes.find('\0') != std::string_view::npos) {
    error = "binary file (NUL bytes)";
    return false;
  }
  if (bytes.starts_with(kUtf8Mark)) {
    m_byteOrderMark = kUtf8Mark;
    bytes.remove_prefix(kUtf8Mark.size());
  }
  if (!CTextFileCodec::IsValidUtf8(bytes)) {
    error = "not UTF-8";
    return false;
  }
  for (std::size_t begin = 0; begin < bytes.size();) {
    std::size_t end = bytes.find('\n', begin);
    const bool last = end == std::string_view::npos;
    end = last ? bytes.size() : end;
    std::string_view line = bytes.substr(begin, end - begin);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
      if (m_lines.empty()) {
        m_lineEnd = "\r\n";
      }
    }
    m_lines.emplace_back(line);
    begin = end + 1;
  }
  return true;
}

std::string_view CSiteWordsFile::WordOf(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || IsBlank(line[i - 1]))) {
      line = line.substr(0, i);
      break;
    }
  }
  return CStringUtils::TrimView(line);
}

std::vector<std::string> CSiteWordsFile::Words() const {
  std::vector<std::string> words;
  for (const std::string& line : m_lines) {
    const std::string_view word = WordOf(line);
    if (!word.empty()) {
      words.emplace_back(word);
    }
  }
  return words;
}

std::string CSiteWordsFile::Merge(const std::vector<std::string>& words) const {
  std::unordered_set<std::string> wanted;
  for (const std::string& word : words) {
    wanted.insert(KeyOf(word));
  }
  std::unordered_set<std::string> written;
  std::string text = m_byteOrderMark;
  for (const std::string& line : m_lines) {
    const std::string_view word = WordOf(line);
    if (!word.empty()) {
      const std::string key = KeyOf(word);
      // A removed word goes with its line; a word listed twice keeps its first line.
      if (!wanted.contains(key) || !written.insert(key).second) {
        continue;
      }
    }
    text += line;
    text += m_lineEnd;
  }
  for (const std::string& word : words) {
    const std::string trimmed(CStringUtils::TrimView(word));
    if (!trimmed.empty() && written.insert(KeyOf(trimmed)).second) {
      text += trimmed;
      text += m_lineEnd;
    }
  }
  return text;
}
