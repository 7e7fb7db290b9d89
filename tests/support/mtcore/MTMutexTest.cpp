#include "mtcore/MTMutex.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {
// Whether another thread could take `mutex` right now.
bool FreeForAnotherThread(CMTMutex& mutex) {
  bool taken = false;
  std::thread other([&] {
    taken = mutex.Lock(0);
    if (taken) {
      mutex.Unlock();
    }
  });
  other.join();
  return taken;
}
} // namespace

TEST(MTMutex, ObjectsOfOneNameShareTheLock) {
  CMTMutex first(false, "zeb_plt_mutex", nullptr);
  CMTMutex second(false, "zeb_plt_mutex", nullptr);
  CMTMutex other(false, "another name", nullptr);
  ASSERT_TRUE(first.Lock());
  EXPECT_FALSE(FreeForAnotherThread(second));
  EXPECT_TRUE(FreeForAnotherThread(other));
  EXPECT_TRUE(first.Unlock());
  EXPECT_TRUE(FreeForAnotherThread(second));
  EXPECT_EQ(first.GetName(), "zeb_plt_mutex");
}

TEST(MTMutex, IsRecursiveForItsOwnerOnly) {
  CMTMutex mutex(true, "recursive", nullptr);
  EXPECT_TRUE(mutex.Lock(0));
  EXPECT_TRUE(mutex.Unlock());
  EXPECT_FALSE(FreeForAnotherThread(mutex)); // one level still held
  bool strangerUnlocked = true;
  std::thread stranger([&] { strangerUnlocked = mutex.Unlock(); });
  stranger.join();
  EXPECT_FALSE(strangerUnlocked);
  EXPECT_TRUE(mutex.Unlock());
  EXPECT_FALSE(mutex.Unlock());
  EXPECT_TRUE(FreeForAnotherThread(mutex));
}

TEST(MTMutex, DestroyingAnOwnerGivesItsLevelsBack) {
  CMTMutex survivor(false, "abandoned", nullptr);
  {
    CMTMutex owner(true, "abandoned", nullptr);
    owner.Lock();
    EXPECT_FALSE(FreeForAnotherThread(survivor));
  }
  EXPECT_TRUE(FreeForAnotherThread(survivor));
}

TEST(MTMutex, UnnamedLocksArePrivate) {
  CMTMutex first(true, nullptr, nullptr);
  CMTMutex second(false, "", nullptr);
  EXPECT_TRUE(FreeForAnotherThread(second));
}
