// The project settings window's drop-down of a big site's folders: 10,000 of them
// listed and sorted (away from the window), then put into the filter editor's list and
// shown (on the window's thread, where a user would feel it).
#include "projects/FilterChoices.h"
#include "projectsettings/FilterDelegate.h"

#include "checking/ProjectFilter.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <QStringList>
#include <QStyleOptionViewItem>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

constexpr int kTopFolders = 100;
constexpr int kFoldersEach = 99; // with the top ones, 10,000 folders

/// A site of 10,000 empty folders in the temporary folder, gone with the program.
class CFolderSite {
public:
  CFolderSite()
      : m_root(std::filesystem::temp_directory_path() /
               ("pagelint-bench-folders-" + std::to_string(::getpid()))) {
    for (int top = 0; top < kTopFolders; ++top) {
      const auto folder = m_root / ("section" + std::to_string(top));
      for (int sub = 0; sub < kFoldersEach; ++sub) {
        std::filesystem::create_directories(folder / ("page" + std::to_string(sub)));
      }
    }
  }
  ~CFolderSite() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
  }
  CFolderSite(const CFolderSite&) = delete;
  CFolderSite& operator=(const CFolderSite&) = delete;

  std::string Root() const { return m_root.string() + "/"; }

private:
  std::filesystem::path m_root;
};

const CFolderSite& Site() {
  static const CFolderSite site;
  return site;
}

QStringList ListFolders() {
  QStringList choices;
  for (const std::string& path :
       CFilterChoices::List(Site().Root(), CProjectFilter::SUB_DIRECTORY)) {
    choices << QString::fromStdString(path);
  }
  return choices;
}

void BM_ListTenThousandFolders(benchmark::State& state) {
  qsizetype listed = 0;
  for (auto _ : state) {
    listed = ListFolders().size();
  }
  state.counters["folders"] = static_cast<double>(listed);
}
BENCHMARK(BM_ListTenThousandFolders)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ShowTenThousandFolderChoices(benchmark::State& state) {
  const QStringList choices = ListFolders();
  QStandardItemModel rows(1, 2);
  rows.setData(rows.index(0, CFilterDelegate::kTypeColumn), CProjectFilter::SUB_DIRECTORY,
               CFilterDelegate::kTypeRole);
  CFilterDelegate delegate([&choices](std::int32_t, QComboBox* box) { box->addItems(choices); },
                           nullptr);
  QWidget parent;
  int shown = 0;
  for (auto _ : state) {
    std::unique_ptr<QWidget> editor(delegate.createEditor(
        &parent, QStyleOptionViewItem(), rows.index(0, CFilterDelegate::kSpecificationColumn)));
    auto* box = qobject_cast<QComboBox*>(editor.get());
    box->showPopup();
    box->hidePopup();
    shown = box->count();
  }
  state.counters["choices"] = shown;
}
BENCHMARK(BM_ShowTenThousandFolderChoices)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
