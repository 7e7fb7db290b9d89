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

  /// Reads `text` as a whole version: one to four decimal numbers, each at most
  /// 4294967295 and written with at most kMaxDigits digits, separated by "." or ",",
  /// with blanks around it and a "v" before it allowed. Anything else (trailing
  /// characters, an embedded NUL, a fifth number, a separator without a number after
  /// it, a number too large) gives an invalid version (0.0.0.0): text from a server is
  /// never half believed. Returns IsValid().
  bool Set(std::string_view text);
  /// The most digits a number may have ("4294967295" has ten).
  static constexpr std::size_t kMaxDigits = 10;
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
