#include "utilcore/DateTime.h"
#include "utilcore/NumberTextConv.h"
#include "utilcore/SystemUtils.h"
#include "utilcore/VersionNumber.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <string>

namespace {

struct NumberCase {
  std::int64_t n;
  bool grouping;
  int width;
  const char* suffix;
  const char* expected;
};

TEST(NumberTextConv, Table) {
  const NumberCase cases[] = {
      {0, false, 0, "", "0"},
      {1, false, 0, "", "1"},
      {1234, false, 0, "", "1234"},
      {0, true, 0, "", "0"},
      {999, true, 0, "", "999"},
      {1000, true, 0, "", "1,000"},
      {1234, true, 0, "", "1,234"},
      {123456, true, 0, "", "123,456"},
      {1234567, true, 0, "", "1,234,567"},
      {-1234567, true, 0, "", "-1,234,567"},
      {-123, true, 0, "", "-123"},
      {std::numeric_limits<std::int64_t>::min(), true, 0, "", "-9,223,372,036,854,775,808"},
      {std::numeric_limits<std::int64_t>::max(), false, 0, "", "9223372036854775807"},
      {42, false, 5, "", "   42"},
      {1234, true, 7, " files", "  1,234 files"},
      {1234, true, 3, "", "1,234"},
      {7, false, -3, "%", "7%"},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(CNumberTextConv::NumberToString(c.n, c.grouping, c.width, c.suffix), c.expected)
        << c.n << " grouping " << c.grouping << " width " << c.width;
  }
}

TEST(VersionNumber, OrderingTable) {
  // Each entry is lower than the next.
  const char* ascending[] = {"",        "0.0.0.1", "0.9",    "0.10",   "1",
                             "1.0.0.1", "1.2",     "1.2.3",  "1.2.10", "1.10",
                             "2.0.0.0", "10",      "10.0.1", "v11",    "4294967295.1"};
  for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
    const CVersionNumber lower(ascending[i]);
    const CVersionNumber higher(ascending[i + 1]);
    EXPECT_TRUE(lower < higher) << ascending[i] << " < " << ascending[i + 1];
    EXPECT_FALSE(higher < lower) << ascending[i + 1] << " < " << ascending[i];
  }
}

TEST(VersionNumber, EqualForms) {
  const char* pairs[][2] = {
      {"1.2", "1.2.0.0"},     {"1.02", "1.2"}, {" 1.2\r\n", "1.2"}, {"V1.2", "1.2"},
      {"1,2,3,4", "1.2.3.4"}, {"junk", ""},    {"1.2b", ""},        {"", "0"}};
  for (const auto& pair : pairs) {
    const CVersionNumber a(pair[0]);
    const CVersionNumber b(pair[1]);
    EXPECT_TRUE(a == b) << pair[0] << " == " << pair[1];
    EXPECT_FALSE(a < b || b < a) << pair[0] << " vs " << pair[1];
  }
}

TEST(VersionNumber, ValidityAndText) {
  const struct {
    const char* text;
    bool valid;
    const char* string;
  } cases[] = {{"1.2.3.4", true, "1.2.3.4"},
               {"  v3.1\t", true, "3.1"},
               {"4294967295.0", true, "4294967295.0"},
               {"007", true, "7"},
               {"  v3.1-beta", false, ""},
               {"99999999999.1", false, ""},
               {"", false, ""},
               {".1", false, ""},
               {"version 2", false, ""},
               {"\xFF\xFE", false, ""}};
  for (const auto& c : cases) {
    const CVersionNumber version(c.text);
    EXPECT_EQ(version.IsValid(), c.valid) << c.text;
    EXPECT_EQ(version.GetString(), c.string) << c.text;
  }
  EXPECT_EQ(CVersionNumber(1, 2, 3, 4).GetString(), "1.2.3.4");
  EXPECT_TRUE(CVersionNumber(1, 2, 0, 0) == CVersionNumber("1.2"));
}

struct SVersionText {
  const char* name;
  std::string text;
  bool valid;
};

