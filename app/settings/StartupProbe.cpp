#include "settings/StartupProbe.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace {
/// The start time is the 22nd field; the fields after the program name start at the 3rd.
constexpr int kFieldsAfterNameToStart = 22 - 3;
} // namespace

CStartupProbe CStartupProbe::FromEnvironment() {
  return CStartupProbe(std::getenv(kVariable));
}

CStartupProbe::CStartupProbe(const char* value)
    : m_on(value != nullptr && *value != 0),
      m_quit(value != nullptr && std::string_view(value) == "quit") {}

std::optional<std::string> CStartupProbe::NoteWordsShown(std::chrono::milliseconds elapsed) {
  if (!m_on || m_told) {
    return std::nullopt;
  }
  m_told = true;
  return "pagelint-startup: first words after " + std::to_string(elapsed.count()) + " ms";
}

std::optional<long long> CStartupProbe::StartTicks(std::string_view statLine) {
  // The name ends at the last ')': the name itself may hold one.
  const std::size_t nameEnd = statLine.rfind(')');
  if (nameEnd == std::string_view::npos) {
    return std::nullopt;
  }
  std::string_view rest = statLine.substr(nameEnd + 1);
  for (int field = 0; field <= kFieldsAfterNameToStart; ++field) {
    const std::size_t begin = rest.find_first_not_of(' ');
    if (begin == std::string_view::npos) {
      return std::nullopt;
    }
    rest.remove_prefix(begin);
    const std::size_t end = std::min(rest.find(' '), rest.size());
    if (field == kFieldsAfterNameToStart) {
      long long ticks = 0;
      const auto [last, error] = std::from_chars(rest.data(), rest.data() + end, ticks);
      if (error != std::errc() || last != rest.data() + end) {
        return std::nullopt;
      }
      return ticks;
    }
    rest.remove_prefix(end);
  }
  return std::nullopt;
}

std::optional<std::chrono::milliseconds> CStartupProbe::SinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string line; // one line
  std::getline(stat, line);
  const std::optional<long long> ticks = StartTicks(line);
  const long perSecond = sysconf(_SC_CLK_TCK);
  timespec now{};
  if (!ticks || perSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
    return std::nullopt;
  }
  // The kernel counts the start time on the boot clock.
  const auto sinceBoot = std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
  const auto started = std::chrono::milliseconds(*ticks * 1000 / perSecond);
  return std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot) - started;
}
