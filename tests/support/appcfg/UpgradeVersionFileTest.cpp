#include "appcfg/UpgradeVersionFile.h"

#include "utilcore/DateTime.h"

#include <gtest/gtest.h>

namespace {
using EAction = CUpgradeVersionFile::EAction;

struct SLinesCase {
  bool success;
  const char* error;
  const char* body;
  bool good;
  const char* first;
  const char* second;
};

TEST(UpgradeVersionFileTest, AReplyIsGoodOnlyWithSuccessNoErrorAndExactlyTwoLines) {
  const SLinesCase cases[] = {
      {true, "", "1.2.3\n4096", true, "1.2.3", "4096"},
      {true, "", "1.2.3\r\n4096\r\n", true, "1.2.3", "4096"},
      {true, "", "1.2.3\n\n", true, "1.2.3", ""},
      {true, "", "1.2.3", false, "", ""},
      {true, "", "1.2.3\n4096\n\n", false, "", ""},
      {true, "", "1.2.3\n4096\nextra", false, "", ""},
      {true, "", "", false, "", ""},
      {false, "", "1.2.3\n4096", false, "", ""},
      {true, "Host not found", "1.2.3\n4096", false, "", ""},
  };
  for (const SLinesCase& c : cases) {
    std::string first;
    std::string second;
    std::string reason;
    EXPECT_EQ(CUpgradeVersionFile::ReadLines(c.success, c.error, c.body, first, second, reason),
              c.good)
        << c.body;
    if (c.good) {
      EXPECT_EQ(first, c.first);
      EXPECT_EQ(second, c.second);
    } else {
      EXPECT_FALSE(reason.empty()) << c.body;
    }
  }
  std::string first;
  std::string second;
  std::string reason;
  CUpgradeVersionFile::ReadLines(true, "Host not found", "a\nb", first, second, reason);
  EXPECT_EQ(reason, "Host not found") << "the request's own error text is what gets logged";
}

TEST(UpgradeVersionFileTest, SizesAreDecimalPositiveAndBounded) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"42", 42}, {" 12 ", 12}, {"0", -1},    {"-5", -1},  {"12a", -1},
      {"", -1},   {"1e3", -1},  {"100", 100}, {"101", -1}, {"99999999999999999999", -1},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(CUpgradeVersionFile::ReadSize(text, 100), expected) << text;
  }
}

struct SProgramCase {
  const char* current;
  const char* version;
  const char* size;
  EAction action;
};

TEST(UpgradeVersionFileTest, OnlyANewerProgramVersionIsDownloaded) {
  const SProgramCase cases[] = {
      {"1.2.0", "1.2.1", "5000", EAction::Download},
      {"1.2.0", "1.2", "5000", EAction::Keep},
      {"1.2.0", "1.1.9", "5000", EAction::Keep},
      {"1.2.0", "2", "5000", EAction::Download},
      {"1.2.0", "garbage", "5000", EAction::Refuse},
      {"1.2.0", "1.3", "big", EAction::Refuse},
      {"1.2.0", "1.3", "0", EAction::Refuse},
      {"1.2.0", "1.3", "2000000000", EAction::Refuse},
  };
  for (const SProgramCase& c : cases) {
    const auto verdict = CUpgradeVersionFile::ForProgram(c.current, c.version, c.size);
    EXPECT_EQ(verdict.action, c.action) << c.version << " / " << c.size;
    if (verdict.action == EAction::Download) {
      EXPECT_EQ(verdict.size, 5000);
    }
  }
}

TEST(UpgradeVersionFileTest, AVersionWithAnythingAfterItIsRefusedAndNamed) {
  using namespace std::string_literals;
  const std::string versions[] = {"99.0junk",
                                  "99.0\0"s,
                                  "99.0\0.1"s,
                                  "99.0 beta",
                                  "99.",
                                  "1.2.3.4.5",
                                  "12345678901234567890123",
                                  "99.12345678901234567890123",
                                  "4294967296"};
  for (const std::string& version : versions) {
    const auto verdict = CUpgradeVersionFile::ForProgram("1.2.0", version, "5000");
    EXPECT_EQ(verdict.action, EAction::Refuse) << version;
    EXPECT_EQ(verdict.reason, "no version: " + version);
  }
  EXPECT_EQ(CUpgradeVersionFile::ForProgram("1.2.0", " v99.0 ", "5000").action, EAction::Download);
}

TEST(UpgradeVersionFileTest, TheLargestAnnouncementsAreFarAboveRealSizesAndBounded) {
  EXPECT_EQ(CUpgradeVersionFile::ForProgram("1.2.0", "1.3", "268435456").action, EAction::Download);
  EXPECT_EQ(CUpgradeVersionFile::ForProgram("1.2.0", "1.3", "268435457").action, EAction::Refuse);
  EXPECT_EQ(CUpgradeVersionFile::ForDictionary("2024-05-02", "67108864", -1, 0).action,
            EAction::Download);
  EXPECT_EQ(CUpgradeVersionFile::ForDictionary("2024-05-02", "67108865", -1, 0).action,
            EAction::Refuse);
}

struct SDictionaryCase {
  const char* date;
  const char* size;
  std::int64_t installedSize;
  const char* installedDate;
  EAction action;
};

TEST(UpgradeVersionFileTest, ADictionaryIsDownloadedWhenItsSizeDiffersOrItIsNewer) {
  const SDictionaryCase cases[] = {
      // Equal sizes: the dates decide.
      {"2024-05-02", "1000", 1000, "2024-05-01", EAction::Download},
      {"2024-05-02", "1000", 1000, "2024-05-02", EAction::Keep},
      {"2024-05-02 10:00:00", "1000", 1000, "2024-05-02 09:59:59", EAction::Download},
      {"2024-05-02", "1000", 1000, "2024-06-01", EAction::Keep},
      // Different sizes download whatever the dates.
      {"2024-05-02", "1000", 999, "2030-01-01", EAction::Download},
      {"2020-01-01", "1000", 1001, "2024-01-01", EAction::Download},
      // No installed dictionary.
      {"2024-05-02", "1000", -1, "2030-01-01", EAction::Download},
      // Damaged announcements.
      {"yesterday", "1000", 1000, "2024-05-01", EAction::Refuse},
      {"2024-05-02", "-1000", 1000, "2024-05-01", EAction::Refuse},
      {"2024-05-02", "300000000", 1000, "2024-05-01", EAction::Refuse},
  };
  for (const SDictionaryCase& c : cases) {
    DateTime installed;
    ASSERT_TRUE(installed.Set(c.installedDate));
    const auto verdict =
        CUpgradeVersionFile::ForDictionary(c.date, c.size, c.installedSize, installed.GetTime());
    EXPECT_EQ(verdict.action, c.action)
        << c.date << " " << c.size << " vs " << c.installedSize << " " << c.installedDate;
  }
}
} // namespace
