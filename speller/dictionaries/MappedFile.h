#pragma once

#include <cstddef>
#include <utility>

/// A read-only, shared memory mapping of a whole file, unmapped when the object goes
/// away. Reading it from many threads at once is safe.
class CMappedFile {
public:
  CMappedFile() = default;
  ~CMappedFile() { Reset(); }
  CMappedFile(CMappedFile&& other) noexcept
      : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}
  CMappedFile& operator=(CMappedFile&& other) noexcept;
  CMappedFile(const CMappedFile&) = delete;
  CMappedFile& operator=(const CMappedFile&) = delete;

  /// Maps the first `size` bytes of the open file `fd` (size > 0). On failure nothing
  /// is mapped and errno tells why.
  bool Map(int fd, std::size_t size);
  void Reset();

  const unsigned char* Data() const { return m_data; }
  std::size_t Size() const { return m_size; }

private:
  const unsigned char* m_data = nullptr;
  std::size_t m_size = 0;
};
