#pragma once

// Settings files written out by hand, byte by byte, so that the tests pin the format
// instead of trusting the writer under test.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace settingsbytes {
inline std::string LittleEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
  }
  return out;
}
inline std::string U8(std::uint8_t value) {
  return LittleEndian(value, 1);
}
inline std::string U16(std::uint16_t value) {
  return LittleEndian(value, 2);
}
inline std::string U32(std::uint32_t value) {
  return LittleEndian(value, 4);
}
inline std::string I32(std::int32_t value) {
  return LittleEndian(static_cast<std::uint32_t>(value), 4);
}
/// A string below 255 bytes: a one-byte length, then the bytes.
inline std::string Str(std::string_view text) {
  return U8(static_cast<std::uint8_t>(text.size())) + std::string(text);
}

/// A string of any length: a one-byte length below 255 bytes, else the 0xFF marker and
/// a 16-bit length, or the marker, 0xFFFF and a 32-bit length.
inline std::string AnyStr(std::string_view text) {
  if (text.size() < 0xFF) {
    return Str(text);
  }
  if (text.size() < 0xFFFE) {
    return U8(0xFF) + U16(static_cast<std::uint16_t>(text.size())) + std::string(text);
  }
  return U8(0xFF) + U16(0xFFFF) + U32(static_cast<std::uint32_t>(text.size())) + std::string(text);
}

struct SExtensionApps {
  std::string extension, opener, editor;
};

/// What the base part of a settings file holds.
struct SBase {
  std::string version = "0.0.1";
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  bool minimized = false, maximized = false, stored = false;
  bool automaticUpgrading = true;
  bool playWelcomeMsg = false;
  std::vector<SExtensionApps> apps;
};

inline std::string BasePart(const SBase& base) {
  std::string out = U16(1) + Str(base.version) + I32(base.left) + I32(base.top) + I32(base.width) +
                    I32(base.height) + U8(base.minimized) + U8(base.maximized) + U8(base.stored) +
                    U8(base.automaticUpgrading) + U8(base.playWelcomeMsg) +
                    U32(static_cast<std::uint32_t>(base.apps.size()));
  for (const SExtensionApps& app : base.apps) {
    out += Str(app.extension) + Str(app.opener) + Str(app.editor);
  }
  return out;
}
} // namespace settingsbytes
