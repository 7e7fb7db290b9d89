#include "mtcore/WineRegFile.h"

#include <cstdlib>
#include <fstream>

namespace {
char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

/// Whether `section` is `key` itself, or (with `subtree`) a key below it.
bool IsWatched(std::string_view section, std::string_view key, bool subtree) {
  if (section.size() == key.size()) {
    return EqualsNoCase(section, key);
  }
  return subtree && section.size() > key.size() && section[key.size()] == '\\' &&
         EqualsNoCase(section.substr(0, key.size()), key);
}

std::string_view TrimKey(std::string_view key) {
  while (!key.empty() && (key.back() == '\\' || key.back() == '/')) {
    key.remove_suffix(1);
  }
  while (!key.empty() && key.front() == '\\') {
    key.remove_prefix(1);
  }
  return key;
}
} // namespace

std::string CWineRegFile::GetPrefixPath() {
  std::string prefix;
  if (const char* wine = std::getenv("WINEPREFIX"); wine != nullptr && *wine != '\0') {
    prefix = wine;
  } else if (const char* home = std::getenv("HOME"); home != nullptr) {
    prefix = std::string(home) + "/.wine";
  } else {
    return {};
  }
  if (prefix.back() != '/') {
    prefix.push_back('/');
  }
  return prefix;
}

std::string CWineRegFile::GetUserRegPath() {
  const std::string prefix = GetPrefixPath();
  return prefix.empty() ? std::string() : prefix + "user.reg";
}

bool CWineRegFile::ParseHeader(std::string_view line, std::string& key) {
  key.clear();
  if (line.empty() || line.front() != '[') {
    return false;
  }
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (line[i] == ']') {
      return true;
    }
    if (line[i] == '\\' && i + 1 < line.size()) {
      ++i; // "\\" stands for one backslash, "\]" for a bracket in the name
    }
    key.push_back(line[i]);
  }
  return false;
}

std::string CWineRegFile::ReadKey(const std::string& file, std::string_view key, bool subtree) {
  key = TrimKey(key);
  std::ifstream in(file);
  std::string values;
  std::string line;
  std::string section;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (!line.empty() && line.front() == '[') {
      inside = ParseHeader(line, section) && IsWatched(section, key, subtree);
      if (inside) {
        values.append("[").append(section).append("]\n");
      }
    } else if (inside && !line.empty() && line.front() != '#') {
      // "#time=" and "#class=" lines change on every save of the key, not with its values.
      values.append(line).push_back('\n');
    }
  }
  return values;
}
