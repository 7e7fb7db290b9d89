#include "shadeui/ShadeProperties.h"

#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"

void CShadeProperties::SetShading(std::uint8_t lighten, std::uint8_t gloss, std::uint8_t darken,
                                  std::int32_t pattern) {
  m_lighten = lighten;
  m_gloss = gloss;
  m_darken = darken;
  m_pattern = pattern;
}

void CShadeProperties::Serialize(CArchiveWriter& archive) const {
  archive.WriteString(m_name);
  archive.WriteUInt8(m_enabled);
  archive.WriteUInt32(m_color);
  archive.WriteUInt8(m_lighten);
  archive.WriteUInt8(m_gloss);
  archive.WriteUInt8(m_darken);
  archive.WriteInt32(m_pattern);
}

void CShadeProperties::Serialize(CArchiveReader& archive) {
  CShadeProperties read;
  read.m_name = archive.ReadString();
  read.m_enabled = archive.ReadUInt8();
  read.m_color = archive.ReadUInt32();
  read.m_lighten = archive.ReadUInt8();
  read.m_gloss = archive.ReadUInt8();
  read.m_darken = archive.ReadUInt8();
  read.m_pattern = archive.ReadInt32();
  *this = std::move(read);
}
