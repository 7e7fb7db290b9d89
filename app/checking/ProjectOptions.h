#pragma once

#include <cstdint>

/// The check options a project can change; a new project has the defaults. The
/// project data file stores them as the bits of one 32-bit value, 0 at the defaults,
/// so an option that is on by default has a bit that turns it off.
class CProjectOptions {
public:
  /// Text inside code, pre, kbd, samp, var and tt elements and inline SVG is not checked.
  static constexpr std::uint32_t kSkipCodeSamplesBit = 1U << 0;
  /// The values of alt (on img, area, input) and title are checked as text too.
  static constexpr std::uint32_t kCheckImageTextBit = 1U << 1;
  /// A word that repeats the one before it ("the the") is not reported.
  static constexpr std::uint32_t kLeaveOutRepeatsBit = 1U << 2;
  /// A word whose every letter is a capital ("SATA", "FIFOs") is not checked.
  static constexpr std::uint32_t kIgnoreUppercaseBit = 1U << 3;
  /// A word holding a digit ("beta1", "utf8") is not checked.
  static constexpr std::uint32_t kIgnoreNumbersBit = 1U << 4;
  /// Every bit that stands for an option; any other bit set marks a damaged value.
  static constexpr std::uint32_t kKnownBits = kSkipCodeSamplesBit | kCheckImageTextBit |
                                              kLeaveOutRepeatsBit | kIgnoreUppercaseBit |
                                              kIgnoreNumbersBit;

  bool skipCodeSamples = false;
  bool checkImageText = false;
  bool reportRepeatedWords = true;
  bool ignoreUppercaseWords = false;
  bool ignoreWordsWithNumbers = false;

  /// Whether every option is at its default, as in a project that never changed one.
  bool AllDefault() const { return ToBits() == 0; }
  std::uint32_t ToBits() const {
    return (skipCodeSamples ? kSkipCodeSamplesBit : 0U) |
           (checkImageText ? kCheckImageTextBit : 0U) |
           (reportRepeatedWords ? 0U : kLeaveOutRepeatsBit) |
           (ignoreUppercaseWords ? kIgnoreUppercaseBit : 0U) |
           (ignoreWordsWithNumbers ? kIgnoreNumbersBit : 0U);
  }
  /// The options of `bits`; the caller refuses bits outside kKnownBits.
  static CProjectOptions FromBits(std::uint32_t bits) {
    CProjectOptions options;
    options.skipCodeSamples = (bits & kSkipCodeSamplesBit) != 0;
    options.checkImageText = (bits & kCheckImageTextBit) != 0;
    options.reportRepeatedWords = (bits & kLeaveOutRepeatsBit) == 0;
    options.ignoreUppercaseWords = (bits & kIgnoreUppercaseBit) != 0;
    options.ignoreWordsWithNumbers = (bits & kIgnoreNumbersBit) != 0;
    return options;
  }

  bool operator==(const CProjectOptions&) const = default;
};
