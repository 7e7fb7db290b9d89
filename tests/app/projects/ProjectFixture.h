#pragma once

#include "projects/WebProject.h"

#include "spellcore/SpellChecker.h"

#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"

#include "testkit/FileBytes.h"
#include "testkit/RealSpeller.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace projectstest {

/// Only reached when the code under test hangs.
constexpr std::chrono::milliseconds kLongWait{60000};

struct SMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

/// Stands in for the main view: records every message that reaches it.
class CViewRecorder : public CFunctionTarget {
public:
  CViewRecorder()
      : CFunctionTarget([this](UINT m, WPARAM w, LPARAM l) {
          received.push_back({m, w, l});
        }) {}

  int Count(UINT message, const CWebProject* project = nullptr) const {
    return static_cast<int>(std::count_if(received.begin(), received.end(), [&](const SMessage& m) {
      return m.message == message &&
             (project == nullptr || m.lParam == reinterpret_cast<LPARAM>(project));
    }));
  }
  /// The last message of this kind; message 0 when none came.
  SMessage Last(UINT message) const {
    for (auto it = received.rbegin(); it != received.rend(); ++it) {
      if (it->message == message) {
        return *it;
      }
    }
    return {0, 0, 0};
  }

  std::vector<SMessage> received;
};

/// One finding: file name, line, start, end.
using Finding = std::tuple<std::string, int, int, int>;

/// A fake home, the real speller on the built main dictionary, a site folder and a
/// recording main view. Projects made by MakeProject are stopped before the speller
/// goes.
class ProjectTest : public testing::Test {
protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(testkit::StartRealSpeller()); }
  void TearDown() override {
    for (auto& project : m_projects) {
      project->StopProject();
    }
    m_projects.clear();
    testkit::StopRealSpeller();
  }

  std::string Root() const { return m_site.Path() + "/"; }
  void WriteSiteFile(const std::string& relative, const std::string& bytes) const {
    const std::string path = Root() + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testkit::WriteBytes(path, bytes);
  }

  CWebProject& MakeProject(const std::string& name, const std::string& root) {
    m_projects.push_back(std::make_unique<CWebProject>());
    CWebProject& project = *m_projects.back();
    project.SetName(name);
    project.SetRootDirectory(root);
    project.SetTargetWindow(m_view.GetSafeHwnd());
    return project;
  }
  CWebProject& MakeProject(const std::string& name = "Site") { return MakeProject(name, Root()); }

  static bool PumpUntil(const std::function<bool()>& done) {
    return CMessageLoop::PumpUntil(done, kLongWait);
  }
  /// Waits for the state, then handles what the worker posted before it set the state
  /// (its last messages may still be queued when the state changes on its thread).
  static bool WaitForState(const CWebProject& project, ECheckState state) {
    if (!PumpUntil([&] { return project.GetCheckState() == state; })) {
      return false;
    }
    CMessageLoop::PumpPending();
    return true;
  }
  /// Starts the project and waits until its first run has ended.
  static void StartAndCheck(CWebProject& project) {
    std::string error;
    ASSERT_TRUE(project.StartProject(error)) << error;
    ASSERT_TRUE(WaitForState(project, ECheckState::Checked));
  }

  /// The findings of `word`, sorted.
  static std::vector<Finding> FindingsOf(const CWebProject& project, const std::string& word) {
    std::vector<Finding> found;
    const CBadWordsList& list = project.GetBadWordsList();
    const CBadWord* badWord = list.FindWord(word);
    if (badWord == nullptr) {
      return found;
    }
    for (const auto& location : badWord->GetLocations()) {
      found.emplace_back(location.GetFileName(), location.line, location.start, location.end);
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_site;
  CViewRecorder m_view;
  std::vector<std::unique_ptr<CWebProject>> m_projects;
};

} // namespace projectstest
