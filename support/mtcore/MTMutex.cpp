#include "mtcore/MTMutex.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

struct CMTMutex::SShared {
  std::mutex mutex;
  std::condition_variable released;
  std::thread::id owner;
  unsigned depth = 0;
};

namespace {
std::shared_ptr<CMTMutex::SShared> SharedFor(const std::string& name) {
  if (name.empty()) {
    return std::make_shared<CMTMutex::SShared>();
  }
  static std::mutex namesMutex;
  static std::map<std::string, std::weak_ptr<CMTMutex::SShared>> names;
  std::lock_guard lock(namesMutex);
  auto& slot = names[name];
  auto shared = slot.lock();
  if (!shared) {
    shared = std::make_shared<CMTMutex::SShared>();
    slot = shared;
  }
  return shared;
}
} // namespace

CMTMutex::CMTMutex(bool initiallyOwned, const char* name, const void* /*security*/)
    : m_name(name == nullptr ? "" : name), m_shared(SharedFor(m_name)) {
  if (initiallyOwned) {
    Lock();
  }
}

CMTMutex::~CMTMutex() {
  {
    std::lock_guard lock(m_shared->mutex);
    if (m_held == 0) {
      return;
    }
    m_shared->depth -= std::min(m_held, m_shared->depth);
    if (m_shared->depth == 0) {
      m_shared->owner = std::thread::id();
    }
  }
  m_shared->released.notify_one();
}

bool CMTMutex::Lock(std::uint32_t milliseconds) {
  const auto me = std::this_thread::get_id();
  std::unique_lock lock(m_shared->mutex);
  const auto free = [&] { return m_shared->depth == 0 || m_shared->owner == me; };
  if (milliseconds == INFINITE) {
    m_shared->released.wait(lock, free);
  } else if (!m_shared->released.wait_for(lock, std::chrono::milliseconds(milliseconds), free)) {
    return false;
  }
  m_shared->owner = me;
  ++m_shared->depth;
  ++m_held;
  return true;
}

bool CMTMutex::Unlock() {
  {
    std::lock_guard lock(m_shared->mutex);
    if (m_held == 0 || m_shared->depth == 0 || m_shared->owner != std::this_thread::get_id()) {
      return false;
    }
    --m_held;
    if (--m_shared->depth > 0) {
      return true;
    }
    m_shared->owner = std::thread::id();
  }
  m_shared->released.notify_one();
  return true;
}
