// A project's check run uses every core and yields to the rest of the desktop: each of
// its threads, the run's own and its helpers, runs at the nicest value.
#include "ProjectFixture.h"

#include "checking/ProjectCheckWorker.h"
#include "mtcore/ThreadNice.h"

#include <filesystem>
#include <string>
#include <thread>

namespace projectstest {
namespace {

class CheckThreadsTest : public ProjectTest {};

/// How many threads of this process run at the nicest value.
int CountIdleThreads() {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    const pid_t tid = std::stoi(task.path().filename().string());
    count += CThreadNice::Of(tid) == CThreadNice::kIdle ? 1 : 0;
  }
  return count;
}

TEST_F(CheckThreadsTest, ANewProjectChecksWithAThreadForEveryCoreAtTheIdlePriority) {
  const unsigned int cores = std::thread::hardware_concurrency();
  EXPECT_EQ(CWebProject::DefaultCheckParallelism(), cores == 0 ? 1 : static_cast<int>(cores));
  const CWebProject& project = MakeProject();
  EXPECT_EQ(project.GetCheckParallelism(), CWebProject::DefaultCheckParallelism());
  EXPECT_EQ(project.GetCheckPriority(), CWebProject::kIdleCheckPriority);
}

// The threads are caught while they wait for the findings, which this thread holds.
TEST_F(CheckThreadsTest, EveryThreadOfARunIsAtTheNicestValue) {
  constexpr int kThreads = 2;
  for (int page = 0; page < 6; ++page) {
    WriteSiteFile("p" + std::to_string(page) + ".html", "<p>teh qwzx</p>\n");
  }
  CWebProject& project = MakeProject();
  project.SetCheckParallelism(kThreads);
  std::string error;
  ASSERT_TRUE(project.StartProject(error)) << error;
  ASSERT_TRUE(WaitForState(project, ECheckState::Checked));
  ASSERT_TRUE(PumpUntil([] { return CountIdleThreads() == 0; })) << "the first run's threads end";
  const int ownNice = CThreadNice::OfCallingThread();

  project.StartCheckWorker();
  project.HoldReaderAccess();
  EXPECT_TRUE(PumpUntil([] { return CountIdleThreads() == kThreads; }));
  EXPECT_EQ(CThreadNice::OfCallingThread(), ownNice) << "the user interface thread keeps its own";
  project.ReleaseHeldAccess();
  ASSERT_TRUE(WaitForState(project, ECheckState::Checked));
  EXPECT_EQ(FindingsOf(project, "teh").size(), 6U);
}

} // namespace
} // namespace projectstest
