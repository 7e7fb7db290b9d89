#include "appcfg/UpgradeVersionFile.h"

#include "utilcore/DateTime.h"
#include "utilcore/VersionNumber.h"

#include <vector>

namespace {
using SVerdict = CUpgradeVersionFile::SVerdict;
using EAction = CUpgradeVersionFile::EAction;

std::vector<std::string_view> SplitLines(std::string_view body) {
  std::vector<std::string_view> lines;
  while (!body.empty()) {
    const std::size_t end = body.find('\n');
    std::string_view line = body.substr(0, end);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    lines.push_back(line);
    body.remove_prefix(end == std::string_view::npos ? body.size() : end + 1);
  }
  return lines;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

SVerdict Refuse(std::string reason) {
  return {EAction::Refuse, 0, std::move(reason)};
}
} // namespace

bool CUpgradeVersionFile::ReadLines(bool success, std::string_view error, std::string_view body,
                                    std::string& first, std::string& second, std::string& reason) {
  if (!success || !error.empty()) {
    reason = error.empty() ? std::string("request failed") : std::string(error);
    return false;
  }
  const std::vector<std::string_view> lines = SplitLines(body);
  if (lines.size() != 2) {
    reason = "expected 2 lines, got " + std::to_string(lines.size());
    return false;
  }
  first = lines[0];
  second = lines[1];
  return true;
}

std::int64_t CUpgradeVersionFile::ReadSize(std::string_view text, std::int64_t limit) {
  text = TrimBlanks(text);
  if (text.empty()) {
    return -1;
  }
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return -1;
    }
    value = value * 10 + (c - '0');
    if (value > limit) {
      return -1;
    }
  }
  return value > 0 ? value : -1;
}

SVerdict CUpgradeVersionFile::ForProgram(std::string_view current, std::string_view version,
                                         std::string_view size) {
  CVersionNumber announced;
  if (!announced.Set(version)) {
    return Refuse("no version: " + std::string(version));
  }
  const std::int64_t bytes = ReadSize(size, kMaxPackageBytes);
  if (bytes < 0) {
    return Refuse("bad size: " + std::string(size));
  }
  if (!(CVersionNumber(current) < announced)) {
    return {EAction::Keep, bytes, {}};
  }
  return {EAction::Download, bytes, {}};
}

SVerdict CUpgradeVersionFile::ForDictionary(std::string_view date, std::string_view size,
                                            std::int64_t installedSize, std::time_t installedTime) {
  DateTime announced;
  if (!announced.Set(date)) {
    return Refuse("no date: " + std::string(date));
  }
  const std::int64_t bytes = ReadSize(size, kMaxDictionaryBytes);
  if (bytes < 0) {
    return Refuse("bad size: " + std::string(size));
  }
  DateTime installed;
  if (installedSize >= 0) {
    installed.SetTime(installedTime);
  }
  if (installedSize == bytes && installed.CompareDate(announced) != -1) {
    return {EAction::Keep, bytes, {}};
  }
  return {EAction::Download, bytes, {}};
}