TEST(VersionNumber, OnlyAWholeVersionIsValid) {
  using namespace std::string_literals;
  const SVersionText cases[] = {
      {"four numbers", "1.2.3.4", true},
      {"blanks and a v around it", " \tv1.2\r\n", true},
      {"ten digits", "0000000001.4294967295", true},
      {"trailing letters", "1.2b", false},
      {"trailing word", "1.2 beta", false},
      {"trailing separator", "1.2.", false},
      {"two separators", "1..2", false},
      {"a fifth number", "1.2.3.4.5", false},
      {"NUL after the version", "99.0\0"s, false},
      {"NUL inside the version", "99\0.0"s, false},
      {"NUL and more after it", "99.0\0evil"s, false},
      {"23 digits", "12345678901234567890123", false},
      {"23 digits after a dot", "1.12345678901234567890123", false},
      {"eleven digits of zeros", "00000000001", false},
      {"just above the largest number", "4294967296", false},
      {"a sign", "+1.2", false},
      {"a minus", "-1", false},
      {"a blank inside", "1 .2", false},
      {"a v alone", "v", false},
      {"two vs", "vv1", false},
      {"a blank after the v", "v 1", false},
  };
  for (const SVersionText& c : cases) {
    CVersionNumber version;
    EXPECT_EQ(version.Set(c.text), c.valid) << c.name;
    EXPECT_EQ(version.IsValid(), c.valid) << c.name;
    if (!c.valid) {
      EXPECT_TRUE(version == CVersionNumber()) << c.name << ": nothing of it is kept";
      EXPECT_EQ(version.GetString(), "") << c.name;
    }
  }
}

TEST(DateTime, ReadsIsoForms) {
  const struct {
    const char* text;
    const char* utc;
  } cases[] = {
      {"2024-05-01", "2024-05-01T00:00:00Z"},
      {"2024/05/01", "2024-05-01T00:00:00Z"},
      {" 2024-05-01 13:45\r\n", "2024-05-01T13:45:00Z"},
      {"2024-05-01T13:45:07", "2024-05-01T13:45:07Z"},
      {"2024-05-01T13:45:07.987Z", "2024-05-01T13:45:07Z"},
      {"2024-05-01 13:45:07 UTC", "2024-05-01T13:45:07Z"},
      {"2024-05-01T13:45:07+02:00", "2024-05-01T11:45:07Z"},
      {"2024-05-01T01:00:00-0230", "2024-05-01T03:30:00Z"},
      {"2024-02-29 23:59:60", "2024-02-29T23:59:59Z"},
      {"1969-12-31 23:59:59", "1969-12-31T23:59:59Z"},
  };
  for (const auto& c : cases) {
    DateTime date;
    EXPECT_TRUE(date.Set(c.text)) << c.text;
    EXPECT_EQ(date.GetString(), c.utc) << c.text;
  }
}

TEST(DateTime, RefusesJunk) {
  const char* junk[] = {"",
                        "   ",
                        "yesterday",
                        "2024-13-01",
                        "2023-02-29",
                        "2024-04-31",
                        "0000-01-01",
                        "2024-5-1",
                        "05/01/2024",
                        "2024-05-01 25:00",
                        "2024-05-01 12:60",
                        "2024-05-01T",
                        "2024-05-01 12",
                        "2024-05-01 12:00 +2",
                        "2024-05-01 12:00 +15:00",
                        "2024-05-01 12:00 extra",
                        "2024-05/01",
                        "20240-05-01"};
  for (const char* text : junk) {
    DateTime date;
    date.SetTime(5);
    EXPECT_FALSE(date.Set(text)) << text;
    EXPECT_FALSE(date.IsValid()) << text;
    EXPECT_EQ(date.GetString(), "") << text;
  }
}

TEST(DateTime, CompareDate) {
  DateTime server;
  ASSERT_TRUE(server.Set("2024-05-01 12:00:00"));
  DateTime installed;
  installed.SetTime(server.GetTime());
  EXPECT_EQ(installed.CompareDate(server), 0);
  installed.SetTime(server.GetTime() - 1);
  EXPECT_EQ(installed.CompareDate(server), -1);
  EXPECT_EQ(server.CompareDate(installed), 1);
  const DateTime invalid;
  EXPECT_EQ(invalid.CompareDate(server), -1);
  EXPECT_EQ(server.CompareDate(invalid), 1);
  EXPECT_EQ(invalid.CompareDate(DateTime{}), 0);
}

TEST(SystemUtils, ErrorTexts) {
  EXPECT_EQ(CSystemUtils::GetLastError(ENOENT), "No such file or directory");
  errno = EACCES;
  EXPECT_EQ(CSystemUtils::GetLastError(0), "Permission denied");
  EXPECT_EQ(CSystemUtils::GetLastError(99999), "Unknown error 99999");
}

} // namespace
