#include "projects/ProjectDataFile.h"

#include "WebProjectFileFixture.h"

#include "utilcore/ArchiveException.h"
#include "utilcore/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>

namespace {

using Content = CProjectDataFile::SContent;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int v : values) {
    out.push_back(static_cast<char>(v));
  }
  return out;
}

Content SampleContent() {
  Content content;
  content.name = "My Site";
  content.rootDirectory = "/srv/www/";
  content.dictionaryNames = {"Main", "My Site Ignore"};
  content.filters = {{0, "old/"}, {1, "a.htm"}, {2, "*.php"}};
  return content;
}

// Written out by hand from the field table, so that a change of the writer that
// still reads back through the reader cannot slip through.
std::string SampleBytes() {
  return Bytes({0x02, 0x00,                                              // version
                0x07, 'M',  'y',  ' ',  'S',  'i',  't',  'e',           // name
                0x09, '/',  's',  'r',  'v',  '/',  'w',  'w', 'w', '/', // root
                0x02, 0x00, 0x00, 0x00,                                  // two dictionaries
                0x04, 'M',  'a',  'i',  'n',                             //
                0x0E, 'M',  'y',  ' ',  'S',  'i',  't',  'e', ' ', 'I', 'g', 'n',
                'o',  'r',  'e',  0x03, 0x00, 0x00, 0x00,                     // three filters
                0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 'o', 'l', 'd', '/', //
                0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x05, 'a', '.', 'h', 't', 'm',
                0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x05, '*', '.', 'p', 'h', 'p'});
}

TEST(ProjectDataFile, WritesVersionTwoByteForByte) {
  EXPECT_EQ(CProjectDataFile::Write(SampleContent(), "a.plx"), SampleBytes());
}

TEST(ProjectDataFile, ReadsVersionTwo) {
  EXPECT_EQ(CProjectDataFile::Read(SampleBytes(), "a.plx"), SampleContent());
}

TEST(ProjectDataFile, EmptyProjectIsFiveFieldsOfNothing) {
  EXPECT_EQ(CProjectDataFile::Write(Content{}, "a.plx"),
            Bytes({0x02, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// The name's prefix at each limit of the string form; the rest of the file follows
// the name unchanged.
class ProjectDataFileNameLength : public testing::TestWithParam<std::size_t> {};

TEST_P(ProjectDataFileNameLength, PrefixAndRoundTrip) {
  Content content;
  content.name.assign(GetParam(), 'n');
  content.filters = {{2, "*.bak"}};
  const std::string bytes = CProjectDataFile::Write(content, "a.plx");

  std::string prefix;
  switch (GetParam()) {
  case 254:
    prefix = Bytes({0xFE});
    break;
  case 255:
    prefix = Bytes({0xFF, 0xFF, 0x00});
    break;
  case 65534:
    prefix = Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00});
    break;
  default:
    prefix = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00});
    break;
  }
  ASSERT_EQ(bytes.size(), 2 + prefix.size() + GetParam() + 1 + 4 + 4 + 2 + 4 + 6);
  EXPECT_EQ(bytes.substr(2, prefix.size()), prefix);
  EXPECT_EQ(CProjectDataFile::Read(bytes, "a.plx"), content);
}

INSTANTIATE_TEST_SUITE_P(Limits, ProjectDataFileNameLength,
                         testing::Values(254, 255, 65534, 65535));

TEST(ProjectDataFile, ReadsVersionOneIdsWithoutFilters) {
  const std::string bytes = Bytes({0x01, 0x00, 0x01, 'A',  0x03, '/',  'a',  '/',  //
                                   0x2A, 0x00, 0x00, 0x00,                         // skipped
                                   0x03, 0x00, 0x00, 0x00,                         // three ids
                                   0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, //
                                   0xFF, 0xFF, 0xFF, 0xFF});
  const Content content = CProjectDataFile::Read(bytes, "a.plx");
  EXPECT_EQ(content.version, 1);
  EXPECT_EQ(content.name, "A");
  EXPECT_EQ(content.rootDirectory, "/a/");
  EXPECT_EQ(content.dictionaryIds, (std::vector<std::int32_t>{0, 7, -1}));
  EXPECT_TRUE(content.dictionaryNames.empty());
  EXPECT_TRUE(content.filters.empty());
}

TEST(ProjectDataFile, WritingAnOldContentAlwaysGivesVersionTwo) {
  Content content = SampleContent();
  content.version = 1;
  content.dictionaryIds = {3, 4};
  EXPECT_EQ(CProjectDataFile::Write(content, "a.plx"), SampleBytes());
}

struct FilterTypeCase {
  std::int32_t stored;
  std::int32_t read;
};

void PrintTo(const FilterTypeCase& c, std::ostream* os) {
  *os << "type " << c.stored;
}

class ProjectDataFileFilterType : public testing::TestWithParam<FilterTypeCase> {};

