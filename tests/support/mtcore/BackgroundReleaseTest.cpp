#include "mtcore/BackgroundRelease.h"
#include "mtcore/MTStartFaults.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace {

/// Notes the thread that destroys it, and when; a moved-from probe notes nothing.
struct FreedOn {
  std::optional<std::thread::id> thread;
  bool slow = false; ///< takes a while to free, as a big structure does
};

class Probe {
public:
  explicit Probe(std::shared_ptr<FreedOn> record) : m_record(std::move(record)) {}
  Probe(Probe&&) = default;
  Probe& operator=(Probe&&) = default;
  ~Probe() {
    if (m_record == nullptr) {
      return;
    }
    if (m_record->slow) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_record->thread = std::this_thread::get_id();
  }

private:
  std::shared_ptr<FreedOn> m_record;
};

TEST(BackgroundRelease, FreesOnAThreadOfItsOwnAndWaitsForItWhenItGoes) {
  auto freed = std::make_shared<FreedOn>();
  freed->slow = true;
  {
    CBackgroundRelease release;
    release.Release(Probe(freed));
  }
  ASSERT_TRUE(freed->thread.has_value()); // the destructor waited for the slow free
  EXPECT_NE(*freed->thread, std::this_thread::get_id());

  // The next release waits for the one before.
  auto first = std::make_shared<FreedOn>();
  auto second = std::make_shared<FreedOn>();
  first->slow = true;
  CBackgroundRelease release;
  release.Release(Probe(first));
  release.Release(Probe(second));
  EXPECT_TRUE(first->thread.has_value());
  release.Wait();
  EXPECT_TRUE(second->thread.has_value());
}

TEST(BackgroundRelease, FreesInTheCallerWhenNoThreadStarts) {
  auto freed = std::make_shared<FreedOn>();
  CMTStartFaults::Inject(1);
  CBackgroundRelease release;
  release.Release(Probe(freed));
  CMTStartFaults::Clear();
  ASSERT_TRUE(freed->thread.has_value());
  EXPECT_EQ(*freed->thread, std::this_thread::get_id());
}

} // namespace
