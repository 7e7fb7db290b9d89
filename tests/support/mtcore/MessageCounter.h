#pragma once

#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"

#include <chrono>
#include <thread>
#include <vector>

/// A message target for monitor tests: it counts the messages of one id and notes
/// what they carried and whether each arrived on the thread that owns the target.
class MessageCounter : public CFunctionTarget {
public:
  explicit MessageCounter(UINT message)
      : CFunctionTarget([this, message](UINT id, WPARAM wParam, LPARAM lParam) {
          if (id != message) {
            return;
          }
          ++count;
          lastWParam = wParam;
          lastLParam = lParam;
          onOwnerThread = onOwnerThread && std::this_thread::get_id() == m_owner;
        }) {}

  /// Pumps until `n` messages in all have come; false after a long wait (a hang).
  bool WaitFor(int n) {
    return CMessageLoop::PumpUntil([&] { return count >= n; }, std::chrono::seconds(30));
  }
  /// Pumps for a while so that a message that should not come has time to arrive.
  void Settle(std::chrono::milliseconds time) {
    CMessageLoop::PumpUntil([] { return false; }, time);
  }

  int count = 0;
  WPARAM lastWParam = 0;
  LPARAM lastLParam = 0;
  bool onOwnerThread = true;

private:
  std::thread::id m_owner = std::this_thread::get_id();
};
