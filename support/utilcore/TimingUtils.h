#pragma once

#include <chrono>
#include <cstdint>

/// A stopwatch: Start, then Stop gives the milliseconds in between.
class CTimingUtils {
public:
  void Start();
  /// Elapsed milliseconds since the last Start (0 when never started).
  std::int64_t Stop();

private:
  std::chrono::steady_clock::time_point m_start{};
  bool m_started = false;
};
