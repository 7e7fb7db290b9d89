#pragma once

#include "mtcore/WindowMessages.h"

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

/// A process-wide named lock: every CMTMutex of the same name shares one lock. It is
/// recursive for the thread that owns it. A named lock with no name is private.
class CMTMutex {
public:
  /// `initiallyOwned`: the constructing thread owns it at once. `security` is accepted
  /// for the callers' sake and ignored.
  CMTMutex(bool initiallyOwned, const char* name, const void* security = nullptr);
  /// Gives back what this object still holds.
  ~CMTMutex();
  CMTMutex(const CMTMutex&) = delete;
  CMTMutex& operator=(const CMTMutex&) = delete;

  /// Takes the lock, waiting up to `milliseconds` (INFINITE: no limit); false on
  /// time-out.
  bool Lock(std::uint32_t milliseconds = INFINITE);
  /// Gives one level back; false when the calling thread does not own it.
  bool Unlock();

  const std::string& GetName() const { return m_name; }

  struct SShared; ///< The lock all objects of one name share.

private:
  std::string m_name;
  std::shared_ptr<SShared> m_shared;
  unsigned m_held = 0; // levels taken through this object; guarded by the shared mutex
};
