#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

/// Many readers or one writer, with writer preference: once a writer waits, no new
/// reader gets in, so a steady stream of readers cannot starve it.
///
/// Reader access is re-entrant per thread: a thread that already holds reader access
/// gets it again at once even while a writer waits (a walk under held access may call
/// operations that take reader access themselves). There are no upgrades: a thread
/// must not ask for writer access while it holds reader access, nor for any access
/// while it holds writer access. Release on the thread that was granted.
class CMultiReaderWriter {
public:
  CMultiReaderWriter() = default;
  CMultiReaderWriter(const CMultiReaderWriter&) = delete;
  CMultiReaderWriter& operator=(const CMultiReaderWriter&) = delete;

  void GrantReaderAccess();
  void ReleaseReaderAccess();
  void GrantWriterAccess();
  void ReleaseWriterAccess();

  /// True while a writer holds access or waits for it (for diagnostics and tests).
  bool HasWriter() const { return (m_state.load(std::memory_order_acquire) & kWriter) != 0; }

private:
  // m_state: the number of threads holding reader access, and kWriter while a writer
  // holds or waits. A reader enters with one atomic add and backs out when it finds
  // kWriter set.
  static constexpr std::uint32_t kWriter = 0x80000000U;
  static constexpr std::uint32_t kReaders = 0x7FFFFFFFU;

  void AcquireSharedSlow();
  void BackOut();
  void ReleaseUntracked();
  void WakeWriter();

  std::atomic<std::uint32_t> m_state{0};
  std::mutex m_mutex;
  bool m_writerInside = false;           // guarded by m_mutex
  std::condition_variable m_writerGone;  // kWriter cleared: readers and writers retry
  std::condition_variable m_readersGone; // the last reader left while kWriter is set
};
