#include "mtcore/MTLog.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

TEST(MTLog, LinesReachTheSinkInTheLogFormat) {
  std::vector<std::string> lines;
  CMTLog::SetSink([&](const std::string& line) { lines.push_back(line); });
  CMTLog::AddLine("{ID}");
  CMTLog::AddSystemError("{ID}", ENOENT);
  CMTLog::AddFileError("{ID}", "/x/y.lock", EACCES);
  CMTLog::SetSink([](const std::string&) { throw std::runtime_error("log full"); });
  CMTLog::AddLine("{ID}"); // a failing sink is not a second failure
  CMTLog::SetSink(nullptr);
  CMTLog::AddLine("{ID}");
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0], "{ID}");
  EXPECT_EQ(lines[1], "{ID}No such file or directory");
  EXPECT_EQ(lines[2], "{ID} - /x/y.lock - Permission denied");
}
