#pragma once

#include "utilcore/StringUtils.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// The language of each piece of a page's text, as a browser decides it: the lang (or
/// xml:lang, which wins) of the nearest element around it that has one, inherited by
/// everything inside; an empty value names no language. A tag's own attribute values
/// (alt, title) are in its element's language.
///
/// It hears of every tag in page order while the page is made into text, and keeps the
/// places where the language changes. Until the first element with a language it only
/// looks for the attribute, so a page without any costs almost nothing. Elements a page
/// leaves open are closed as a browser closes them (a new <p> or block closes an open
/// <p>, a new <li> the open <li>, a table cell the open cell, an end tag every element
/// opened inside it).
class CPageLanguages {
public:
  /// The language of text outside every element with a language.
  static constexpr std::uint16_t kUnknown = 0;

  void Clear();
  /// Before the tag at `tag` is blanked.
  void OnTag(const std::vector<std::string>& lines, const CStringUtils::TagPlace& tag);
  /// Whether any text of the page has a language.
  bool HasLanguages() const { return !m_changes.empty(); }
  /// The page's languages by number, in their usual form (CLanguageTag); [kUnknown] is "".
  const std::vector<std::string>& Languages() const { return m_languages; }

  /// Before the places of a scan: the next LanguageAt starts from the page's start.
  void StartScan();
  /// The language at a place; the places asked for must not go back between
  /// StartScan calls.
  std::uint16_t LanguageAt(std::size_t line, std::size_t offset);

private:
  /// Element names are compared in lower case; longer names are cut, alike for the
  /// start and end tags.
  static constexpr std::size_t kNameBytes = 15;
  using Name = std::array<char, kNameBytes + 1>;
  struct SElement {
    Name name;
    std::uint16_t language;
  };
  struct SChange {
    std::size_t line;
    std::size_t offset;
    std::uint16_t language;
  };

  static Name MakeName(std::string_view text);
  /// The language the tag's lang or xml:lang gives; false when it has neither.
  bool ReadLanguage(const std::vector<std::string>& lines, const CStringUtils::TagPlace& tag,
                    std::uint16_t& language);
  std::uint16_t Number(const std::string& tag);
  std::uint16_t Current() const { return m_open.empty() ? m_pageLanguage : m_open.back().language; }
  void ChangeTo(std::uint16_t language, std::size_t line, std::size_t offset);
  void OnStartTag(const Name& name, bool empty, bool hasLanguage, std::uint16_t language,
                  const CStringUtils::TagPlace& tag);
  void OnEndTag(const Name& name, const CStringUtils::TagPlace& tag);
  /// Closes the elements a start tag of `name` closes when they are open.
  void CloseImplied(const Name& name);
  /// Closes the innermost open element named one of `names`, and those inside it,
  /// unless one of `barriers` is open inside it.
  void CloseOpen(std::span<const std::string_view> names,
                 std::span<const std::string_view> barriers);
  int FindOpen(std::span<const std::string_view> names,
               std::span<const std::string_view> barriers) const;

  /// The language html or body gives.
  std::uint16_t m_pageLanguage = kUnknown;
  std::vector<SElement> m_open;
  std::vector<SChange> m_changes;
  std::vector<std::string> m_languages{std::string()};
  std::size_t m_cursor = 0;
  std::uint16_t m_scanLanguage = kUnknown;
};