TEST_P(ProjectDataFileFilterType, UnknownTypesBecomeFileFilters) {
  Content content;
  content.filters = {{GetParam().stored, "x"}};
  const Content read = CProjectDataFile::Read(CProjectDataFile::Write(content, "a.plx"), "a.plx");
  ASSERT_EQ(read.filters.size(), 1U);
  EXPECT_EQ(read.filters[0].type, GetParam().read);
  EXPECT_EQ(read.filters[0].text, "x");
}

INSTANTIATE_TEST_SUITE_P(Types, ProjectDataFileFilterType,
                         testing::Values(FilterTypeCase{0, 0}, FilterTypeCase{1, 1},
                                         FilterTypeCase{2, 2}, FilterTypeCase{7, 1},
                                         FilterTypeCase{3, 1}, FilterTypeCase{-1, 1}));

// Options on: version 3, that is version 2's bytes and then the option bits.
std::string SampleVersionThreeBytes(int optionBits) {
  std::string bytes = SampleBytes();
  bytes[0] = 0x03;
  return bytes + Bytes({optionBits, 0x00, 0x00, 0x00});
}

TEST(ProjectDataFile, WritesVersionThreeByteForByteWhileAnOptionIsOn) {
  const struct {
    CProjectOptions options;
    int bits;
  } cases[] = {{{true, false}, 0x01},
               {{false, true}, 0x02},
               {{true, true}, 0x03},
               // Repeated words are reported by default: their bit turns them off.
               {{false, false, false}, 0x04},
               {{true, true, false}, 0x07},
               {{false, false, true, true}, 0x08},
               {{false, false, true, false, true}, 0x10},
               {{false, false, true, true, true}, 0x18},
               {{true, true, false, true, true}, 0x1F}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    Content content = SampleContent();
    content.options = c.options;
    content.version = 3;
    const std::string bytes = SampleVersionThreeBytes(c.bits);
    EXPECT_EQ(CProjectDataFile::Write(content, "a.plx"), bytes);
    EXPECT_EQ(CProjectDataFile::Read(bytes, "a.plx"), content);
  }
}

TEST(ProjectDataFile, DamagedVersionThreeIsRefusedNamingTheFile) {
  const std::size_t body = SampleBytes().size();
  const struct {
    const char* what;
    std::string bytes;
    const char* message; // null: the archive's own message for running out of bytes
  } cases[] = {
      {"unknown option bit", SampleVersionThreeBytes(0x20), "Unknown project options 32"},
      {"unknown bit beside known ones", SampleVersionThreeBytes(0x38),
       "Unknown project options 56"},
      {"highest bit", SampleVersionThreeBytes(0x01).substr(0, body + 3) + Bytes({0x80}),
       "Unknown project options 2147483649"},
      {"a byte after the options", SampleVersionThreeBytes(0x01) + Bytes({0x00}),
       "Bytes after the project options"},
      {"options cut short", SampleVersionThreeBytes(0x01).substr(0, body + 2), nullptr},
      {"no options", SampleVersionThreeBytes(0x01).substr(0, body), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      CProjectDataFile::Read(c.bytes, "/d/a.plx");
      ADD_FAILURE() << "read a damaged file";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.GetFileName(), "/d/a.plx");
      if (c.message != nullptr) {
        EXPECT_EQ(e.GetMessage(), c.message);
      }
    }
  }
}

// Another layout read as version 2 would take its fields for others.
TEST(ProjectDataFile, UnknownVersionsAreRefusedNamingTheVersion) {
  for (const int version : {0, 4, 0xFFFF}) {
    std::string bytes = SampleBytes();
    bytes[0] = static_cast<char>(version & 0xFF);
    bytes[1] = static_cast<char>(version >> 8);
    try {
      CProjectDataFile::Read(bytes, "/d/a.plx");
      ADD_FAILURE() << "read version " << version;
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.GetFileName(), "/d/a.plx");
      EXPECT_EQ(e.GetMessage(), "Unknown project data file version " + std::to_string(version));
    }
  }
}

TEST(ProjectDataFile, EveryTruncationIsAnArchiveErrorNamingTheFile) {
  const std::string bytes = SampleBytes();
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    SCOPED_TRACE(size);
    try {
      CProjectDataFile::Read(std::string_view(bytes).substr(0, size), "/d/a.plx");
      ADD_FAILURE() << "read a truncated file";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.GetFileName(), "/d/a.plx");
    }
  }
}

struct DamageCase {
  const char* name;
  std::size_t offset;
  std::string bytes;
};

void PrintTo(const DamageCase& c, std::ostream* os) {
  *os << c.name;
}

class ProjectDataFileDamage : public testing::TestWithParam<DamageCase> {};

// Counts and lengths far beyond the file are refused before anything is allocated
// for them.
TEST_P(ProjectDataFileDamage, IsRefused) {
  std::string bytes = SampleBytes();
  bytes.replace(GetParam().offset, GetParam().bytes.size(), GetParam().bytes);
  EXPECT_THROW(CProjectDataFile::Read(bytes, "a.plx"), CArchiveException);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ProjectDataFileDamage,
    testing::Values(
        DamageCase{"HugeDictionaryCount", 20, Bytes({0xFF, 0xFF, 0xFF, 0x7F})},
        DamageCase{"DictionaryCountBeyondBytesLeft", 20, Bytes({0x00, 0x01, 0x00, 0x00})},
        DamageCase{"HugeFilterCount", 44, Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        DamageCase{"FilterCountOneTooMany", 44, Bytes({0x04, 0x00, 0x00, 0x00})},
        DamageCase{"LongNameLength", 2, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})},
        DamageCase{"WideNameLength", 2, Bytes({0xFF, 0xFE, 0xFF, 0x40})}),
    CaseName<DamageCase>);

