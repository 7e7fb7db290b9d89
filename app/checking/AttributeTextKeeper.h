#pragma once

#include "utilcore/StringUtils.h"

#include <cstddef>
#include <string>
#include <vector>

/// Keeps the text readers meet in attributes, which markup blanking would take out with
/// their tags: the values of title and aria-label (on any element), alt (on img, area
/// and input), placeholder (on input and textarea), value (on input of type button,
/// submit and reset) and content (on meta named description, og:title or
/// og:description, by name or property). It hears of each tag before the tag is blanked, copies
/// those values, and puts them back into the page text afterwards at their own offsets, their
/// character references decoded as the page's are. Every other byte of the tag stays blank, so a
/// value never runs into the words around the tag.
class CAttributeTextKeeper {
public:
  /// Notes the values of the tag at `tag` (a start tag; end tags hold none); returns
  /// whether it kept any.
  bool OnTag(const std::vector<std::string>& lines, const CStringUtils::TagPlace& tag);
  /// Writes the noted values back into the (blanked, decoded) page text.
  void Restore(std::vector<std::string>& lines);

private:
  /// Notes the value that runs from (fromLine, fromOffset) to (toLine, toOffset).
  void Keep(const std::vector<std::string>& lines, std::size_t fromLine, std::size_t fromOffset,
            std::size_t toLine, std::size_t toOffset);

  /// The part of one value that lies on one line.
  struct SPiece {
    std::size_t line = 0;
    std::size_t offset = 0;
    std::string text;
  };

  std::vector<SPiece> m_pieces;
};
