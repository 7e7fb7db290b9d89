#pragma once

#include <chrono>
#include <string>
#include <string_view>

/// A one-line progress bar on a terminal. Draws nothing when disabled, so output that
/// goes to a file or a pipe stays free of it.
class CProgressBar {
public:
  /// Enabled when `fd` is a terminal.
  explicit CProgressBar(int fd);
  CProgressBar(int fd, bool enabled, int width);
  ~CProgressBar();
  CProgressBar(const CProgressBar&) = delete;
  CProgressBar& operator=(const CProgressBar&) = delete;

  bool IsEnabled() const { return m_enabled; }

  /// Shows `done` of `total` files of `label`; redraws at most every 50 ms unless the
  /// run is complete.
  void Update(std::string_view label, int done, int total);
  /// Removes the bar from the line.
  void Clear();

  /// The line drawn for these values in `width` columns (without control codes).
  static std::string Render(std::string_view label, int done, int total, int width);

private:
  void Write(std::string_view text);

  int m_fd;
  bool m_enabled;
  int m_width;
  bool m_shown = false;
  std::chrono::steady_clock::time_point m_lastDraw{};
};
