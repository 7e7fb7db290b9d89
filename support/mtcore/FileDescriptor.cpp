#include "mtcore/FileDescriptor.h"

#include <unistd.h>

void CFileDescriptor::Reset(int fd) {
  if (m_fd >= 0) {
    // Linux releases the descriptor even when close reports EINTR: never retry.
    ::close(m_fd);
  }
  m_fd = fd;
}
