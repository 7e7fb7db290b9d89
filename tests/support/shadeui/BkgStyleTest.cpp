#include "shadeui/BkgStyle.h"

#include "utilcore/ArchiveException.h"
#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"

#include <gtest/gtest.h>

namespace {
CShadeProperties Shade(const std::string& name, std::uint32_t color, std::int32_t pattern) {
  CShadeProperties shade;
  shade.SetName(name);
  shade.SetEnabled(1);
  shade.SetColor(color);
  shade.SetShading(17, 33, 27, pattern);
  return shade;
}

class BkgStyleTest : public testing::Test {
protected:
  void SetUp() override { m_style.RemoveAll(); }
  void TearDown() override { m_style.RemoveAll(); }

  std::string Written() const {
    CArchiveWriter writer("styles");
    m_style.Serialize(writer);
    return writer.TakeBytes();
  }
  std::vector<CShadeProperties> UserShades() const {
    std::vector<CShadeProperties> shades;
    for (int c = 0; c < BkgStyle::kComponentCount; ++c) {
      shades.push_back(m_style.GetUser(c));
    }
    return shades;
  }

  BkgStyle& m_style = *BkgStyle::GetInstance();
};
} // namespace

TEST(ShadeProperties, ColorIsKeptAsBlueGreenRed) {
  EXPECT_EQ(CShadeProperties::MakeColor(56, 142, 142), 0x008E8E38U);
  EXPECT_EQ(CShadeProperties::MakeColor(255, 255, 0), 0x0000FFFFU);
  EXPECT_EQ(CShadeProperties::MakeColor(0, 0, 255), 0x00FF0000U);
}

TEST_F(BkgStyleTest, ComponentNumbersOutsideTheRangeAreRefused) {
  const CShadeProperties shade = Shade("Tool Bar", 0x98FB98, 1);
  const struct {
    int component;
    bool known;
  } cases[] = {{-1, false}, {0, true}, {24, true}, {25, false}, {1000, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.component);
    EXPECT_EQ(m_style.SetDefault(c.component, shade), c.known);
    EXPECT_EQ(m_style.SetUser(c.component, shade), c.known);
    EXPECT_EQ(m_style.GetDefault(c.component) == shade, c.known);
    EXPECT_EQ(m_style.GetUser(c.component) == shade, c.known);
  }
}

TEST_F(BkgStyleTest, CopyDefaultToUserReplacesEveryUserShading) {
  m_style.SetDefault(4, Shade("Tool Bar", 1, 1));
  m_style.SetUser(4, Shade("mine", 2, 2));
  m_style.SetUser(7, Shade("also mine", 3, 3));
  m_style.CopyDefaultToUser();
  EXPECT_EQ(m_style.GetUser(4), Shade("Tool Bar", 1, 1));
  EXPECT_EQ(m_style.GetUser(7), CShadeProperties{}) << "no default: back to plain";
}

TEST_F(BkgStyleTest, UserShadingsRoundTripAndDefaultsAreNotStored) {
  m_style.SetDefault(0, Shade("Main Window", 9, 9));
  m_style.SetUser(0, Shade("Main Window", 0x8E8E38, 1));
  m_style.SetUser(24, Shade("Web Projects Button (selected)", 0xFFFF, -5));
  const std::vector<CShadeProperties> before = UserShades();
  const std::string bytes = Written();

  m_style.RemoveAll();
  CArchiveReader reader(bytes, "styles");
  m_style.Serialize(reader);
  EXPECT_TRUE(reader.IsAtEnd());
  EXPECT_EQ(UserShades(), before);
  EXPECT_EQ(m_style.GetDefault(0), CShadeProperties{});
}

TEST_F(BkgStyleTest, ComponentsNotListedKeepTheirShading) {
  const std::string listed = std::string("\x01\x00\x01\x00\x00\x00", 6) + // version, count
                             std::string("\x05\x00\x00\x00", 4) +         // component 5
                             std::string("\x02"
                                         "ab\x01\x11\x22\x33\x00",
                                         8) +                                // name, on, colour
                             std::string("\x07\x08\x09\xFE\xFF\xFF\xFF", 7); // levels, pattern
  m_style.SetUser(6, Shade("kept", 1, 1));
  CArchiveReader reader(listed, "styles");
  m_style.Serialize(reader);
  CShadeProperties expected;
  expected.SetName("ab");
  expected.SetEnabled(1);
  expected.SetColor(0x00332211);
  expected.SetShading(7, 8, 9, -2);
  EXPECT_EQ(m_style.GetUser(5), expected);
  EXPECT_EQ(m_style.GetUser(6), Shade("kept", 1, 1));
}

TEST_F(BkgStyleTest, DamagedListsThrowAndChangeNothing) {
  for (int c = 0; c < BkgStyle::kComponentCount; ++c) {
    m_style.SetUser(c, Shade("component " + std::to_string(c), static_cast<std::uint32_t>(c), c));
  }
  const std::string good = Written();
  const std::vector<CShadeProperties> before = UserShades();
  m_style.SetUser(3, Shade("changed", 0, 0));
  const std::vector<CShadeProperties> changed = UserShades();

  std::vector<std::pair<std::string, std::string>> damaged;
  for (std::size_t length = 0; length < good.size(); ++length) {
    damaged.emplace_back("truncated at " + std::to_string(length), good.substr(0, length));
  }
  std::string badVersion = good;
  badVersion[0] = 2;
  damaged.emplace_back("unknown version", badVersion);
  std::string badComponent = good;
  badComponent[6] = 25; // the first entry's component number
  damaged.emplace_back("component out of range", badComponent);
  std::string hugeCount = good;
  hugeCount[5] = '\x7F';
  damaged.emplace_back("count beyond the bytes", hugeCount);

  for (const auto& [what, bytes] : damaged) {
    SCOPED_TRACE(what);
    CArchiveReader reader(bytes, "styles");
    EXPECT_THROW(m_style.Serialize(reader), CArchiveException);
    EXPECT_EQ(UserShades(), changed);
  }
  CArchiveReader reader(good, "styles");
  m_style.Serialize(reader);
  EXPECT_EQ(UserShades(), before);
}
