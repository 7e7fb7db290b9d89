#include "utilcore/AppLogger.h"

#include "utilcore/ArchiveException.h"
#include "utilcore/FileException.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::istringstream in(testkit::ReadBytes(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

/// The line without its "YYYY-MM-DD HH:MM:SS.mmm " stamp; fails the test when the
/// stamp is malformed.
std::string Text(const std::string& line) {
  constexpr std::size_t kStamp = 24;
  EXPECT_GE(line.size(), kStamp) << line;
  if (line.size() < kStamp) {
    return {};
  }
  const std::string stamp = line.substr(0, kStamp);
  for (std::size_t i = 0; i < kStamp; ++i) {
    const char expected = std::string_view("0000-00-00 00:00:00.000 ")[i];
    if (expected == '0') {
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(stamp[i]))) << line;
    } else {
      EXPECT_EQ(stamp[i], expected) << line;
    }
  }
  return line.substr(kStamp);
}

class AppLoggerTest : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(CAppLogger::SetAppName("Pagelint")); }
  void TearDown() override { CAppLogger::Close(); }

  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const std::string& line : Lines(m_home.ConfigHome() + "/Pagelint/Pagelint.log")) {
      texts.push_back(Text(line));
    }
    return texts;
  }

  ScopedFakeHome m_home;
};

TEST_F(AppLoggerTest, WritesIntoTheSettingsFolder) {
  ASSERT_NE(CAppLogger::GetInstance(), nullptr);
  EXPECT_EQ(CAppLogger::GetInstance()->GetPath(), m_home.ConfigHome() + "/Pagelint/Pagelint.log");
  CAppLogger::GetInstance()->AddLine("{01118783-EBBD-4A39-BB95-1034C4A96647}Logging Terminated.");
  EXPECT_EQ(Texts(),
            std::vector<std::string>{"{01118783-EBBD-4A39-BB95-1034C4A96647}Logging Terminated."});
}

TEST_F(AppLoggerTest, ThreeLineForms) {
  CAppLogger::Log("{5B704675-1045-47FA-AFDB-3EC8E1E7D66B}");
  CAppLogger::LogWithError("{25BC478D-74C8-4276-91BC-AA78F4B03C67}", "No such file or directory");
  CAppLogger::LogFileError("{A0BEB667-EA94-45CE-AD8C-DE8DFCF6FB60}", "/p/site.plx",
                           "Unexpected end of file");
  CAppLogger::LogFileError("{40363C25-6A12-48ad-A244-0EC6F01A1ABC}",
                           CFileException("/p/x.plx", "Permission denied"));
  CAppLogger::LogFileError("{BB412687-5950-455A-851B-29AC5C89870B}",
                           CArchiveException("g.dat", "Bad count"));
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{
                "{5B704675-1045-47FA-AFDB-3EC8E1E7D66B}",
                "{25BC478D-74C8-4276-91BC-AA78F4B03C67}No such file or directory",
                "{A0BEB667-EA94-45CE-AD8C-DE8DFCF6FB60} - /p/site.plx - Unexpected end of file",
                "{40363C25-6A12-48ad-A244-0EC6F01A1ABC} - /p/x.plx - Permission denied",
                "{BB412687-5950-455A-851B-29AC5C89870B} - g.dat - Bad count"}));
}

TEST_F(AppLoggerTest, FileErrorFromErrnoCarriesTheSystemText) {
  errno = ENOENT;
  const CFileException error = CFileException::FromErrno("/p/gone.plx");
  EXPECT_EQ(CFileException::FromErrno("x", EACCES).GetMessage(), "Permission denied");
  CAppLogger::LogFileError("{ID}", error);
  EXPECT_EQ(Texts(), std::vector<std::string>{"{ID} - /p/gone.plx - No such file or directory"});
}

TEST_F(AppLoggerTest, LineBreaksStayInsideOneLine) {
  CAppLogger::LogWithError("{ID}", "first\r\nsecond\nthird");
  EXPECT_EQ(Texts(), std::vector<std::string>{"{ID}first  second third"});
}

struct SEscapeCase {
  const char* name;
  std::string text;
  std::string logged;
};

