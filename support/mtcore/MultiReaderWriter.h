#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
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
  bool HasWriter() const { return m_writer.load(std::memory_order_acquire); }

private:
  // Readers count themselves in one of several slots chosen by thread, each on a pair of
  // cache lines of its own (processors fetch lines in pairs): two threads that look words
  // up at once then write lines of their own, where a single shared count bounced one
  // line between the cores for every word. A writer raises m_writer and waits for every
  // slot to empty; a reader raises its slot, then looks at m_writer and backs out when it
  // is set. Both sides use sequentially consistent operations, so at least one of them
  // sees the other.
  static constexpr std::size_t kSlots = 16;
  struct alignas(128) SSlot {
    std::atomic<std::uint32_t> readers{0};
  };

  void AcquireSharedSlow(SSlot& slot);
  void LeaveSlot(SSlot& slot);
  void ReleaseUntracked();
  void WakeWriter();
  bool HasReaders() const;
  SSlot& SlotOfThread();

  std::array<SSlot, kSlots> m_slots{};
  std::atomic<bool> m_writer{false}; // a writer holds access or waits for it
  std::mutex m_mutex;
  bool m_writerInside = false;           // guarded by m_mutex
  std::condition_variable m_writerGone;  // m_writer cleared: readers and writers retry
  std::condition_variable m_readersGone; // a reader left while m_writer is set
};
