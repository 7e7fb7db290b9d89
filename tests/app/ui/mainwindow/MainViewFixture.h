#pragma once

#include "GuiTestKit.h"
#include "mainwindow/MainView.h"
#include "mainwindow/StatusProgress.h"

#include "projects/Doc.h"
#include "projects/DocUi.h"
#include "projects/WebProject.h"

#include "spellcore/SpellChecker.h"

#include "mtcore/MessageLoop.h"

#include "testkit/FileBytes.h"
#include "testkit/RealSpeller.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace viewtest {

/// The document's side of the windows: one project made from the test's name and root,
/// the view updated, every document question answered Yes.
class CTestDocUi : public CDocUi {
public:
  int MessageBox(const std::string&, const std::string&, EButtons, const std::string&) override {
    return kAnswerYes;
  }
  bool EditProjectSettings(SProjectSettings& settings) override {
    settings.name = projectName;
    settings.rootDirectory = projectRoot;
    return true;
  }
  void RefreshProjectBar() override {}
  void PressProjectButton(int) override {}
  void UpdateAllViews(int hint) override {
    if (view != nullptr) {
      view->OnUpdate(hint);
    }
  }
  void ShowWaitCursor(bool) override {}
  HWND GetFirstViewWindow() const override { return view ? view->GetMessageWindow() : 0; }
  void EditDictionary(int) override {}
  void SpellCheckWord(std::vector<int>) override {}

  CMainView* view = nullptr;
  std::string projectName;
  std::string projectRoot;
};

/// A fake home, the real speller on the built main dictionary, a document with the
/// view over it, and a site folder.
class MainViewTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(testkit::StartRealSpeller());
    m_view = std::make_unique<CMainView>(m_doc, &m_progress);
    m_ui.view = m_view.get();
    ASSERT_TRUE(m_doc.OnNewDocument());
    m_view->OnInitialUpdate();
    m_view->resize(900, 500);
  }
  void TearDown() override {
    m_doc.OnCloseDocument();
    m_view.reset();
    testkit::StopRealSpeller();
  }

  std::string Root() const { return m_site.Path() + "/"; }
  void WriteSite(const std::vector<std::pair<std::string, std::string>>& pages) const {
    for (const auto& [relative, bytes] : pages) {
      std::filesystem::create_directories(std::filesystem::path(Root() + relative).parent_path());
      testkit::WriteBytes(Root() + relative, bytes);
    }
  }
  std::string Page(const std::string& relative) const {
    return testkit::ReadBytes(Root() + relative);
  }

  /// Adds the site as the current project and waits until its first run has ended and
  /// the view has handled every message of it.
  CWebProject& CheckSite(const std::vector<std::pair<std::string, std::string>>& pages) {
    WriteSite(pages);
    m_ui.projectName = "Site";
    m_ui.projectRoot = Root();
    EXPECT_TRUE(m_doc.OnCommand(CDoc::ID_PROJECT_ADD));
    CWebProject& project = *m_doc.GetCurrentProject();
    project.OnProjectStart(); // no start delay
    EXPECT_TRUE(CMessageLoop::PumpUntil(
        [&] { return project.GetCheckState() == ECheckState::Checked; }, std::chrono::seconds(60)));
    CMessageLoop::PumpPending();
    return project;
  }
  /// The view handles what was posted to it.
  void Post(UINT message, WPARAM wParam, const CWebProject& project) const {
    ASSERT_TRUE(PostMessage(m_view->GetMessageWindow(), message, wParam,
                            reinterpret_cast<LPARAM>(&project)));
    CMessageLoop::PumpPending();
  }

  template <typename T> T* Control(const char* name) const {
    T* control = m_view->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QListView* Words() const { return Control<QListView>("wordsList"); }
  QListView* Suggestions() const { return Control<QListView>("suggestionsList"); }
  QListView* Files() const { return Control<QListView>("filesList"); }
  QLineEdit* ReplaceField() const { return Control<QLineEdit>("replaceEdit"); }
  QLineEdit* With() const { return Control<QLineEdit>("withEdit"); }
  QPushButton* Button(const char* name) const { return Control<QPushButton>(name); }
  QString Text(const char* label) const { return Control<QLabel>(label)->text(); }

  static std::vector<std::string> Entries(const QListView* list) {
    std::vector<std::string> entries;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      entries.push_back(model->index(row, 0).data().toString().toStdString());
    }
    return entries;
  }
  static QModelIndex Find(const QListView* list, const std::string& entry) {
    const QModelIndexList found =
        list->model()->match(list->model()->index(0, 0), Qt::DisplayRole,
                             QString::fromStdString(entry), 1, Qt::MatchExactly);
    return found.isEmpty() ? QModelIndex() : found.front();
  }
  /// Selects the entry as a click would.
  static void Select(QListView* list, const std::string& entry) {
    const QModelIndex index = Find(list, entry);
    ASSERT_TRUE(index.isValid()) << entry;
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  }
  /// Sets the entry's check box as a click on it would.
  static void Check(QListView* list, const std::string& entry, bool checked) {
    const QModelIndex index = Find(list, entry);
    ASSERT_TRUE(index.isValid()) << entry;
    list->model()->setData(index, checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
  }
  static bool IsChecked(const QListView* list, const std::string& entry) {
    return Find(list, entry).data(Qt::CheckStateRole).toInt() == Qt::Checked;
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_site;
  CDocSettings m_settings;
  CTestDocUi m_ui;
  CDoc m_doc{m_ui, m_settings};
  QStatusBar m_statusBar;
  CStatusProgress m_progress{&m_statusBar};
  std::unique_ptr<CMainView> m_view;
};

} // namespace viewtest
