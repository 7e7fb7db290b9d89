#pragma once

/// Owns a file descriptor and closes it; move-only.
class CFileDescriptor {
public:
  CFileDescriptor() = default;
  explicit CFileDescriptor(int fd) : m_fd(fd) {}
  ~CFileDescriptor() { Reset(); }
  CFileDescriptor(CFileDescriptor&& other) noexcept : m_fd(other.Release()) {}
  CFileDescriptor& operator=(CFileDescriptor&& other) noexcept {
    if (this != &other) {
      Reset(other.Release());
    }
    return *this;
  }
  CFileDescriptor(const CFileDescriptor&) = delete;
  CFileDescriptor& operator=(const CFileDescriptor&) = delete;

  int Get() const { return m_fd; }
  bool IsValid() const { return m_fd >= 0; }
  /// Gives up ownership without closing.
  int Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
  }
  /// Closes the descriptor held, then owns `fd`.
  void Reset(int fd = -1);

private:
  int m_fd = -1;
};
