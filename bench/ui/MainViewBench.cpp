// The main view's refill at the end of a run over a 10,000-page site: some 40,000
// words with 750,000 findings. Run with a display or QT_QPA_PLATFORM=offscreen.
#include "mainwindow/MainView.h"

#include "checking/BadWordsList.h"
#include "checking/ProjectCheckWorker.h"
#include "projects/Doc.h"
#include "projects/DocUi.h"
#include "projects/WebProject.h"

#include "spellcore/SpellChecker.h"

#include "mtcore/MessageLoop.h"
#include "utilcore/DirUtils.h"

#include "app/QtMessagePump.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QTimer>

#include <fstream>

#include "PeakMemory.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWords = 40000;
constexpr int kPages = 10000;
constexpr int kFindingsPerPage = 75;

/// Every folder the program writes to lies in a temporary folder, removed at exit.
class CBenchHome {
public:
  CBenchHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pagelint-ui-bench-XXXXXX");
    m_root = mkdtemp(pattern.data());
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "TMPDIR", "WINEPREFIX"}) {
      const std::string folder = m_root + "/" + name;
      std::filesystem::create_directories(folder);
      setenv(name, folder.c_str(), 1);
    }
    std::filesystem::create_directories(Site());
  }
  ~CBenchHome() { std::filesystem::remove_all(m_root); }
  CBenchHome(const CBenchHome&) = delete;
  CBenchHome& operator=(const CBenchHome&) = delete;

  std::string Site() const { return m_root + "/site/"; }

private:
  std::string m_root;
};

CBenchHome* g_home = nullptr;

class CBenchDocUi : public CDocUi {
public:
  int MessageBox(const std::string&, const std::string&, EButtons, const std::string&) override {
    return kAnswerYes;
  }
  bool EditProjectSettings(SProjectSettings& settings) override {
    settings.name = "Big";
    settings.rootDirectory = root.empty() ? g_home->Site() : root;
    return true;
  }
  void RefreshProjectBar() override {}
  void PressProjectButton(int) override {}
  void UpdateAllViews(int hint) override { view->OnUpdate(hint); }
  void ShowWaitCursor(bool) override {}
  HWND GetFirstViewWindow() const override { return view->GetMessageWindow(); }
  void EditDictionary(int) override {}
  void SpellCheckWord(std::vector<int>) override {}

  CMainView* view = nullptr;
  std::string root; ///< the site a new project gets; empty: the home's site folder
};

std::string WordText(int index) {
  std::string word = index % 7 == 0 ? "Q" : "q";
  for (int rest = index; rest > 0; rest /= 26) {
    word += static_cast<char>('a' + rest % 26);
  }
  return word + "zx";
}

void RecordFindings(CBadWordsList& list) {
  std::mt19937 random(7);
  std::vector<CBadWordsList::SFileFindings> findings(kFindingsPerPage);
  for (int page = 0; page < kPages; ++page) {
    for (CBadWordsList::SFileFindings& finding : findings) {
      finding.text = WordText(static_cast<int>(random() % kWords));
      finding.locations.resize(1);
      finding.locations[0].line = static_cast<int>(random() % 400);
      finding.locations[0].start = 10;
      finding.locations[0].end = 10 + static_cast<int>(finding.text.size());
      finding.locations[0].context = "a line of text around " + finding.text + " here";
    }
    list.RecordFileFindings(g_home->Site() + "folder" + std::to_string(page % 50) + "/",
                            "page" + std::to_string(page) + ".html", findings);
  }
}

/// The speller, a document and the view, with one project added for `root` (empty:
/// the home's site folder); closed and released when it goes.
class CBenchWindow {
public:
  explicit CBenchWindow(const std::string& root) : m_doc(m_ui, m_settings), m_view(m_doc, nullptr) {
    m_ui.view = &m_view;
    m_ui.root = root;
    m_doc.OnNewDocument();
    m_view.OnInitialUpdate();
    m_view.resize(900, 500);
    m_view.show();
    m_doc.OnCommand(CDoc::ID_PROJECT_ADD);
  }
  ~CBenchWindow() {
    m_doc.OnCloseDocument();
    CSpellChecker::DeleteInstance();
  }
  CBenchWindow(const CBenchWindow&) = delete;
  CBenchWindow& operator=(const CBenchWindow&) = delete;

  CMainView& View() { return m_view; }
  CWebProject& Project() { return *m_doc.GetCurrentProject(); }

private:
  /// The projects take their dictionaries from the speller as the document loads.
  struct SSpeller {
    SSpeller() { CSpellChecker::GetInstance()->SetAppPath(CDirUtils::GetAppPath()); }
  } m_speller;
  CDocSettings m_settings;
  CBenchDocUi m_ui;
  CDoc m_doc;
  CMainView m_view;
};

