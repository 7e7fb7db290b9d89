// The dictionary editor over a custom dictionary of 100,000 words: opening, scrolling
// through, finding a word near the end and saving. Runs inside ui_bench, whose main
// points the home folders at a temporary folder.
#include "dictionaries/DictionaryEditorDlg.h"
#include "widgets/GridView.h"

#include "spellcore/SpellChecker.h"

#include "utilcore/DirUtils.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kDictionaryWords = 100000;

/// Made-up words, distinct, in no particular order.
std::vector<std::string> MadeUpWords() {
  std::vector<std::string> words;
  words.reserve(kDictionaryWords);
  for (int index = 0; index < kDictionaryWords; ++index) {
    std::string word = "w";
    for (int rest = (index * 7919) % kDictionaryWords; rest > 0; rest /= 26) {
      word += static_cast<char>('a' + rest % 26);
    }
    words.push_back(word + std::to_string(index % 10));
  }
  return words;
}

/// The speller with the big dictionary, released when it goes.
class CBigDictionary {
public:
  CBigDictionary() {
    CSpellChecker* speller = CSpellChecker::GetInstance();
    speller->SetAppPath(CDirUtils::GetAppPath());
    speller->AddCustomDictionary("Big");
    m_id = speller->GetDictionaryID("Big");
    speller->SetWords(m_id, TextArray(MadeUpWords()));
  }
  ~CBigDictionary() { CSpellChecker::DeleteInstance(); }
  CBigDictionary(const CBigDictionary&) = delete;
  CBigDictionary& operator=(const CBigDictionary&) = delete;

  int Id() const { return m_id; }

private:
  int m_id = -1;
};

/// Opens the editor shown, laid out and painted.
std::unique_ptr<CDictionaryEditorDlg> OpenEditor(int id) {
  auto editor = std::make_unique<CDictionaryEditorDlg>(nullptr, id, CWordFinder::SOptions{},
                                                       CShadedDialog::HelpOpener());
  editor->resize(520, 400);
  editor->show();
  QApplication::processEvents();
  return editor;
}

void BM_EditorOpens(benchmark::State& state) {
  CBigDictionary dictionary;
  for (auto _ : state) {
    auto editor = OpenEditor(dictionary.Id());
    benchmark::DoNotOptimize(editor.get());
  }
  state.counters["words"] = kDictionaryWords;
}
BENCHMARK(BM_EditorOpens)->Unit(benchmark::kMillisecond)->Iterations(5);

/// From the first row to the last in page steps, each painted.
void BM_EditorScrollsThrough(benchmark::State& state) {
  CBigDictionary dictionary;
  auto editor = OpenEditor(dictionary.Id());
  QScrollBar* bar = editor->findChild<CGridView*>("wordGrid")->verticalScrollBar();
  for (auto _ : state) {
    for (int value = 0; value <= bar->maximum(); value += bar->maximum() / 50) {
      bar->setValue(value);
      QApplication::processEvents();
    }
  }
  state.counters["pages"] = 51;
}
BENCHMARK(BM_EditorScrollsThrough)->Unit(benchmark::kMillisecond)->Iterations(5);

/// Searching upward from the first row for a word that is only in the last one
/// wraps round once through all 100,000 rows.
void BM_EditorFindsAgain(benchmark::State& state) {
  CBigDictionary dictionary;
  auto editor = OpenEditor(dictionary.Id());
  auto* grid = editor->findChild<CGridView*>("wordGrid");
  const int last = grid->model()->rowCount() - 1;
  const std::string wanted = grid->model()->index(last, 0).data().toString().toStdString();
  // The word is typed into the find window once; F3 repeats the search.
  QTimer::singleShot(0, [&wanted] {
    auto* find = QApplication::activeModalWidget();
    find->findChild<QLineEdit*>("findEdit")->setText(QString::fromStdString(wanted));
    find->findChild<QPushButton*>("findButton")->click();
  });
  editor->findChild<QPushButton*>("findButton")->click();
  QApplication::setActiveWindow(editor.get());
  for (auto _ : state) {
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_F3);
    QApplication::processEvents();
  }
  state.counters["found_row"] = grid->currentIndex().row();
}
BENCHMARK(BM_EditorFindsAgain)->Unit(benchmark::kMillisecond)->Iterations(5);

/// Paste puts a new word into its sorted place.
void BM_EditorPastesAWord(benchmark::State& state) {
  CBigDictionary dictionary;
  auto editor = OpenEditor(dictionary.Id());
  auto* paste = editor->findChild<QPushButton*>("pasteButton");
  int next = 0;
  for (auto _ : state) {
    QApplication::clipboard()->setText(QStringLiteral("Pasted%1").arg(next++));
    paste->click();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_EditorPastesAWord)->Unit(benchmark::kMillisecond)->Iterations(5);

/// OK writes all the words back, the dictionary file included.
void BM_EditorSaves(benchmark::State& state) {
  CBigDictionary dictionary;
  for (auto _ : state) {
    state.PauseTiming();
    auto editor = OpenEditor(dictionary.Id());
    state.ResumeTiming();
    editor->accept();
  }
}
BENCHMARK(BM_EditorSaves)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
