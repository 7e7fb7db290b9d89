#include "utilcore/FileDescriptor.h"

#include <unistd.h>

CFileDescriptor& CFileDescriptor::operator=(CFileDescriptor&& other) noexcept {
  if (this != &other) {
    Reset();
    m_fd = std::exchange(other.m_fd, -1);
  }
  return *this;
}

int CFileDescriptor::Reset() {
  if (m_fd < 0) {
    return 0;
  }
  // close() must not be retried on EINTR on Linux: the descriptor is gone either way.
  return ::close(std::exchange(m_fd, -1));
}
