#include "utilcore/ArchiveException.h"
#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int v : values) {
    out.push_back(static_cast<char>(v));
  }
  return out;
}

/// UTF-16LE bytes of a text given as code units.
std::string Utf16Le(const std::u16string& text) {
  std::string out;
  for (const char16_t unit : text) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

template <typename Case> std::string CaseName(const testing::TestParamInfo<Case>& param) {
  return param.param.name;
}

struct PrefixCase {
  std::size_t length;
  std::string prefix;
};

void PrintTo(const PrefixCase& c, std::ostream* os) {
  *os << "length " << c.length;
}

class ArchiveStringPrefix : public testing::TestWithParam<PrefixCase> {};

TEST_P(ArchiveStringPrefix, WritesExactPrefixAndReadsBack) {
  const PrefixCase& c = GetParam();
  const std::string text(c.length, 'x');
  CArchiveWriter writer;
  writer.WriteString(text);
  const std::string& bytes = writer.GetBytes();
  ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
  EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix);

  CArchiveReader reader(bytes, "a.dat");
  EXPECT_EQ(reader.ReadString(), text);
  EXPECT_TRUE(reader.IsAtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ArchiveStringPrefix,
    testing::Values(PrefixCase{0, Bytes({0x00})}, PrefixCase{1, Bytes({0x01})},
                    PrefixCase{254, Bytes({0xFE})}, PrefixCase{255, Bytes({0xFF, 0xFF, 0x00})},
                    PrefixCase{0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
                    PrefixCase{0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                    PrefixCase{0xFFFF, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
                    PrefixCase{70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})}));

TEST(Archive, IntegersAreLittleEndian) {
  CArchiveWriter writer;
  writer.WriteUInt8(0xAB);
  writer.WriteUInt16(0x1234);
  writer.WriteUInt32(0x89ABCDEF);
  writer.WriteUInt64(0x0102030405060708ULL);
  writer.WriteInt32(-2);
  writer.WriteBool(true);
  writer.WriteCount(3);
  EXPECT_EQ(writer.GetBytes(),
            Bytes({0xAB, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89, 0x08, 0x07, 0x06, 0x05, 0x04,
                   0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x03, 0x00, 0x00, 0x00}));
}

TEST(Archive, ValuesRoundTrip) {
  CArchiveWriter writer;
  writer.WriteUInt16(2);
  writer.WriteInt32(std::numeric_limits<std::int32_t>::min());
  writer.WriteInt64(-1234567890123LL);
  writer.WriteUInt64(std::numeric_limits<std::uint64_t>::max());
  writer.WriteDouble(-0.125);
  writer.WriteBool(false);
  writer.WriteString("h\xC3\xA9llo\0x");
  const std::string bytes = writer.TakeBytes();
  EXPECT_TRUE(writer.GetBytes().empty());

  CArchiveReader reader(bytes, "a.dat");
  EXPECT_EQ(reader.ReadUInt16(), 2);
  EXPECT_EQ(reader.ReadInt32(), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(reader.ReadInt64(), -1234567890123LL);
  EXPECT_EQ(reader.ReadUInt64(), std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(reader.ReadDouble(), -0.125);
  EXPECT_FALSE(reader.ReadBool());
  EXPECT_EQ(reader.ReadString(), "h\xC3\xA9llo");
  EXPECT_TRUE(reader.IsAtEnd());
}

TEST(Archive, NonZeroByteReadsAsTrue) {
  const std::string bytes = Bytes({0x02});
  CArchiveReader reader(bytes, "");
  EXPECT_TRUE(reader.ReadBool());
}

struct WideCase {
  const char* name;
  std::string bytes;
  std::string utf8;
};

void PrintTo(const WideCase& c, std::ostream* os) {
  *os << c.name;
}

class ArchiveWideString : public testing::TestWithParam<WideCase> {};

TEST_P(ArchiveWideString, ReadsIntoUtf8) {
  const WideCase& c = GetParam();
  const std::string bytes = c.bytes + "Z";
  CArchiveReader reader(bytes, "w.dat");
  EXPECT_EQ(reader.ReadString(), c.utf8);
  EXPECT_EQ(reader.ReadUInt8(), 'Z');
}

const std::string kWideMarker = Bytes({0xFF, 0xFE, 0xFF});

INSTANTIATE_TEST_SUITE_P(
    Forms, ArchiveWideString,
    testing::Values(
        WideCase{"Empty", kWideMarker + Bytes({0}), ""},
        WideCase{"Ascii", kWideMarker + Bytes({3}) + Utf16Le(u"abc"), "abc"},
        WideCase{"Latin", kWideMarker + Bytes({4}) + Utf16Le(u"caf\u00E9"), "caf\xC3\xA9"},
        WideCase{"Euro", kWideMarker + Bytes({2}) + Utf16Le(u"\u20AC1"),
                 "\xE2\x82\xAC"
                 "1"},
        WideCase{"SurrogatePair", kWideMarker + Bytes({2}) + Utf16Le(u"\U0001F600"),
                 "\xF0\x9F\x98\x80"},
        WideCase{"LoneLeadSurrogate", kWideMarker + Bytes({2}) + Utf16Le(u"\xD800x"),
                 "\xEF\xBF\xBDx"},
        WideCase{"LoneTrailSurrogate", kWideMarker + Bytes({1}) + Utf16Le(u"\xDC00"),
                 "\xEF\xBF\xBD"},
        WideCase{"MediumLength",
                 kWideMarker + Bytes({0xFF, 0x00, 0x01}) + Utf16Le(std::u16string(256, u'\u00FC')),
                 [] {
                   std::string s;
                   for (int i = 0; i < 256; ++i) {
                     s += "\xC3\xBC";
                   }
                   return s;
                 }()},
        WideCase{"LongLength",
                 kWideMarker + Bytes({0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00}) + Utf16Le(u"ok"),
                 "ok"}),
    CaseName<WideCase>);

/// A small file in the layout of the custom guesses file, with one 16-bit string.
std::string SmallValidFile() {
  CArchiveWriter writer;
  writer.WriteUInt16(2);
  writer.WriteCount(2);
  writer.WriteString("teh");
  writer.WriteCount(1);
  writer.WriteString("the");
  writer.WriteString(std::string(300, 'k'));
  writer.WriteCount(0);
  return writer.TakeBytes() + kWideMarker + Bytes({2}) + Utf16Le(u"\u00E9!");
}

void ReadSmallFile(const std::string& bytes) {
  CArchiveReader reader(bytes, "guess.dat");
  reader.ReadUInt16();
  const std::uint32_t entries = reader.ReadCount(2);
  for (std::uint32_t i = 0; i < entries; ++i) {
    reader.ReadString();
    const std::uint32_t replacements = reader.ReadCount(1);
    for (std::uint32_t j = 0; j < replacements; ++j) {
      reader.ReadString();
    }
  }
  reader.ReadString();
}

TEST(ArchiveDamage, SmallFileReadsWhole) {
  EXPECT_NO_THROW(ReadSmallFile(SmallValidFile()));
}

TEST(ArchiveDamage, EveryTruncationRaisesArchiveException) {
  const std::string whole = SmallValidFile();
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    try {
      ReadSmallFile(whole.substr(0, cut));
      ADD_FAILURE() << "no exception";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.GetFileName(), "guess.dat");
      EXPECT_FALSE(e.GetMessage().empty());
    }
  }
}

struct DamageCase {
  const char* name;
  std::string bytes;
};

void PrintTo(const DamageCase& c, std::ostream* os) {
  *os << c.name;
}

class ArchiveBogusLength : public testing::TestWithParam<DamageCase> {};

// A length or count far beyond the data must be refused before anything is allocated
// (AddressSanitizer would report a 4 GiB request).
TEST_P(ArchiveBogusLength, RaisesWithoutAllocating) {
  const std::string bytes = GetParam().bytes;
  CArchiveReader reader(bytes, "bad.dat");
  EXPECT_THROW(
      {
        reader.ReadString();
        reader.ReadCount(1);
      },
      CArchiveException);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveBogusLength,
    testing::Values(
        DamageCase{"ShortLength", Bytes({0x10, 'a', 'b'})},
        DamageCase{"MediumLength", Bytes({0xFF, 0x00, 0xF0, 'a'})},
        DamageCase{"LongLength", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'})},
        DamageCase{"WideLongLength",
                   Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0})},
        DamageCase{"WideOddBytes", Bytes({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'})},
        DamageCase{"NestedWideMarker", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01, 'a', 0})},
        DamageCase{"HugeCount", Bytes({0x00, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3})}),
    CaseName<DamageCase>);

TEST(ArchiveCount, AcceptsExactlyWhatTheRestCanHold) {
  const std::string bytes = Bytes({0x03, 0x00, 0x00, 0x00, 1, 2, 3, 4, 5, 6});
  CArchiveReader fits(bytes, "");
  EXPECT_EQ(fits.ReadCount(2), 3u);
  CArchiveReader tooMany(bytes, "");
  EXPECT_THROW(tooMany.ReadCount(3), CArchiveException);
  CArchiveReader zeroSize(bytes, "");
  EXPECT_EQ(zeroSize.ReadCount(0), 3u);
}

// A format's own bound on a text: the text at the bound is read, one byte past it is
// refused, whether the length says so at once or the 16-bit units grow in UTF-8.
TEST(ArchiveBounds, TextsUpToTheBoundAreReadAndLongerOnesRefused) {
  constexpr std::size_t kMax = 300;
  const std::string medium = Bytes({0xFF, 0x2C, 0x01}); // 300
  const std::string mediumPlusOne = Bytes({0xFF, 0x2D, 0x01});
  const struct {
    const char* name;
    std::string bytes;
    std::size_t readBytes; ///< 0: refused
  } cases[] = {
      {"NarrowAtTheBound", medium + std::string(300, 'a'), 300},
      {"NarrowOnePast", mediumPlusOne + std::string(301, 'a'), 0},
      {"WideAtTheBound", kWideMarker + medium + Utf16Le(std::u16string(300, u'a')), 300},
      {"WideOnePast", kWideMarker + mediumPlusOne + Utf16Le(std::u16string(301, u'a')), 0},
      {"WideGrowsToTheBound", kWideMarker + Bytes({150}) + Utf16Le(std::u16string(150, u'\u00FC')),
       300},
      {"WideGrowsPastTheBound",
       kWideMarker + Bytes({151}) + Utf16Le(std::u16string(151, u'\u00FC')), 0},
  };
  for (const auto& c : cases) {
    CArchiveReader reader(c.bytes, "t.dat");
    if (c.readBytes == 0) {
      EXPECT_THROW(reader.ReadString(kMax), CArchiveException) << c.name;
      continue;
    }
    EXPECT_EQ(reader.ReadString(kMax).size(), c.readBytes) << c.name;
    EXPECT_TRUE(reader.IsAtEnd()) << c.name;
  }
}

TEST(ArchiveBounds, CountsUpToTheBoundAreReadAndLargerOnesRefused) {
  const std::string three = Bytes({0x03, 0x00, 0x00, 0x00, 1, 2, 3, 4, 5, 6});
  CArchiveReader atBound(three, "");
  EXPECT_EQ(atBound.ReadCount(1, 3), 3u);
  CArchiveReader pastBound(three, "");
  try {
    pastBound.ReadCount(1, 2);
    ADD_FAILURE() << "no exception";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.GetMessage(), "Too many entries: 3 at offset 0, at most 2");
  }
}

// What the reader would refuse is never written, and nothing of it reaches the bytes.
TEST(ArchiveBounds, TheWriterRefusesWhatTheReaderWould) {
  CArchiveWriter writer("w.dat");
  writer.WriteString(std::string(300, 'a'), 300);
  writer.WriteCount(3, 3);
  const std::string written = writer.GetBytes();
  EXPECT_THROW(writer.WriteString(std::string(301, 'a'), 300), CArchiveException);
  EXPECT_THROW(writer.WriteCount(4, 3), CArchiveException);
  EXPECT_EQ(writer.GetBytes(), written);
  CArchiveReader reader(written, "w.dat");
  EXPECT_EQ(reader.ReadString(300), std::string(300, 'a'));
  EXPECT_EQ(reader.ReadUInt32(), 3u);
}

TEST(ArchiveReader, SkipAndOffsets) {
  const std::string bytes = Bytes({1, 2, 3, 4});
  CArchiveReader reader(bytes, "");
  reader.Skip(3);
  EXPECT_EQ(reader.GetOffset(), 3u);
  EXPECT_EQ(reader.GetRemaining(), 1u);
  EXPECT_THROW(reader.Skip(2), CArchiveException);
  EXPECT_EQ(reader.ReadUInt8(), 4);
  EXPECT_THROW(reader.ReadUInt8(), CArchiveException);
}

TEST(ArchiveReader, FormatErrorCarriesFileNameAndIsAStorageError) {
  const std::string bytes;
  CArchiveReader reader(bytes, "/x/p.plx");
  try {
    reader.ThrowFormatError("Unknown version 9");
  } catch (const CStorageException& e) {
    EXPECT_EQ(e.GetFileName(), "/x/p.plx");
    EXPECT_EQ(e.GetMessage(), "Unknown version 9");
    EXPECT_STREQ(e.what(), "Unknown version 9");
  }
}

TEST(ArchiveWriter, RefusesCountsBeyond32Bits) {
  CArchiveWriter writer("big.dat");
  EXPECT_THROW(writer.WriteCount(std::size_t{1} << 32), CArchiveException);
  EXPECT_TRUE(writer.GetBytes().empty());
}

} // namespace
