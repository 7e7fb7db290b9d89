#include "utilcore/DateTime.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

/// A forward reader over the text of a date.
class CDateCursor {
public:
  explicit CDateCursor(std::string_view text) : m_text(text) {}

  bool AtEnd() const { return m_pos == m_text.size(); }
  bool Peek(char c) const { return !AtEnd() && m_text[m_pos] == c; }
  bool Take(char c) {
    if (!Peek(c)) {
      return false;
    }
    ++m_pos;
    return true;
  }
  void SkipBlanks() {
    while (Take(' ') || Take('\t') || Take('\r') || Take('\n')) {
    }
  }
  bool IsDigitHere() const { return !AtEnd() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9'; }
  /// Exactly `count` digits.
  bool Number(int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
      if (!IsDigitHere()) {
        return false;
      }
      value = value * 10 + (m_text[m_pos++] - '0');
    }
    return true;
  }
  void SkipDigits() {
    while (IsDigitHere()) {
      ++m_pos;
    }
  }
  bool TakeWord(std::string_view word) {
    if (m_text.substr(m_pos, word.size()) != word) {
      return false;
    }
    m_pos += word.size();
    return true;
  }

private:
  std::string_view m_text;
  std::size_t m_pos = 0;
};

/// Offset of the zone from UTC in seconds; false for a malformed zone.
bool ReadZone(CDateCursor& cursor, int& offsetSeconds) {
  offsetSeconds = 0;
  cursor.SkipBlanks();
  if (cursor.AtEnd() || cursor.Take('Z') || cursor.TakeWord("UTC") || cursor.TakeWord("GMT")) {
    return true;
  }
  const int sign = cursor.Take('+') ? 1 : (cursor.Take('-') ? -1 : 0);
  int hours = 0;
  int minutes = 0;
  if (sign == 0 || !cursor.Number(2, hours)) {
    return false;
  }
  cursor.Take(':');
  if (cursor.IsDigitHere() && !cursor.Number(2, minutes)) {
    return false;
  }
  if (hours > 14 || minutes > 59) {
    return false;
  }
  offsetSeconds = sign * (hours * 3600 + minutes * 60);
  return true;
}

/// "HH:MM[:SS[.fraction]]" after the date; absent means midnight.
bool ReadTime(CDateCursor& cursor, int& secondOfDay) {
  secondOfDay = 0;
  if (!cursor.Take('T')) {
    cursor.SkipBlanks();
    if (!cursor.IsDigitHere()) {
      return true;
    }
  }
  int hour = 0;
  int minute = 0;
  int second = 0;
  if (!cursor.Number(2, hour) || !cursor.Take(':') || !cursor.Number(2, minute)) {
    return false;
  }
  if (cursor.Take(':')) {
    if (!cursor.Number(2, second)) {
      return false;
    }
    if (cursor.Take('.')) {
      cursor.SkipDigits();
    }
  }
  // A leap second counts as the last second of its minute.
  if (hour > 23 || minute > 59 || second > 60) {
    return false;
  }
  secondOfDay = hour * 3600 + minute * 60 + std::min(second, 59);
  return true;
}

} // namespace

bool DateTime::Set(std::string_view text) {
  m_valid = false;
  m_seconds = 0;
  CDateCursor cursor(text);
  cursor.SkipBlanks();
  int year = 0;
  int month = 0;
  int day = 0;
  if (!cursor.Number(4, year)) {
    return false;
  }
  const char separator = cursor.Peek('/') ? '/' : '-';
  if (!cursor.Take(separator) || !cursor.Number(2, month) || !cursor.Take(separator) ||
      !cursor.Number(2, day)) {
    return false;
  }
  int secondOfDay = 0;
  int zoneOffset = 0;
  if (!ReadTime(cursor, secondOfDay) || !ReadZone(cursor, zoneOffset)) {
    return false;
  }
  cursor.SkipBlanks();
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  if (!cursor.AtEnd() || year == 0 || !date.ok()) {
    return false;
  }
  const std::int64_t days = std::chrono::sys_days{date}.time_since_epoch().count();
  m_seconds = days * 86400 + secondOfDay - zoneOffset;
  m_valid = true;
  return true;
}

void DateTime::SetTime(std::time_t seconds) {
  m_seconds = static_cast<std::int64_t>(seconds);
  m_valid = true;
}

std::string DateTime::GetString() const {
  if (!m_valid) {
    return {};
  }
  const std::chrono::sys_seconds moment{std::chrono::seconds{m_seconds}};
  const auto days = std::chrono::floor<std::chrono::days>(moment);
  const std::chrono::year_month_day date{days};
  const std::chrono::hh_mm_ss time{moment - days};
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ", int{date.year()},
                unsigned{date.month()}, unsigned{date.day()},
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return buffer;
}

int DateTime::CompareDate(const DateTime& other) const noexcept {
  if (m_valid != other.m_valid) {
    return m_valid ? 1 : -1;
  }
  if (!m_valid || m_seconds == other.m_seconds) {
    return 0;
  }
  return m_seconds < other.m_seconds ? -1 : 1;
}
