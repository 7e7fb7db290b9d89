#pragma once

#include "mtcore/MultiReaderWriter.h"

/// Holds writer access to a CMultiReaderWriter for a scope.
class CWriterAccess {
public:
  explicit CWriterAccess(CMultiReaderWriter& lock) : m_lock(&lock) { m_lock->GrantWriterAccess(); }
  ~CWriterAccess() { Release(); }
  CWriterAccess(const CWriterAccess&) = delete;
  CWriterAccess& operator=(const CWriterAccess&) = delete;

  /// Gives the access back before the scope ends; later calls do nothing.
  void Release() {
    if (m_lock != nullptr) {
      m_lock->ReleaseWriterAccess();
      m_lock = nullptr;
    }
  }

private:
  CMultiReaderWriter* m_lock;
};
