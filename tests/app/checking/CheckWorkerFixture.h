#pragma once

#include "checking/BadWordsList.h"
#include "checking/ProjectCheckWorker.h"
#include "projects/HTMLFile.h"
#include "projects/HTMLFileList.h"

#include "mtcore/FunctionTarget.h"
#include "mtcore/MTWorkerThread.h"
#include "mtcore/MessageLoop.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace checktest {

/// Only reached when the code under test hangs.
constexpr std::chrono::milliseconds kLongWait{60000};
constexpr LPARAM kProject = 0x5EB;

/// One finding as the tests compare it.
struct Finding {
  std::string word;
  std::string fileName;
  int line;
  int start;
  int end;
  bool operator==(const Finding&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Finding& f) {
  return out << f.word << "@" << f.fileName << ":" << f.line << ":" << f.start << "-" << f.end;
}

struct Message {
  UINT id;
  WPARAM wParam;
  LPARAM lParam;
};

/// A site folder, its file list and findings, the real speller with the main
/// dictionary, and a target that records the worker's messages.
class CheckWorkerTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath());
  }
  // The speller's monitor threads must end before the process does: one still posting
  // while the message layer is torn down at exit would race with it.
  static void TearDownTestSuite() { CSpellChecker::DeleteInstance(); }

  std::string Root() const { return m_site.Path() + "/"; }

  /// Writes a file of the site and adds it to the file list (pending).
  CHTMLFile* AddFile(const std::string& name, const std::string& bytes) {
    testkit::WriteBytes(Root() + name, bytes);
    return dynamic_cast<CHTMLFile*>(m_files.Add(Root() + name));
  }

  /// Forgets every finding, writes "page.htm" and checks it with a fresh worker.
  CHTMLFile* CheckPageAfresh(const std::string& bytes, CPageScanner::EAttributeText attributes =
                                                           CPageScanner::EAttributeText::kSkipped) {
    m_words.ClearWords();
    CHTMLFile* file = AddFile("page.htm", bytes);
    file->SetCheckPending(true);
    auto worker = MakeWorker();
    worker->SetAttributeText(attributes);
    auto thread = IdleThread();
    worker->SetWorkerThread(thread.get());
    worker->CheckProjectFile(file);
    return file;
  }

  std::unique_ptr<CProjectCheckWorker> MakeWorker(std::vector<CProjectFilter> filters = {}) {
    return std::make_unique<CProjectCheckWorker>(kProject, &m_files, &m_words,
                                                 m_target.GetSafeHwnd(), Root(), std::move(filters),
                                                 std::vector<int>{0}, "Site");
  }

  /// A thread object that is neither stopped nor doing anything, for calling the
  /// worker's steps on the test thread.
  static std::unique_ptr<CMTWorkerThread> IdleThread() {
    return std::make_unique<CMTWorkerThread>([](void*) { return 0U; }, nullptr);
  }

  /// Starts `worker`'s run on its own thread, as the project does.
  static std::unique_ptr<CMTWorkerThread> StartRun(CProjectCheckWorker& worker) {
    auto thread = std::make_unique<CMTWorkerThread>(
        [](void* parameter) {
          auto* record = static_cast<CProjectCheckWorker*>(parameter);
          while (record->GetWorkerThread() == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
          record->Run();
          return 0U;
        },
        &worker);
    worker.SetWorkerThread(thread.get());
    return thread;
  }

  /// Runs the worker to its end and pumps the messages it posted.
  void RunToEnd(CProjectCheckWorker& worker) {
    auto thread = StartRun(worker);
    ASSERT_TRUE(thread->Wait(INFINITE));
    CMessageLoop::PumpPending();
  }

  /// Every finding, words in list order, locations in list order.
  std::vector<Finding> Findings() const {
    std::vector<Finding> found;
    for (auto position = m_words.GetHeadPosition(); position != 0;) {
      const CBadWord* word = m_words.GetNext(position);
      for (const auto& loc : word->GetLocations()) {
        found.push_back({word->GetWord(), loc.GetFileName(), loc.line, loc.start, loc.end});
      }
    }
    return found;
  }

  std::vector<UINT> MessageIds() const {
    std::vector<UINT> ids;
    for (const Message& message : m_messages) {
      ids.push_back(message.id);
    }
    return ids;
  }

  ScopedTempDir m_site;
  CHTMLFileList m_files;
  CBadWordsList m_words;
  std::vector<Message> m_messages;
  CFunctionTarget m_target{[this](UINT id, WPARAM wParam, LPARAM lParam) {
    m_messages.push_back({id, wParam, lParam});
  }};
};

} // namespace checktest
