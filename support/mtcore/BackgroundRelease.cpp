#include "mtcore/BackgroundRelease.h"

#include "mtcore/MTStartFaults.h"

void CBackgroundRelease::Wait() {
  if (m_thread.joinable()) {
    m_thread.join();
  }
}

bool CBackgroundRelease::MayStart() {
  return !CMTStartFaults::Fails();
}
