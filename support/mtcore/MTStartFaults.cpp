#include "mtcore/MTStartFaults.h"

#include <mutex>

namespace {
std::mutex g_mutex;
unsigned g_spare = 0;
unsigned g_failures = 0;
} // namespace

void CMTStartFaults::Inject(unsigned count, unsigned spare) {
  const std::lock_guard guard(g_mutex);
  g_failures = count;
  g_spare = spare;
}

void CMTStartFaults::Clear() {
  Inject(0, 0);
}

bool CMTStartFaults::Pending() {
  const std::lock_guard guard(g_mutex);
  return g_failures > 0;
}

bool CMTStartFaults::Fails() {
  const std::lock_guard guard(g_mutex);
  if (g_failures == 0) {
    return false;
  }
  if (g_spare > 0) {
    --g_spare;
    return false;
  }
  --g_failures;
  return true;
}
