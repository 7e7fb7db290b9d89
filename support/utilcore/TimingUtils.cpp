#include "utilcore/TimingUtils.h"

void CTimingUtils::Start() {
  m_start = std::chrono::steady_clock::now();
  m_started = true;
}

std::int64_t CTimingUtils::Stop() {
  if (!m_started) {
    return 0;
  }
  const auto elapsed = std::chrono::steady_clock::now() - m_start;
  return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}