TEST_F(AppLoggerTest, ControlCharactersAndBrokenUtf8AreWrittenAsVisibleEscapes) {
  using namespace std::string_literals;
  const SEscapeCase cases[] = {
      {"plain text", "Not Found: /a b.html", "Not Found: /a b.html"},
      {"a backslash stays", R"(C:\path\x41)", R"(C:\path\x41)"},
      {"valid UTF-8 stays", "caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80 \xC2\xA0nbsp",
       "caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80 \xC2\xA0nbsp"},
      {"line breaks become blanks", "a\r\nb\nc\rd", "a  b c d"},
      {"NUL", "a\0b"s, R"(a\x00b)"},
      {"tab, bell, backspace", "a\tb\x07\x08", R"(a\x09b\x07\x08)"},
      {"terminal escape sequence", "\x1B[31mred\x1B]0;title\x07", R"(\x1B[31mred\x1B]0;title\x07)"},
      {"unit separator", "\x1F", R"(\x1F)"},
      {"DEL", "x\x7Fy", R"(x\x7Fy)"},
      {"C1 controls (NEL, CSI)",
       "\xC2\x85\xC2\x9B"
       "1m",
       R"(\xC2\x85\xC2\x9B1m)"},
      {"lone continuation byte", "a\x80z", R"(a\x80z)"},
      {"bytes never in UTF-8", "\xFF\xFE", R"(\xFF\xFE)"},
      {"truncated sequence", "\xE2\x82z", R"(\xE2\x82z)"},
      {"truncated at the end", "z\xF0\x9F\x98", R"(z\xF0\x9F\x98)"},
      {"overlong slash", "\xC0\xAF", R"(\xC0\xAF)"},
      {"surrogate", "\xED\xA0\x80", R"(\xED\xA0\x80)"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", R"(\xF4\x90\x80\x80)"},
  };
  for (const SEscapeCase& c : cases) {
    // A fresh log for each case.
    std::filesystem::remove(CAppLogger::GetInstance()->GetPath());
    ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
    CAppLogger::LogWithError("{ID}", c.text);
    EXPECT_EQ(Texts(), std::vector<std::string>{"{ID}" + c.logged}) << c.name;
  }
}

TEST_F(AppLoggerTest, EveryLineFormIsEscaped) {
  using namespace std::string_literals;
  CAppLogger::Log("{ID}\x1B[2J");
  CAppLogger::LogFileError("{ID}", "/p/a\nb\0.plx"s, "bad\x7F");
  CAppLogger::GetInstance()->AddLine("x\x01y");
  EXPECT_EQ(Texts(), (std::vector<std::string>{R"({ID}\x1B[2J)",
                                               R"({ID} - /p/a b\x00.plx - bad\x7F)", R"(x\x01y)"}));
}

TEST_F(AppLoggerTest, LongErrorMessagesAreCutAtACharacterBoundary) {
  // 253 ASCII bytes then a 2-byte character: the cut at 254 would split it.
  const std::string message = std::string(253, 'm') + "\xC3\xA9" + "tail";
  CAppLogger::LogFileError("{ID}", "f", message);
  EXPECT_EQ(Texts(), std::vector<std::string>{"{ID} - f - " + std::string(253, 'm')});
}

TEST_F(AppLoggerTest, AppendsToTheLogOfEarlierRuns) {
  CAppLogger::Log("{first}");
  ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
  CAppLogger::Log("{second}");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"{first}", "{second}"}));
}

TEST_F(AppLoggerTest, LargeLogIsMovedAsideAtStart) {
  const std::string path = CAppLogger::GetInstance()->GetPath();
  testkit::WriteBytes(path, std::string(2 * 1024 * 1024, 'x') + "\n");
  ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
  CAppLogger::Log("{fresh}");
  EXPECT_EQ(Texts(), std::vector<std::string>{"{fresh}"});
  EXPECT_EQ(testkit::ReadBytes(path + ".old").size(), 2u * 1024 * 1024 + 1);
}

TEST_F(AppLoggerTest, ManyThreadsNeverInterleave) {
  constexpr int kThreads = 8;
  constexpr int kLines = 300;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kLines; ++i) {
        const std::string id = "{T" + std::to_string(t) + "-" + std::to_string(i) + "}";
        CAppLogger::LogFileError(id, std::string(100, static_cast<char>('a' + t)), "msg");
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  const std::vector<std::string> texts = Texts();
  ASSERT_EQ(texts.size(), static_cast<std::size_t>(kThreads * kLines));
  std::set<std::string> seen;
  for (const std::string& text : texts) {
    const std::size_t dash = text.find('-');
    ASSERT_NE(dash, std::string::npos) << text;
    const int t = text[2] - '0';
    EXPECT_EQ(text.substr(text.find('}')),
              "} - " + std::string(100, static_cast<char>('a' + t)) + " - msg");
    seen.insert(text.substr(0, text.find('}')));
  }
  EXPECT_EQ(seen.size(), texts.size());
}

TEST(AppLogger, NothingIsLoggedWithoutAnOpenLog) {
  ScopedFakeHome home;
  CAppLogger::Close();
  EXPECT_EQ(CAppLogger::GetInstance(), nullptr);
  CAppLogger::Log("{ID}");
  CAppLogger::LogWithError("{ID}", "x");
  CAppLogger::LogFileError("{ID}", "f", "m");
  EXPECT_FALSE(std::filesystem::exists(home.ConfigHome() + "/Pagelint"));
}

TEST(AppLogger, UnopenableLogLeavesNoInstance) {
  ScopedFakeHome home;
  // The settings folder's place is taken by a file.
  testkit::WriteBytes(home.ConfigHome() + "/Pagelint", "");
  EXPECT_FALSE(CAppLogger::SetAppName("Pagelint"));
  EXPECT_EQ(CAppLogger::GetInstance(), nullptr);
  EXPECT_FALSE(CAppLogger::SetAppName("../escape"));
  EXPECT_FALSE(CAppLogger::SetAppName(""));
  EXPECT_EQ(CAppLogger::GetInstance(), nullptr);
}

TEST(AppLogger, MissingConfigFolderIsCreated) {
  ScopedFakeHome home;
  std::filesystem::remove_all(home.ConfigHome());
  ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
  CAppLogger::Log("{ID}");
  EXPECT_EQ(Lines(home.ConfigHome() + "/Pagelint/Pagelint.log").size(), 1u);
  CAppLogger::Close();
}

} // namespace
