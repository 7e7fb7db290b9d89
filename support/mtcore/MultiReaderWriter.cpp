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
};

// Initial-exec: the library is linked, never loaded at run time, and this keeps the
// reader path free of a call to find the table.
thread_local SHeldTable t_held __attribute__((tls_model("initial-exec"))){};

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

void CMultiReaderWriter::GrantReaderAccess() {
  SHeldTable& table = t_held;
  if (SHeldAccess* held = FindHeld(table, this)) {
    ++held->depth;
    return;
  }
  const std::uint32_t previous = m_state.fetch_add(1, std::memory_order_acquire);
  if ((previous & kWriter) != 0) {
    BackOut();
    AcquireSharedSlow();
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
  if (m_state.fetch_sub(1, std::memory_order_release) == (kWriter | 1U)) {
    WakeWriter();
  }
}

void CMultiReaderWriter::BackOut() {
  const std::uint32_t previous = m_state.fetch_sub(1, std::memory_order_release);
  if (previous == (kWriter | 1U)) {
    WakeWriter();
  }
}

void CMultiReaderWriter::WakeWriter() {
  // Taking the mutex orders this wake-up after the writer's test of the count.
  { std::lock_guard lock(m_mutex); }
  m_readersGone.notify_all();
}

void CMultiReaderWriter::AcquireSharedSlow() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    std::uint32_t state = m_state.load(std::memory_order_relaxed);
    if ((state & kWriter) != 0) {
      m_writerGone.wait(lock);
      continue;
    }
    if (m_state.compare_exchange_weak(state, state + 1, std::memory_order_acquire,
                                      std::memory_order_relaxed)) {
      return;
    }
  }
}

void CMultiReaderWriter::ReleaseUntracked() {
  // Access beyond the tracked table, or no access at all: an unbalanced release must
  // not wrap the count.
  std::uint32_t state = m_state.load(std::memory_order_relaxed);
  do {
    if ((state & kReaders) == 0) {
      return;
    }
  } while (!m_state.compare_exchange_weak(state, state - 1, std::memory_order_release,
                                          std::memory_order_relaxed));
  if (state == (kWriter | 1U)) {
    WakeWriter();
  }
}

void CMultiReaderWriter::GrantWriterAccess() {
  std::unique_lock lock(m_mutex);
  m_writerGone.wait(lock,
                    [this] { return (m_state.load(std::memory_order_relaxed) & kWriter) == 0; });
  m_state.fetch_or(kWriter, std::memory_order_acq_rel);
  m_readersGone.wait(lock,
                     [this] { return (m_state.load(std::memory_order_acquire) & kReaders) == 0; });
  m_writerInside = true;
}

void CMultiReaderWriter::ReleaseWriterAccess() {
  {
    std::lock_guard lock(m_mutex);
    if (!m_writerInside) {
      return; // not held: clearing the bit would let readers past a waiting writer
    }
    m_writerInside = false;
    m_state.fetch_and(~kWriter, std::memory_order_release);
  }
  m_writerGone.notify_all();
}
