#pragma once

#include "mtcore/FunctionTarget.h"

#include <chrono>
#include <thread>
#include <vector>

namespace mtcoretest {
/// Only reached when the code under test hangs.
constexpr std::chrono::seconds kLongWait{30};

struct SReceived {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

/// A target that records what it handles and counts calls on another thread.
class CRecordingTarget : public CFunctionTarget {
public:
  CRecordingTarget()
      : CFunctionTarget([this](UINT m, WPARAM w, LPARAM l) {
          received.push_back({m, w, l});
          if (std::this_thread::get_id() != owner) {
            ++foreignCalls;
          }
        }) {}

  std::vector<SReceived> received;
  std::thread::id owner = std::this_thread::get_id();
  int foreignCalls = 0;
};
} // namespace mtcoretest
