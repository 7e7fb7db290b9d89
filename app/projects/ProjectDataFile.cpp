#include "projects/ProjectDataFile.h"

#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"

#include <string>

namespace {
// The least bytes an element can take, so that a damaged count is refused at once.
// Lists of strings are not reserved ahead: a string object is far larger than the
// byte that may stand for it, and grows only with what is really read.
constexpr std::size_t kMinStringBytes = 1;
constexpr std::size_t kIdBytes = 4;
constexpr std::size_t kMinFilterBytes = 2 + 4 + kMinStringBytes;

constexpr std::uint16_t kFirstVersion = 1;

bool IsKnownFilterType(std::int32_t type) {
  return type == CProjectFilter::SUB_DIRECTORY || type == CProjectFilter::FILE ||
         type == CProjectFilter::CUSTOM;
}

void ReadFirstVersionBody(CArchiveReader& reader, CProjectDataFile::SContent& content) {
  reader.Skip(4); // a value the first version stored and nothing ever used
  const std::uint32_t count = reader.ReadCount(kIdBytes, CProjectDataFile::kMaxDictionaries);
  content.dictionaryIds.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    content.dictionaryIds.push_back(reader.ReadInt32());
  }
}

void ReadFilters(CArchiveReader& reader, CProjectDataFile::SContent& content) {
  const std::uint32_t count = reader.ReadCount(kMinFilterBytes, CProjectDataFile::kMaxFilters);
  for (std::uint32_t i = 0; i < count; ++i) {
    reader.ReadUInt16(); // the filter version: every version so far has the same form
    CProjectFilter filter;
    filter.type = CProjectDataFile::kFallbackFilterType;
    const std::int32_t type = reader.ReadInt32();
    if (IsKnownFilterType(type)) {
      filter.type = type;
    }
    filter.text = reader.ReadString(CProjectDataFile::kMaxTextBytes);
    content.filters.push_back(std::move(filter));
  }
}

void ReadOptions(CArchiveReader& reader, CProjectDataFile::SContent& content) {
  const std::uint32_t bits = reader.ReadUInt32();
  // Bits no release defines, or bytes after the last field, are damage: this layout is
  // final, and guessing at them could turn an option on that the user never chose.
  if ((bits & ~CProjectOptions::kKnownBits) != 0) {
    reader.ThrowFormatError("Unknown project options " + std::to_string(bits));
  }
  if (!reader.IsAtEnd()) {
    reader.ThrowFormatError("Bytes after the project options");
  }
  content.options = CProjectOptions::FromBits(bits);
}
} // namespace

std::string CProjectDataFile::Write(const SContent& content, const std::string& fileName) {
  CArchiveWriter writer(fileName);
  const std::uint16_t version = VersionFor(content.options);
  writer.WriteUInt16(version);
  writer.WriteString(content.name, kMaxTextBytes);
  writer.WriteString(content.rootDirectory, kMaxTextBytes);
  writer.WriteCount(content.dictionaryNames.size(), kMaxDictionaries);
  for (const std::string& name : content.dictionaryNames) {
    writer.WriteString(name, kMaxTextBytes);
  }
  writer.WriteCount(content.filters.size(), kMaxFilters);
  for (const CProjectFilter& filter : content.filters) {
    writer.WriteUInt16(kFilterVersion);
    writer.WriteInt32(filter.type);
    writer.WriteString(filter.text, kMaxTextBytes);
  }
  if (version == kOptionsVersion) {
    writer.WriteUInt32(content.options.ToBits());
  }
  return writer.TakeBytes();
}

CProjectDataFile::SContent CProjectDataFile::Read(std::string_view bytes,
                                                  const std::string& fileName) {
  CArchiveReader reader(bytes, fileName);
  SContent content;
  content.version = reader.ReadUInt16();
  // A later release may lay its files out otherwise: reading one as ours would take
  // its fields for others (and saving would lose what it added).
  if (content.version != kFirstVersion && content.version != kVersion &&
      content.version != kOptionsVersion) {
    reader.ThrowFormatError("Unknown project data file version " + std::to_string(content.version));
  }
  content.name = reader.ReadString(kMaxTextBytes);
  content.rootDirectory = reader.ReadString(kMaxTextBytes);
  if (content.version == kFirstVersion) {
    ReadFirstVersionBody(reader, content);
    return content;
  }
  const std::uint32_t count = reader.ReadCount(kMinStringBytes, kMaxDictionaries);
  for (std::uint32_t i = 0; i < count; ++i) {
    content.dictionaryNames.push_back(reader.ReadString(kMaxTextBytes));
  }
  ReadFilters(reader, content);
  if (content.version == kOptionsVersion) {
    ReadOptions(reader, content);
  }
  return content;
}