// The bytes of version 2 as the archive writes them without the file's bounds: what a
// damaged or forged file may hold.
std::string UnboundedBytes(const Content& content) {
  CArchiveWriter writer;
  writer.WriteUInt16(CProjectDataFile::kVersion);
  writer.WriteString(content.name);
  writer.WriteString(content.rootDirectory);
  writer.WriteCount(content.dictionaryNames.size());
  for (const std::string& name : content.dictionaryNames) {
    writer.WriteString(name);
  }
  writer.WriteCount(content.filters.size());
  for (const CProjectFilter& filter : content.filters) {
    writer.WriteUInt16(CProjectDataFile::kFilterVersion);
    writer.WriteInt32(filter.type);
    writer.WriteString(filter.text);
  }
  return writer.TakeBytes();
}

struct BoundCase {
  const char* name;
  std::size_t limit;
  void (*fill)(Content& content, std::size_t size);
};

void PrintTo(const BoundCase& c, std::ostream* os) {
  *os << c.name;
}

class ProjectDataFileBound : public testing::TestWithParam<BoundCase> {
protected:
  static Content Filled(std::size_t size) {
    Content content = SampleContent();
    GetParam().fill(content, size);
    return content;
  }
};

// Content at each bound is written and read back byte for byte; one more name, filter
// or byte is refused by the reader as damaged, and never written.
TEST_P(ProjectDataFileBound, AtTheBoundReadsAndOnePastIsRefused) {
  const Content atBound = Filled(GetParam().limit);
  const std::string bytes = UnboundedBytes(atBound);
  EXPECT_EQ(CProjectDataFile::Write(atBound, "a.plx"), bytes);
  EXPECT_EQ(CProjectDataFile::Read(bytes, "a.plx"), atBound);

  const Content pastBound = Filled(GetParam().limit + 1);
  EXPECT_THROW(CProjectDataFile::Read(UnboundedBytes(pastBound), "a.plx"), CArchiveException);
  EXPECT_THROW(CProjectDataFile::Write(pastBound, "a.plx"), CArchiveException);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ProjectDataFileBound,
    testing::Values(
        BoundCase{"Dictionaries", CProjectDataFile::kMaxDictionaries,
                  [](Content& c, std::size_t n) { c.dictionaryNames.assign(n, "Main"); }},
        BoundCase{"Filters", CProjectDataFile::kMaxFilters,
                  [](Content& c, std::size_t n) {
                    c.filters.assign(n, {2, "*.bak"});
                  }},
        BoundCase{"NameBytes", CProjectDataFile::kMaxTextBytes,
                  [](Content& c, std::size_t n) { c.name.assign(n, 'n'); }},
        BoundCase{"RootBytes", CProjectDataFile::kMaxTextBytes,
                  [](Content& c, std::size_t n) { c.rootDirectory.assign(n, '/'); }},
        BoundCase{"DictionaryNameBytes", CProjectDataFile::kMaxTextBytes,
                  [](Content& c, std::size_t n) { c.dictionaryNames[1].assign(n, 'd'); }},
        BoundCase{"FilterBytes", CProjectDataFile::kMaxTextBytes,
                  [](Content& c, std::size_t n) { c.filters[2].text.assign(n, '*'); }}),
    CaseName<BoundCase>);

TEST(ProjectDataFile, VersionOneIdsUpToTheDictionaryBoundAreRead) {
  for (const std::uint32_t count :
       {CProjectDataFile::kMaxDictionaries, CProjectDataFile::kMaxDictionaries + 1}) {
    CArchiveWriter writer;
    writer.WriteUInt16(1);
    writer.WriteString("A");
    writer.WriteString("/a/");
    writer.WriteInt32(0);
    writer.WriteCount(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      writer.WriteInt32(static_cast<std::int32_t>(i));
    }
    if (count <= CProjectDataFile::kMaxDictionaries) {
      EXPECT_EQ(CProjectDataFile::Read(writer.GetBytes(), "a.plx").dictionaryIds.size(), count);
    } else {
      EXPECT_THROW(CProjectDataFile::Read(writer.GetBytes(), "a.plx"), CArchiveException);
    }
  }
}

TEST(ProjectDataFile, VersionOneWithHugeIdCountIsRefused) {
  const std::string bytes = Bytes({0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, //
                                   0xFF, 0xFF, 0xFF, 0x3F, 0x01, 0x00, 0x00, 0x00});
  EXPECT_THROW(CProjectDataFile::Read(bytes, "a.plx"), CArchiveException);
}

} // namespace
