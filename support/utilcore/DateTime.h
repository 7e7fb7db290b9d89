#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

/// A moment to the second, in UTC. Invalid until set.
class DateTime {
public:
  DateTime() = default;

  /// Reads an ISO 8601 date and time: "2024-05-01", "2024-05-01 13:45",
  /// "2024-05-01T13:45:07.5Z", "2024/05/01 13:45:07 +02:00"; blanks around it are
  /// allowed. Without a zone the time is UTC. Anything else, or an impossible date,
  /// leaves it invalid. Returns IsValid().
  bool Set(std::string_view text);
  /// Sets seconds since 1970-01-01 UTC, e.g. a file's modification time.
  void SetTime(std::time_t seconds);
  bool IsValid() const noexcept { return m_valid; }
  /// Seconds since 1970-01-01 UTC; 0 when invalid.
  std::int64_t GetTime() const noexcept { return m_seconds; }
  /// "YYYY-MM-DDTHH:MM:SSZ"; empty when invalid.
  std::string GetString() const;
  /// -1, 0 or 1 as this moment is earlier than, the same second as, or later than
  /// `other`; an invalid value is earlier than every valid one.
  int CompareDate(const DateTime& other) const noexcept;

private:
  std::int64_t m_seconds = 0;
  bool m_valid = false;
};
