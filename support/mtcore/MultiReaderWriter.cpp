#include "mtcore/MultiReaderWriter.h"

#include <cstddef>

namespace {
// The reader access each thread holds, with its depth, so that re-entry neither
// counts twice nor waits behind a writer that waits for this very thread.
struct SHeldAccess {
  const CMultiReaderWriter* lock;
  std::uint32_t depth;
};

// A thread rarely holds more than a few locks at once; beyond this, access is still
// granted but not tracked, so re-entry then waits like a new reader.
constexpr std::size_t kTrackedLocks = 16;

struct SHeldTable {
  SHeldAccess entries[kTrackedLocks];
  std::size_t used;
  std::size_t slot; // the thread's reader slot, plus one; 0 until first needed
};

// Initial-exec: the library is linked, never loaded at run time, and this keeps the
// reader path free of a call to find the table.
thread_local SHeldTable t_held __attribute__((tls_model("initial-exec"))){};

// Threads take slots in turn, so the first threads of a process never share one.
std::atomic<std::size_t> g_nextSlot{0};

SHeldAccess* FindHeld(SHeldTable& table, const CMultiReaderWriter* lock) {
  for (std::size_t i = 0; i < table.used; ++i) {
    if (table.entries[i].lock == lock) {
      return &table.entries[i];
    }
  }
  return nullptr;
}

void Remember(SHeldTable& table, const CMultiReaderWriter* lock) {
  if (table.used < kTrackedLocks) {
    table.entries[table.used++] = SHeldAccess{lock, 1};
  }
}

void Forget(SHeldTable& table, SHeldAccess* entry) {
  *entry = table.entries[--table.used];
}
} // namespace

CMultiReaderWriter::SSlot& CMultiReaderWriter::SlotOfThread() {
  SHeldTable& table = t_held;
  if (table.slot == 0) {
    table.slot = g_nextSlot.fetch_add(1, std::memory_order_relaxed) % kSlots + 1;
  }
  return m_slots[table.slot - 1];
}

bool CMultiReaderWriter::HasReaders() const {
  for (const SSlot& slot : m_slots) {
    if (slot.readers.load(std::memory_order_seq_cst) != 0) {
      return true;
    }
  }
  return false;
}

void CMultiReaderWriter::GrantReaderAccess() {
  SHeldTable& table = t_held;
  if (SHeldAccess* held = FindHeld(table, this)) {
    ++held->depth;
    return;
  }
  SSlot& slot = SlotOfThread();
  slot.readers.fetch_add(1, std::memory_order_seq_cst);
  if (m_writer.load(std::memory_order_seq_cst)) {
    LeaveSlot(slot);
    AcquireSharedSlow(slot);
  }
  Remember(table, this);
}

void CMultiReaderWriter::ReleaseReaderAccess() {
  SHeldTable& table = t_held;
  SHeldAccess* held = FindHeld(table, this);
  if (held == nullptr) {
    ReleaseUntracked();
    return;
  }
  if (--held->depth > 0) {
    return;
  }
  Forget(table, held);
  LeaveSlot(SlotOfThread());
}

void CMultiReaderWriter::LeaveSlot(SSlot& slot) {
  slot.readers.fetch_sub(1, std::memory_order_seq_cst);
  if (m_writer.load(std::memory_order_seq_cst)) {
    WakeWriter();
  }
}

void CMultiReaderWriter::WakeWriter() {
  // Taking the mutex orders this wake-up after the writer's test of the counts.
  { std::lock_guard lock(m_mutex); }
  m_readersGone.notify_all();
}

void CMultiReaderWriter::AcquireSharedSlow(SSlot& slot) {
  std::unique_lock lock(m_mutex);
  // A writer raises m_writer only under the mutex, so none can slip in between the
  // test and the count.
  m_writerGone.wait(lock, [this] { return !m_writer.load(std::memory_order_seq_cst); });
  slot.readers.fetch_add(1, std::memory_order_seq_cst);
}

void CMultiReaderWriter::ReleaseUntracked() {
  // Access beyond the tracked table, or no access at all: an unbalanced release must
  // not wrap the count.
  SSlot& slot = SlotOfThread();
  std::uint32_t readers = slot.readers.load(std::memory_order_relaxed);
  do {
    if (readers == 0) {
      return;
    }
  } while (!slot.readers.compare_exchange_weak(readers, readers - 1, std::memory_order_seq_cst,
                                               std::memory_order_relaxed));
  if (m_writer.load(std::memory_order_seq_cst)) {
    WakeWriter();
  }
}

void CMultiReaderWriter::GrantWriterAccess() {
  std::unique_lock lock(m_mutex);
  m_writerGone.wait(lock, [this] { return !m_writer.load(std::memory_order_relaxed); });
  m_writer.store(true, std::memory_order_seq_cst);
  m_readersGone.wait(lock, [this] { return !HasReaders(); });
  m_writerInside = true;
}

void CMultiReaderWriter::ReleaseWriterAccess() {
  {
    std::lock_guard lock(m_mutex);
    if (!m_writerInside) {
      return; // not held: clearing the flag would let readers past a waiting writer
    }
    m_writerInside = false;
    m_writer.store(false, std::memory_order_seq_cst);
  }
  m_writerGone.notify_all();
}
