#pragma once

#include "mtcore/MultiReaderWriter.h"

/// Holds reader access to a CMultiReaderWriter for a scope.
class CReaderAccess {
public:
  explicit CReaderAccess(CMultiReaderWriter& lock) : m_lock(&lock) { m_lock->GrantReaderAccess(); }
  ~CReaderAccess() { Release(); }
  CReaderAccess(const CReaderAccess&) = delete;
  CReaderAccess& operator=(const CReaderAccess&) = delete;

  /// Gives the access back before the scope ends; later calls do nothing.
  void Release() {
    if (m_lock != nullptr) {
      m_lock->ReleaseReaderAccess();
      m_lock = nullptr;
    }
  }

private:
  CMultiReaderWriter* m_lock;
};
