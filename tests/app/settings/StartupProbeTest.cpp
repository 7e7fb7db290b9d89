// The start-up probe: when it tells, what it reads of /proc/<pid>/stat.
#include "settings/StartupProbe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

namespace {

using std::chrono::milliseconds;

TEST(StartupProbe, TellsOnceAndOnlyWhenAskedTo) {
  const struct {
    const char* value;
    bool on;
    bool quit;
  } cases[] = {
      {nullptr, false, false}, {"", false, false},    {"1", true, false},
      {"quit", true, true},    {"Quit", true, false},
  };
  for (const auto& c : cases) {
    const std::string name = c.value == nullptr ? "(unset)" : c.value;
    CStartupProbe probe(c.value);
    EXPECT_EQ(probe.IsOn(), c.on) << name;
    EXPECT_EQ(probe.QuitsAfterwards(), c.quit) << name;
    const std::optional<std::string> first = probe.NoteWordsShown(milliseconds(734));
    EXPECT_EQ(first.has_value(), c.on) << name;
    if (first) {
      EXPECT_EQ(*first, "pagelint-startup: first words after 734 ms");
    }
    EXPECT_FALSE(probe.NoteWordsShown(milliseconds(900)).has_value()) << name;
  }
}

TEST(StartupProbe, StartTicksIsTheTwentySecondField) {
  // Fields 3 to 21, then the start time, then more.
  const std::string tail = " S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 4242 99 100";
  const struct {
    std::string line;
    std::optional<long long> ticks;
  } cases[] = {
      {"123 (Pagelint)" + tail, 4242},
      {"123 (a b) c))" + tail, 4242}, // the name may hold blanks and brackets
      {"123 (Pagelint) S 1 2 3", std::nullopt},
      {"123 Pagelint S 1", std::nullopt},
      {"123 (x) S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 12x", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CStartupProbe::StartTicks(c.line), c.ticks) << c.line;
  }
}

TEST(StartupProbe, ThisProcessBeganInThePast) {
  const std::optional<milliseconds> since = CStartupProbe::SinceProcessStart();
  ASSERT_TRUE(since.has_value());
  EXPECT_GE(since->count(), 0);
}

} // namespace
