#pragma once

#include "shadeui/ShadeProperties.h"

#include <array>
#include <cstdint>
#include <mutex>

class CArchiveReader;
class CArchiveWriter;

/// The shadings of the user interface components, numbered 0 to kComponentCount - 1:
/// a default shading each (set by the program at start-up) and the user's own, which
/// the settings file keeps. Process-wide; every member may be called from any thread.
class BkgStyle {
public:
  static constexpr int kComponentCount = 25;
  static constexpr std::uint16_t kVersion = 1;
  /// The most entries a stored list may have. Serialize writes each component once; a
  /// damaged file may claim a million entries, each read and held before any is taken.
  static constexpr std::uint32_t kMaxEntries = 1024;

  /// The process-wide instance; never null.
  static BkgStyle* GetInstance();

  BkgStyle(const BkgStyle&) = delete;
  BkgStyle& operator=(const BkgStyle&) = delete;

  /// False (nothing changed) for a component number out of range.
  bool SetDefault(int component, const CShadeProperties& properties);
  bool SetUser(int component, const CShadeProperties& properties);
  /// An empty shading for a component number out of range.
  CShadeProperties GetDefault(int component) const;
  CShadeProperties GetUser(int component) const;
  /// Every user shading becomes its component's default.
  void CopyDefaultToUser();
  /// Forgets defaults and user shadings (for a fresh start and for tests).
  void RemoveAll();

  /// The user shadings: a 16-bit version, a 32-bit count, then per entry the 32-bit
  /// component number and the shading.
  void Serialize(CArchiveWriter& archive) const;
  /// Reads what Serialize wrote; the components it lists get those user shadings, the
  /// others keep theirs. Throws CArchiveException for an unknown version, a component
  /// out of range, a list longer than kMaxEntries or a truncated one, and changes
  /// nothing then.
  void Serialize(CArchiveReader& archive);

private:
  BkgStyle() = default;
  ~BkgStyle() = default;

  using Shades = std::array<CShadeProperties, kComponentCount>;

  static bool IsComponent(int component) { return component >= 0 && component < kComponentCount; }
  bool Store(Shades& shades, int component, const CShadeProperties& properties);
  CShadeProperties Load(const Shades& shades, int component) const;

  mutable std::mutex m_lock;
  Shades m_defaults;
  Shades m_user;
};
