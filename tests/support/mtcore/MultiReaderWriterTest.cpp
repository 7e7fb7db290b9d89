#include "mtcore/MultiReaderWriter.h"
#include "mtcore/ReaderAccess.h"
#include "mtcore/WriterAccess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {
constexpr auto kHangGuard = 30s; // only reached when the lock deadlocks

void WaitUntil(const std::function<bool()>& condition) {
  while (!condition()) {
    std::this_thread::yield();
  }
}

// Joins `thread` once `done` is ready; false when it seems stuck.
bool FinishesOnItsOwn(std::thread& thread, std::future<void>& done) {
  const bool finished = done.wait_for(kHangGuard) == std::future_status::ready;
  if (finished) {
    thread.join();
  }
  return finished;
}
} // namespace

// Readers count themselves in per-thread slots: with more reading threads than slots,
// two of them share one, and exclusion must hold all the same.
TEST(MultiReaderWriter, ReadersShareWritersExclude) {
  for (const int readerThreads : {3, 20}) {
    SCOPED_TRACE(readerThreads);
    CMultiReaderWriter lock;
    std::atomic<int> readers{0};
    std::atomic<int> writers{0};
    std::atomic<int> violations{0};
    std::atomic<int> maxReaders{0};
    auto reader = [&] {
      for (int i = 0; i < 2000; ++i) {
        CReaderAccess access(lock);
        const int now = ++readers;
        int seen = maxReaders.load();
        while (now > seen && !maxReaders.compare_exchange_weak(seen, now)) {
        }
        if (writers.load() != 0) {
          ++violations;
        }
        --readers;
      }
    };
    auto writer = [&] {
      for (int i = 0; i < 300; ++i) {
        CWriterAccess access(lock);
        if (++writers != 1 || readers.load() != 0) {
          ++violations;
        }
        --writers;
      }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < readerThreads; ++i) {
      threads.emplace_back(reader);
    }
    threads.emplace_back(writer);
    threads.emplace_back(writer);
    for (auto& t : threads) {
      t.join();
    }
    EXPECT_EQ(violations.load(), 0);
    EXPECT_FALSE(lock.HasWriter());
  }
}

TEST(MultiReaderWriter, TwoReadersHoldAccessAtOnce) {
  CMultiReaderWriter lock;
  std::atomic<int> inside{0};
  auto reader = [&] {
    CReaderAccess access(lock);
    ++inside;
    WaitUntil([&] { return inside.load() == 2; }); // both inside together
  };
  std::thread a(reader);
  std::thread b(reader);
  a.join();
  b.join();
  EXPECT_EQ(inside.load(), 2);
}

TEST(MultiReaderWriter, AWaitingWriterIsNotStarvedByAStreamOfReaders) {
  constexpr int kReaders = 3;
  constexpr long kEntriesPerReader = 200000; // ends the test should the writer starve
  CMultiReaderWriter lock;
  std::atomic<bool> writerPending{false};
  std::atomic<bool> writerIn{false};
  std::atomic<long> entriesWhilePending{0};
  std::atomic<int> insideNow{0};

  std::vector<std::thread> readers;
  for (int r = 0; r < kReaders; ++r) {
    readers.emplace_back([&] {
      for (long i = 0; i < kEntriesPerReader && !writerIn.load(); ++i) {
        CReaderAccess access(lock);
        if (writerPending.load() && !writerIn.load()) {
          ++entriesWhilePending;
        }
        ++insideNow;
        std::this_thread::yield(); // overlap with the other readers
        --insideNow;
      }
    });
  }
  WaitUntil([&] { return insideNow.load() > 0; });
  std::thread writer([&] {
    lock.GrantWriterAccess();
    writerIn = true;
    lock.ReleaseWriterAccess();
  });
  WaitUntil([&] { return lock.HasWriter() || writerIn.load(); });
  writerPending = true;
  writer.join();
  for (auto& t : readers) {
    t.join();
  }
  EXPECT_TRUE(writerIn.load());
  // Only readers already past the gate when the writer arrived may still count.
  EXPECT_LE(entriesWhilePending.load(), kReaders);
}

