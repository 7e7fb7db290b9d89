#include "shadeui/BkgStyle.h"

#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"

#include <string>
#include <utility>
#include <vector>

namespace {
// Component number, empty name, enabled, colour, three levels, pattern.
constexpr std::size_t kMinEntryBytes = 4 + 1 + 1 + 4 + 3 + 4;
} // namespace

BkgStyle* BkgStyle::GetInstance() {
  static BkgStyle instance;
  return &instance;
}

bool BkgStyle::SetDefault(int component, const CShadeProperties& properties) {
  return Store(m_defaults, component, properties);
}

bool BkgStyle::SetUser(int component, const CShadeProperties& properties) {
  return Store(m_user, component, properties);
}

CShadeProperties BkgStyle::GetDefault(int component) const {
  return Load(m_defaults, component);
}

CShadeProperties BkgStyle::GetUser(int component) const {
  return Load(m_user, component);
}

bool BkgStyle::Store(Shades& shades, int component, const CShadeProperties& properties) {
  if (!IsComponent(component)) {
    return false;
  }
  const std::lock_guard guard(m_lock);
  shades[static_cast<std::size_t>(component)] = properties;
  return true;
}

CShadeProperties BkgStyle::Load(const Shades& shades, int component) const {
  if (!IsComponent(component)) {
    return {};
  }
  const std::lock_guard guard(m_lock);
  return shades[static_cast<std::size_t>(component)];
}

void BkgStyle::CopyDefaultToUser() {
  const std::lock_guard guard(m_lock);
  m_user = m_defaults;
}

void BkgStyle::RemoveAll() {
  const std::lock_guard guard(m_lock);
  m_defaults.fill({});
  m_user.fill({});
}

void BkgStyle::Serialize(CArchiveWriter& archive) const {
  const std::lock_guard guard(m_lock);
  archive.WriteUInt16(kVersion);
  archive.WriteCount(m_user.size());
  for (std::size_t component = 0; component < m_user.size(); ++component) {
    archive.WriteInt32(static_cast<std::int32_t>(component));
    m_user[component].Serialize(archive);
  }
}

void BkgStyle::Serialize(CArchiveReader& archive) {
  const std::uint16_t version = archive.ReadUInt16();
  if (version != kVersion) {
    archive.ThrowFormatError("unknown background style version " + std::to_string(version));
  }
  const std::uint32_t count = archive.ReadCount(kMinEntryBytes, kMaxEntries);
  // Read everything before changing anything, so that a damaged list leaves no half.
  std::vector<std::pair<std::size_t, CShadeProperties>> read;
  read.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int32_t component = archive.ReadInt32();
    if (!IsComponent(component)) {
      archive.ThrowFormatError("background style for unknown component " +
                               std::to_string(component));
    }
    CShadeProperties properties;
    properties.Serialize(archive);
    read.emplace_back(static_cast<std::size_t>(component), std::move(properties));
  }
  const std::lock_guard guard(m_lock);
  for (auto& [component, properties] : read) {
    m_user[component] = std::move(properties);
  }
}
