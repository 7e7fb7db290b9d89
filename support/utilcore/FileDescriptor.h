#pragma once

#include <utility>

/// Owns a POSIX file descriptor and closes it when it goes away.
class CFileDescriptor {
public:
  CFileDescriptor() = default;
  explicit CFileDescriptor(int fd) : m_fd(fd) {}
  ~CFileDescriptor() { Reset(); }
  CFileDescriptor(CFileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  CFileDescriptor& operator=(CFileDescriptor&& other) noexcept;
  CFileDescriptor(const CFileDescriptor&) = delete;
  CFileDescriptor& operator=(const CFileDescriptor&) = delete;

  int Get() const { return m_fd; }
  bool IsValid() const { return m_fd >= 0; }
  /// Gives up ownership without closing.
  int Release() { return std::exchange(m_fd, -1); }
  /// Closes now; the result of close() (0 on success), 0 when nothing was open.
  int Reset();

private:
  int m_fd = -1;
};
