#include "dictionaries/MappedFile.h"

#include <cerrno>

#include <sys/mman.h>

CMappedFile& CMappedFile::operator=(CMappedFile&& other) noexcept {
  if (this != &other) {
    Reset();
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
  }
  return *this;
}

bool CMappedFile::Map(int fd, std::size_t size) {
  Reset();
  if (size == 0) {
    errno = EINVAL;
    return false;
  }
  // Every page is read at load (the word filter walks the whole stream): mapping them
  // in one call costs less than a fault for each.
  void* address = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
  if (address == MAP_FAILED) {
    return false;
  }
  m_data = static_cast<const unsigned char*>(address);
  m_size = size;
  return true;
}

void CMappedFile::Reset() {
  if (m_data == nullptr) {
    return;
  }
  // The mapping was made read-only; munmap takes a non-const pointer.
  ::munmap(const_cast<unsigned char*>(m_data), m_size);
  m_data = nullptr;
  m_size = 0;
}
