#include "mtcore/WindowMessages.h"

#include "mtcore/MessageQueue.h"
#include "mtcore/MessageRegistry.h"

#include <new>

UINT RegisterWindowMessageA(const char* name) noexcept {
  try {
    return CMessageRegistry::Instance().RegisterMessageName(name);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

bool IsWindow(HWND window) noexcept {
  try {
    return window != 0 && CMessageRegistry::Instance().QueueOf(window) != nullptr;
  } catch (...) {
    return false;
  }
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (window == 0) {
    return false;
  }
  try {
    const auto queue = CMessageRegistry::Instance().QueueOf(window);
    return queue != nullptr && queue->Push(window, message, wParam, lParam);
  } catch (...) {
    // Out of memory or a throwing wake-up hook: the message counts as not posted.
    return false;
  }
}

bool SendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return PostMessage(window, message, wParam, lParam);
}
