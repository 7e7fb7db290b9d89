#pragma once

#include "utilcore/StringUtils.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// Leaves a page's code samples out of the check: the text inside code, pre, kbd, samp,
/// var and tt elements and inline svg (nested in any way, tags in any case, with
/// attributes, over many lines) is blanked together with the markup, every other byte
/// staying at its offset.
/// The elements are found from the tags that markup blanking sees, so a tag inside a
/// comment, script or style opens nothing. An element never closed runs to the end of
/// the page, as it does in a browser.
///
/// It hears of each tag from CStringUtils::BlankMarkup (OnTag) and, once the markup is
/// blanked, blanks the samples (BlankSamples).
class CCodeSampleBlanker {
public:
  /// Returns whether the tag opens or closes a sample element.
  bool OnTag(const std::vector<std::string>& lines, const CStringUtils::TagPlace& tag);
  /// Whether the last tag heard of left a sample open: a tag heard of now lies inside it.
  bool InSample() const { return !m_open.empty(); }
  /// Ends the sample still open at the end of the page, then blanks every sample.
  void BlankSamples(std::vector<std::string>& lines);

private:
  struct SPos {
    std::size_t line = 0;
    std::size_t offset = 0;
  };
  struct SSample {
    SPos from;
    SPos to;
  };

  /// The sample elements open at the current tag, innermost last.
  std::vector<std::uint8_t> m_open;
  /// Where the outermost open element's text begins.
  SPos m_start;
  std::vector<SSample> m_samples;
};