TEST(MultiReaderWriter, ReaderReentryDoesNotWaitBehindAWaitingWriter) {
  CMultiReaderWriter lock;
  std::atomic<bool> writerIn{false};
  std::promise<void> holderDone;
  auto holderFuture = holderDone.get_future();
  std::thread writer;
  std::thread holder([&] {
    lock.GrantReaderAccess();
    writer = std::thread([&] {
      CWriterAccess access(lock);
      writerIn = true;
    });
    WaitUntil([&] { return lock.HasWriter(); });
    // A walk under held access calls an operation that takes reader access itself.
    lock.GrantReaderAccess();
    EXPECT_FALSE(writerIn.load());
    lock.ReleaseReaderAccess();
    EXPECT_FALSE(writerIn.load()); // still held once
    lock.ReleaseReaderAccess();
    holderDone.set_value();
  });
  ASSERT_TRUE(FinishesOnItsOwn(holder, holderFuture));
  writer.join();
  EXPECT_TRUE(writerIn.load());
}

TEST(MultiReaderWriter, ANewReaderWaitsWhileAWriterWaits) {
  CMultiReaderWriter lock;
  lock.GrantReaderAccess();
  std::atomic<bool> writerIn{false};
  std::atomic<bool> readerIn{false};
  std::thread writer([&] {
    CWriterAccess access(lock);
    writerIn = true;
    EXPECT_FALSE(readerIn.load());
  });
  WaitUntil([&] { return lock.HasWriter(); });
  std::promise<void> readerDone;
  auto readerFuture = readerDone.get_future();
  std::thread reader([&] {
    CReaderAccess access(lock);
    readerIn = true;
    EXPECT_TRUE(writerIn.load()); // the writer went first
    readerDone.set_value();
  });
  std::this_thread::sleep_for(20ms); // give a faulty lock the chance to let it in
  EXPECT_FALSE(readerIn.load());
  lock.ReleaseReaderAccess();
  EXPECT_TRUE(FinishesOnItsOwn(reader, readerFuture));
  writer.join();
}

TEST(MultiReaderWriter, UnbalancedReleasesAreIgnored) {
  CMultiReaderWriter lock;
  lock.ReleaseReaderAccess();
  lock.ReleaseWriterAccess();
  {
    CWriterAccess access(lock);
    EXPECT_TRUE(lock.HasWriter());
  }
  EXPECT_FALSE(lock.HasWriter());

  // A stray writer release while another thread waits must not open the lock.
  lock.GrantReaderAccess();
  std::atomic<bool> writerIn{false};
  std::thread writer([&] {
    CWriterAccess access(lock);
    writerIn = true;
  });
  WaitUntil([&] { return lock.HasWriter(); });
  lock.ReleaseWriterAccess();
  EXPECT_TRUE(lock.HasWriter());
  EXPECT_FALSE(writerIn.load());
  lock.ReleaseReaderAccess();
  writer.join();
  EXPECT_TRUE(writerIn.load());
}

TEST(MultiReaderWriter, GuardsReleaseEarlyOnlyOnce) {
  CMultiReaderWriter lock;
  {
    CWriterAccess writer(lock);
    writer.Release();
    writer.Release();
    EXPECT_FALSE(lock.HasWriter());
    CReaderAccess reader(lock);
    reader.Release();
  }
  CWriterAccess again(lock); // would hang if a reader count had leaked
  EXPECT_TRUE(lock.HasWriter());
}

TEST(MultiReaderWriter, ManyLocksHeldByOneThreadStillExclude) {
  // More locks than the per-thread table tracks: access stays correct.
  std::vector<std::unique_ptr<CMultiReaderWriter>> locks;
  for (int i = 0; i < 40; ++i) {
    locks.push_back(std::make_unique<CMultiReaderWriter>());
    locks.back()->GrantReaderAccess();
    locks.back()->GrantReaderAccess();
  }
  for (auto& lock : locks) {
    lock->ReleaseReaderAccess();
    lock->ReleaseReaderAccess();
  }
  for (auto& lock : locks) {
    CWriterAccess access(*lock); // would hang if any reader count remained
  }
  SUCCEED();
}
