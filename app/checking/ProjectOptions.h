#pragma once

#include <cstdint>

/// The check options a project can turn on; each is off in a new project. The project
/// data file stores them as the bits of one 32-bit value.
class CProjectOptions {
public:
  /// Text inside code, pre, kbd, samp, var and tt elements is not checked.
  static constexpr std::uint32_t kSkipCodeSamplesBit = 1U << 0;
  /// The values of alt (on img, area, input) and title are checked as text too.
  static constexpr std::uint32_t kCheckImageTextBit = 1U << 1;
  /// Every bit that stands for an option; any other bit set marks a damaged value.
  static constexpr std::uint32_t kKnownBits = kSkipCodeSamplesBit | kCheckImageTextBit;

  bool skipCodeSamples = false;
  bool checkImageText = false;

  /// Whether every option is off, as in a project that never changed one.
  bool AllOff() const { return ToBits() == 0; }
  std::uint32_t ToBits() const {
    return (skipCodeSamples ? kSkipCodeSamplesBit : 0U) |
           (checkImageText ? kCheckImageTextBit : 0U);
  }
  /// The options of `bits`; the caller refuses bits outside kKnownBits.
  static CProjectOptions FromBits(std::uint32_t bits) {
    CProjectOptions options;
    options.skipCodeSamples = (bits & kSkipCodeSamplesBit) != 0;
    options.checkImageText = (bits & kCheckImageTextBit) != 0;
    return options;
  }

  bool operator==(const CProjectOptions&) const = default;
};
