// The reader path of CMultiReaderWriter is taken for every word lookup; these measure
// an uncontended grant and release, alone and with a second reading thread.
#include "mtcore/MultiReaderWriter.h"
#include "mtcore/ReaderAccess.h"

#include <benchmark/benchmark.h>

#include <shared_mutex>

namespace {
CMultiReaderWriter g_sharedLock;

void BM_ReaderGrantRelease(benchmark::State& state) {
  for (auto _ : state) {
    g_sharedLock.GrantReaderAccess();
    g_sharedLock.ReleaseReaderAccess();
  }
}
BENCHMARK(BM_ReaderGrantRelease)->Threads(1)->Threads(2);

void BM_ReaderReentry(benchmark::State& state) {
  CReaderAccess outer(g_sharedLock);
  for (auto _ : state) {
    CReaderAccess inner(g_sharedLock);
  }
}
BENCHMARK(BM_ReaderReentry);

void BM_WriterGrantRelease(benchmark::State& state) {
  CMultiReaderWriter lock;
  for (auto _ : state) {
    lock.GrantWriterAccess();
    lock.ReleaseWriterAccess();
  }
}
BENCHMARK(BM_WriterGrantRelease);
// For comparison: the standard library's reader/writer lock.
std::shared_mutex g_standardLock;

void BM_StdSharedMutexLockShared(benchmark::State& state) {
  for (auto _ : state) {
    g_standardLock.lock_shared();
    g_standardLock.unlock_shared();
  }
}
BENCHMARK(BM_StdSharedMutexLockShared)->Threads(1)->Threads(2);
} // namespace
