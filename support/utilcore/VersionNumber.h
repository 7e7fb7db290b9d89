#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

/// A version such as "1.2.3.4": up to four numbers, compared number by number,
/// missing numbers counting as 0 ("1.2" equals "1.2.0.0").
class CVersionNumber {
public:
  CVersionNumber() = default;
  explicit CVersionNumber(std::string_view text);
  CVersionNumber(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                 std::uint32_t revision);

  /// Reads the leading version of `text`: blanks and a "v" before it are passed
  /// over, "." or "," separate the numbers, reading stops at the first other
  /// character, numbers after the fourth are ignored and numbers too large are
  /// capped. Text without a leading number gives an invalid version (0.0.0.0).
  /// Returns IsValid().
  bool Set(std::string_view text);
  bool IsValid() const noexcept { return m_count > 0; }
  /// The numbers that were read, joined by "."; empty when invalid.
  std::string GetString() const;

  friend bool operator==(const CVersionNumber& a, const CVersionNumber& b) noexcept {
    return a.m_parts == b.m_parts;
  }
  friend std::strong_ordering operator<=>(const CVersionNumber& a,
                                          const CVersionNumber& b) noexcept {
    return a.m_parts <=> b.m_parts;
  }

private:
  std::array<std::uint32_t, 4> m_parts{};
  std::size_t m_count = 0;
};