void BM_RefillAfterRun(benchmark::State& state) {
  CBenchWindow window("");
  CMainView& view = window.View();
  CWebProject& project = window.Project();
  project.OnProjectStart();
  CMessageLoop::PumpUntil([&] { return project.GetCheckState() == ECheckState::Checked; },
                          std::chrono::seconds(60));
  CMessageLoop::PumpPending();
  RecordFindings(project.GetBadWordsList());
  state.counters["words"] = project.GetBadWordsList().GetWordCount();

  for (auto _ : state) {
    PostMessage(view.GetMessageWindow(), CProjectCheckWorker::MSG_PROJECT_CHECK_DONE, 0,
                reinterpret_cast<LPARAM>(&project));
    CMessageLoop::PumpPending();
    QApplication::processEvents(); // layout and paint
  }
}
BENCHMARK(BM_RefillAfterRun)->Unit(benchmark::kMillisecond)->Iterations(20);

/// Writes the 10,000 pages: ordinary text with some 75 unrecognized words each, drawn
/// from 40,000 made-up ones, in folders of 100.
void WriteSite(const std::string& root) {
  std::mt19937 random(11);
  for (int page = 0; page < kPages; ++page) {
    const std::string folder = root + "part" + std::to_string(page / 100) + "/";
    std::filesystem::create_directories(folder);
    std::ofstream out(folder + "page" + std::to_string(page) + ".html");
    out << "<html><head><title>A page</title></head><body>\n";
    for (int k = 0; k < kFindingsPerPage; ++k) {
      out << "<p>The cat sat on the mat and " << WordText(static_cast<int>(random() % kWords))
          << " went home.</p>\n";
    }
    out << "</body></html>\n";
  }
}

/// The site of the whole-run benchmark: PAGELINT_BENCH_SITE names one (so the program
/// can be measured on the very site `pagelint-check` was), else the made-up one.
std::string WholeRunSite() {
  if (const char* given = std::getenv("PAGELINT_BENCH_SITE"); given != nullptr && *given != 0) {
    std::string site = given;
    return site.back() == '/' ? site : site + "/";
  }
  const std::string site = g_home->Site() + "big/";
  if (!std::filesystem::exists(site)) {
    WriteSite(site);
  }
  return site;
}

/// A whole run with the event loop turning, on as many threads as the argument says:
/// when the first words show (the counter and the placeholder), when the full list is
/// on screen, the longest time the user interface thread did not get round to a 10 ms
/// timer, and the process's peak memory so far.
void BM_CheckWhileTheWindowResponds(benchmark::State& state) {
  const std::string site = WholeRunSite();
  if (!std::filesystem::is_directory(site)) {
    // Else the run would wait out its five minutes for words that never come.
    state.SkipWithError("PAGELINT_BENCH_SITE names no folder");
    return;
  }
  for (auto _ : state) {
    CQtMessagePump pump;
    CBenchWindow window(site);
    CMainView& view = window.View();
    CWebProject& project = window.Project();
    project.SetCheckParallelism(static_cast<int>(state.range(0)));

    auto* counter = view.findChild<QLabel*>("wordCount");
    auto* words = view.findChild<QListView*>("wordsList");
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    qint64 firstCount = -1;
    qint64 fullList = -1;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      const qint64 now = clock.elapsed();
      longestGap = std::max(longestGap, now - lastTick);
      lastTick = now;
      if (firstCount < 0 && QString(counter->text()).remove(',').toInt() > 0) {
        firstCount = now;
      }
      if (fullList < 0 && project.IsCheckedOnce() && words->model()->rowCount() > 1) {
        fullList = now;
      }
    });
    clock.start();
    ticker.start();
    project.OnProjectStart();
    while (fullList < 0 && clock.elapsed() < 300000) {
      // Waits as the program's event loop does (the ticker wakes it): the form with a
      // time limit polls without sleeping and takes a core from the checking threads.
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    ticker.stop();
    state.counters["first_count_ms"] = static_cast<double>(firstCount);
    state.counters["full_list_ms"] = static_cast<double>(fullList);
    state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
    state.counters["words"] = words->model()->rowCount();
    state.counters["run_s"] = project.GetElapsedSeconds();
    state.counters["peak_mib"] = PeakMemoryMiB();
  }
}
BENCHMARK(BM_CheckWhileTheWindowResponds)->Arg(2)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
  CBenchHome home;
  g_home = &home;
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
