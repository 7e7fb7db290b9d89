#include "mtcore/MessageRegistry.h"

#include <cstring>

namespace {
// Registered names compare without regard to ASCII case, as window message names
// always have; the ids are kept under the lower-case form.
std::string FoldName(const char* name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return folded;
}
} // namespace

CMessageRegistry& CMessageRegistry::Instance() {
  static CMessageRegistry registry;
  return registry;
}

HWND CMessageRegistry::Register(std::shared_ptr<CMessageQueue> queue) {
  const HWND window = m_nextWindow.fetch_add(1, std::memory_order_relaxed);
  std::unique_lock lock(m_windowsMutex);
  m_windows.emplace(window, std::move(queue));
  return window;
}

void CMessageRegistry::Unregister(HWND window) {
  std::unique_lock lock(m_windowsMutex);
  m_windows.erase(window);
}

std::shared_ptr<CMessageQueue> CMessageRegistry::QueueOf(HWND window) const {
  std::shared_lock lock(m_windowsMutex);
  const auto it = m_windows.find(window);
  return it == m_windows.end() ? nullptr : it->second;
}

UINT CMessageRegistry::RegisterMessageName(const char* name) {
  if (name == nullptr || *name == '\0') {
    return 0;
  }
  std::string key = FoldName(name);
  std::lock_guard lock(m_namesMutex);
  const auto it = m_names.find(key);
  if (it != m_names.end()) {
    return it->second;
  }
  if (m_nextMessage > kLastRegisteredMessage) {
    return 0;
  }
  const UINT id = m_nextMessage++;
  m_names.emplace(std::move(key), id);
  return id;
}
