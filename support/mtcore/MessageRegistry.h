#pragma once

#include "mtcore/WindowMessages.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>

class CMessageQueue;

/// Process-wide table of the message layer (internal): which queue each window
/// handle belongs to, and the registered message names.
class CMessageRegistry {
public:
  static CMessageRegistry& Instance();

  /// A new handle (never given before) that names a target of `queue`.
  HWND Register(std::shared_ptr<CMessageQueue> queue);
  void Unregister(HWND window);
  /// The queue of `window`; null when it names no window.
  std::shared_ptr<CMessageQueue> QueueOf(HWND window) const;

  UINT RegisterMessageName(const char* name);

private:
  static constexpr UINT kFirstRegisteredMessage = 0xC000;
  static constexpr UINT kLastRegisteredMessage = 0xFFFF;

  mutable std::shared_mutex m_windowsMutex;
  std::unordered_map<HWND, std::shared_ptr<CMessageQueue>> m_windows;
  std::atomic<HWND> m_nextWindow{1};

  std::mutex m_namesMutex;
  std::unordered_map<std::string, UINT> m_names;
  UINT m_nextMessage = kFirstRegisteredMessage;
};
