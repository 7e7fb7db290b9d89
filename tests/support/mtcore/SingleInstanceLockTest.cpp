#include "mtcore/SingleInstanceLock.h"
#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"
#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedEnv.h"
#include "testkit/ScopedFakeHome.h"

#include "RecordingTarget.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using mtcoretest::kLongWait;

namespace {
const UINT kShowMessage = RegisterWindowMessageA("test-show-yourself");

class CShowCounter : public CFunctionTarget {
public:
  CShowCounter()
      : CFunctionTarget([this](UINT m, WPARAM, LPARAM) { shows += m == kShowMessage ? 1 : 0; }) {}
  int shows = 0;
};

bool PumpUntilShown(const CShowCounter& window, int count) {
  return CMessageLoop::PumpUntil([&] { return window.shows >= count; }, kLongWait);
}

// A fresh home, a window that counts show requests, and the running instance.
class SingleInstanceLockTest : public testing::Test {
protected:
  // Makes `lock` the running instance, showing `m_window`.
  void BecomeFirst(CSingleInstanceLock& lock) {
    ASSERT_TRUE(lock.Acquire());
    lock.SetShowTarget(m_window.GetSafeHwnd(), kShowMessage);
  }
  // A later start is refused, and the running instance is shown once more.
  void ExpectSecondStartShows(int shows) {
    CSingleInstanceLock second;
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.IsHeld());
    EXPECT_TRUE(PumpUntilShown(m_window, shows));
  }

  ScopedFakeHome m_home;
  CShowCounter m_window;
};

// Talks to the running instance's socket directly, as a confused client might.
void SendRaw(const std::string& socketPath, const std::string& bytes) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  if (!bytes.empty()) {
    ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  close(fd);
}
} // namespace

TEST_F(SingleInstanceLockTest, ASecondInstanceIsRefusedAndShowsTheFirst) {
  CSingleInstanceLock first;
  BecomeFirst(first);
  EXPECT_TRUE(first.IsHeld());
  EXPECT_TRUE(fs::exists(m_home.RuntimeDir() + "/Pagelint.lock"));
  ExpectSecondStartShows(1);
  ExpectSecondStartShows(2);
}

TEST_F(SingleInstanceLockTest, ARequestBeforeTheWindowExistsIsDeliveredLater) {
  CSingleInstanceLock first;
  ASSERT_TRUE(first.Acquire());
  CSingleInstanceLock second;
  EXPECT_FALSE(second.Acquire());

  // The request may still be on its way to the listener: keep setting the target
  // until it has arrived, which must happen exactly once.
  EXPECT_TRUE(CMessageLoop::PumpUntil(
      [&] {
        first.SetShowTarget(m_window.GetSafeHwnd(), kShowMessage);
        return m_window.shows >= 1;
      },
      kLongWait));
  CMessageLoop::PumpPending();
  EXPECT_EQ(m_window.shows, 1);
}

TEST_F(SingleInstanceLockTest, ASilentSecondStartSendsNothing) {
  CSingleInstanceLock first;
  BecomeFirst(first);
  CSingleInstanceLock silent;
  EXPECT_FALSE(silent.Acquire(false));
  // Requests are served in order: had the silent one sent, it would come first.
  ExpectSecondStartShows(1);
  CMessageLoop::PumpPending();
  EXPECT_EQ(m_window.shows, 1);
}

TEST_F(SingleInstanceLockTest, TheLockIsFreeAgainAfterTheFirstInstanceEnds) {
  const std::string socketPath = m_home.RuntimeDir() + "/Pagelint.sock";
  {
    CSingleInstanceLock first;
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(fs::exists(socketPath));
  }
  EXPECT_FALSE(fs::exists(socketPath));
  // A socket file left by a crash does not stop the next instance from listening.
  testkit::WriteBytes(socketPath, "stale");
  CSingleInstanceLock next;
  BecomeFirst(next);
  ExpectSecondStartShows(1);
}

TEST_F(SingleInstanceLockTest, GarbageOnTheSocketIsIgnored) {
  CSingleInstanceLock first;
  BecomeFirst(first);
  const std::string socketPath = m_home.RuntimeDir() + "/Pagelint.sock";
  SendRaw(socketPath, "");
  SendRaw(socketPath, "hello world, this is far too long\n");
  SendRaw(socketPath, "sho");
  ExpectSecondStartShows(1);
  CMessageLoop::PumpPending();
  EXPECT_EQ(m_window.shows, 1);
}

TEST_F(SingleInstanceLockTest, DifferentProgramsDoNotShareALock) {
  CSingleInstanceLock pagelint;
  CSingleInstanceLock other("OtherTool");
  EXPECT_TRUE(pagelint.Acquire());
  EXPECT_TRUE(other.Acquire());
}

TEST_F(SingleInstanceLockTest, WithoutARuntimeFolderTheSettingsFolderIsUsed) {
  CScopedEnv runtime("XDG_RUNTIME_DIR", m_home.Root() + "/missing");
  EXPECT_EQ(CSingleInstanceLock::LockFolder(), m_home.ConfigHome() + "/Pagelint/");
  EXPECT_TRUE(fs::is_directory(m_home.ConfigHome() + "/Pagelint"));
  CScopedEnv relative("XDG_RUNTIME_DIR", "run");
  CSingleInstanceLock first;
  BecomeFirst(first);
  EXPECT_TRUE(fs::exists(m_home.ConfigHome() + "/Pagelint/Pagelint.lock"));
  ExpectSecondStartShows(1);
}

TEST_F(SingleInstanceLockTest, ALongFolderPathStillCarriesRequests) {
  std::string deep = m_home.Root();
  while (deep.size() < 150) {
    deep += "/a-rather-long-folder-name";
  }
  fs::create_directories(deep);
  CScopedEnv runtime("XDG_RUNTIME_DIR", deep);
  CSingleInstanceLock first;
  BecomeFirst(first);
  ExpectSecondStartShows(1);
}

TEST_F(SingleInstanceLockTest, NoUsableFolderLetsTheProgramRunAndLogs) {
  const std::string plainFile = m_home.Root() + "/plain-file";
  testkit::WriteBytes(plainFile, "x");
  LogCapture log; // opened before the settings folder becomes unusable
  CScopedEnv runtime("XDG_RUNTIME_DIR", plainFile);
  CScopedEnv config("XDG_CONFIG_HOME", plainFile);
  CSingleInstanceLock lock;
  EXPECT_TRUE(lock.Acquire());
  EXPECT_FALSE(lock.IsHeld());
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0].rfind("{C0BF057C-5CA7-47CC-B44C-0CD03A572D7C}", 0), 0U);
}

TEST_F(SingleInstanceLockTest, ASecondProcessIsRefusedAndShowsTheFirst) {
  CSingleInstanceLock first;
  BecomeFirst(first);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CSingleInstanceLock second;
    _exit(second.Acquire() ? 1 : 0);
  }
  EXPECT_TRUE(PumpUntilShown(m_window, 1));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
