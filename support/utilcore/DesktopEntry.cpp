#include "utilcore/DesktopEntry.h"

#include <algorithm>

namespace {
constexpr std::string_view kGroup = "[Desktop Entry]";
constexpr std::string_view kBlanks = " \t";
// Characters that a backslash escapes inside a quoted word of a command.
constexpr std::string_view kQuotedEscapes = "\"`$\\";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

/// Undoes the escapes of a key file value: \s, \n, \t, \r and \\.
std::string Unescape(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text += value[i];
      continue;
    }
    switch (value[++i]) {
    case 's':
      text += ' ';
      break;
    case 'n':
      text += '\n';
      break;
    case 't':
      text += '\t';
      break;
    case 'r':
      text += '\r';
      break;
    case '\\':
      text += '\\';
      break;
    default: // unknown escapes stay as they are written
      text += '\\';
      text += value[i];
    }
  }
  return text;
}

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> items;
  while (!value.empty()) {
    const std::size_t end = value.find(';');
    const std::string_view item = Trim(value.substr(0, end));
    if (!item.empty()) {
      items.push_back(Unescape(item));
    }
    if (end == std::string_view::npos) {
      break;
    }
    value.remove_prefix(end + 1);
  }
  return items;
}

bool IsTrue(std::string_view value) {
  return value == "true" || value == "1";
}
} // namespace

CDesktopEntry CDesktopEntry::Parse(std::string_view text) {
  CDesktopEntry entry;
  bool inGroup = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    line = Trim(line);
    if (line.empty() || line.front() == '#') {
      continue;
    }
    if (line.front() == '[') {
      inGroup = line == kGroup;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (inGroup && equals != std::string_view::npos) {
      entry.Set(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
  }
  return entry;
}

void CDesktopEntry::Set(std::string_view key, std::string_view value) {
  if (key == "Type") {
    m_type = Unescape(value);
  } else if (key == "Name") {
    m_name = Unescape(value);
  } else if (key == "Exec") {
    m_command = SplitCommand(Unescape(value));
  } else if (key == "TryExec") {
    m_tryExec = Unescape(value);
  } else if (key == "MimeType") {
    m_mimeTypes = SplitList(value);
  } else if (key == "Hidden") {
    m_hidden = IsTrue(value);
  } else if (key == "NoDisplay") {
    m_noDisplay = IsTrue(value);
  }
}

std::vector<std::string> CDesktopEntry::SplitCommand(std::string_view exec) {
  std::vector<std::string> words;
  std::string word;
  // A word is kept once it has a character or a quote; a field code alone is no word.
  bool pending = false;
  bool quoted = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size() &&
                 kQuotedEscapes.find(exec[i + 1]) != std::string_view::npos) {
        word += exec[++i];
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = true;
      pending = true;
    } else if (c == ' ' || c == '\t' || c == '\n') {
      if (pending) {
        words.push_back(std::move(word));
      }
      word.clear();
      pending = false;
    } else if (c == '%' && i + 1 < exec.size()) {
      if (exec[++i] == '%') {
        word += '%';
        pending = true;
      }
    } else {
      word += c;
      pending = true;
    }
  }
  if (quoted) {
    return {};
  }
  if (pending) {
    words.push_back(std::move(word));
  }
  return words;
}

std::string CDesktopEntry::OfferedProgram() const {
  if (m_type != "Application" || m_hidden || m_noDisplay || m_name.empty() || m_command.empty() ||
      m_command.front().empty()) {
    return {};
  }
  const bool onlyOptions = std::all_of(m_command.begin() + 1, m_command.end(), [](const auto& w) {
    return !w.empty() && w.front() == '-';
  });
  return onlyOptions ? m_command.front() : std::string();
}
