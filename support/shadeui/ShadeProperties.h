#pragma once

#include <cstdint>
#include <string>
#include <utility>

class CArchiveReader;
class CArchiveWriter;

/// How one user interface component is shaded: a base colour, three levels (how much
/// lighter the top, how glossy the middle, how much darker the bottom, each 0-255) and
/// a pattern number. A plain value.
class CShadeProperties {
public:
  /// A colour value as the platform keeps it: 0x00BBGGRR.
  static constexpr std::uint32_t MakeColor(std::uint8_t red, std::uint8_t green,
                                           std::uint8_t blue) {
    return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8U) |
           (static_cast<std::uint32_t>(blue) << 16U);
  }

  const std::string& GetName() const { return m_name; }
  void SetName(std::string name) { m_name = std::move(name); }
  /// 1 when the shading is drawn, 0 for the component's plain look.
  std::uint8_t GetEnabled() const { return m_enabled; }
  void SetEnabled(std::uint8_t enabled) { m_enabled = enabled; }
  std::uint32_t GetColor() const { return m_color; }
  void SetColor(std::uint32_t color) { m_color = color; }
  std::uint8_t GetLighten() const { return m_lighten; }
  std::uint8_t GetGloss() const { return m_gloss; }
  std::uint8_t GetDarken() const { return m_darken; }
  std::int32_t GetPattern() const { return m_pattern; }
  void SetShading(std::uint8_t lighten, std::uint8_t gloss, std::uint8_t darken,
                  std::int32_t pattern);

  void Serialize(CArchiveWriter& archive) const;
  /// Throws CArchiveException for a truncated entry; leaves this object unchanged then.
  void Serialize(CArchiveReader& archive);

  friend bool operator==(const CShadeProperties&, const CShadeProperties&) = default;

private:
  std::string m_name;
  std::uint8_t m_enabled = 0;
  std::uint32_t m_color = 0;
  std::uint8_t m_lighten = 0;
  std::uint8_t m_gloss = 0;
  std::uint8_t m_darken = 0;
  std::int32_t m_pattern = 0;
};
