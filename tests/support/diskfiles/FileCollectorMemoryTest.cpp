// A collection pass that runs out of memory: the collector's thread lives on, the pass
// still ends with MSG_FC_DONE (a waiter would hang forever without it), and the root is
// reported as not walked whole.
#include "diskfiles/FileCollector.h"

#include "SiteTree.h"
#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace {
// While set, large blocks asked for on any thread but the test's own fail: the pass's
// lists grow past it, the message that ends the pass is small.
std::atomic<bool> g_failLarge{false};
std::thread::id g_testThread;
constexpr std::size_t kLarge = 16 * 1024;
} // namespace

// Every form but the aligned ones is replaced, so that no block is made by one
// allocator and freed by another (the sanitizers check that).
void* operator new(std::size_t size) {
  if (size >= kLarge && g_failLarge.load(std::memory_order_relaxed) &&
      std::this_thread::get_id() != g_testThread) {
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}

namespace {
using namespace std::chrono_literals;

TEST(FileCollectorMemory, APassThatRunsOutOfMemoryStillEndsAndSaysSo) {
  SiteTree site;
  for (int k = 0; k < 1500; ++k) {
    site.Write("page" + std::to_string(k) + ".html");
  }
  int done = 0;
  CFunctionTarget window([&](UINT message, WPARAM, LPARAM) {
    done += message == CFileCollector::MSG_FC_DONE ? 1 : 0;
  });
  CDiskFileList list;
  CFileCollector collector(site.Root(), true, {"html"}, {}, &list, window.GetSafeHwnd(), 0, false);
  ASSERT_TRUE(collector.IsValid());

  g_testThread = std::this_thread::get_id();
  g_failLarge = true;
  collector.Refresh();
  const bool ended = CMessageLoop::PumpUntil([&] { return done >= 1; }, 30s);
  g_failLarge = false;
  ASSERT_TRUE(ended) << "the pass never said it was done";
  const auto skipped = collector.GetSkipped();
  ASSERT_EQ(skipped.size(), 1U);
  EXPECT_EQ(skipped[0].path, site.Root());
  EXPECT_EQ(skipped[0].reason, CDirScan::SkipReason::OutOfMemory);
  EXPECT_STREQ(CDirScan::DescribeSkip(skipped[0].reason), "out of memory");
  EXPECT_TRUE(CDirScan::IsGap(skipped[0].reason));

  // The thread lives on: the next pass, with memory, walks the whole site.
  collector.Refresh();
  ASSERT_TRUE(CMessageLoop::PumpUntil([&] { return done >= 2; }, 30s));
  EXPECT_TRUE(collector.GetSkipped().empty());
  EXPECT_EQ(list.GetCount(), 1500);
}

} // namespace
