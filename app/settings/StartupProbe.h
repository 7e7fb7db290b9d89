#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

/// Measures the start-up: with PAGELINT_STARTUP_PROBE set, the program tells on
/// standard error how long after the process began it first showed a project's words
/// ("pagelint-startup: first words after N ms"), and with the value "quit" ends there,
/// so that a script can start it again and again.
class CStartupProbe {
public:
  static constexpr const char* kVariable = "PAGELINT_STARTUP_PROBE";

  /// The probe the environment asks for; off when the variable is unset or empty.
  static CStartupProbe FromEnvironment();
  /// A probe for the variable's value (null: unset).
  explicit CStartupProbe(const char* value);

  bool IsOn() const { return m_on; }
  bool QuitsAfterwards() const { return m_quit; }
  /// The line to print the first time a project's words show, `elapsed` after the
  /// process began; nothing when the probe is off or has told already.
  std::optional<std::string> NoteWordsShown(std::chrono::milliseconds elapsed);

  /// How long ago the calling process began; nothing when the system does not say.
  static std::optional<std::chrono::milliseconds> SinceProcessStart();
  /// The start time field of a /proc/<pid>/stat line, in clock ticks after boot; the
  /// program name in brackets may hold blanks and brackets of its own.
  static std::optional<long long> StartTicks(std::string_view statLine);

private:
  bool m_on = false;
  bool m_quit = false;
  bool m_told = false;
};
