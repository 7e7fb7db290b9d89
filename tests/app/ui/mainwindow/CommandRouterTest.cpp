#include "mainwindow/CommandRouter.h"
#include "projects/CommandIds.h"
#include "projects/DocUi.h"
#include "projects/DocView.h"

#include "projects/Doc.h"
#include "projects/DocSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

namespace Id = CommandIds;

/// Which part carried out each command.
using Log = std::vector<std::string>;

/// A document side that logs the dictionary editors it opens.
class CRecordingDocUi : public CDocUi {
public:
  explicit CRecordingDocUi(Log& ran) : m_ran(ran) {}
  int MessageBox(const std::string&, const std::string&, EButtons, const std::string&) override {
    return kAnswerNo;
  }
  bool EditProjectSettings(SProjectSettings&) override { return false; }
  void RefreshProjectBar() override {}
  void PressProjectButton(int) override {}
  void UpdateAllViews(int) override {}
  void ShowWaitCursor(bool) override {}
  HWND GetFirstViewWindow() const override { return 0; }
  void EditDictionary(int id) override { m_ran.push_back("doc " + std::to_string(id)); }
  void SpellCheckWord(std::vector<int>) override {}

private:
  Log& m_ran;
};

/// Enables `enabled` and carries out `handled` of them; says nothing of other ids.
class CFakeView : public CDocView {
public:
  explicit CFakeView(Log& ran) : m_ran(ran) {}
  std::optional<bool> IsCommandEnabled(int id) const override {
    return enabled.count(id) > 0 ? std::optional(true) : std::nullopt;
  }
  bool OnCommand(int id) override {
    if (handled.count(id) == 0) {
      return false;
    }
    m_ran.push_back("view " + std::to_string(id));
    return true;
  }
  void OnUpdate(int) override {}
  HWND GetMessageWindow() const override { return 0; }

  std::set<int> enabled{Id::kEditCopy, Id::kAbout, Id::kTechSupport};
  std::set<int> handled{Id::kEditCopy, Id::kAbout};

private:
  Log& m_ran;
};

TEST(CommandRouter, TheViewThenTheDocumentThenTheFramesOwnHandlersEachWhenEnabled) {
  Log ran;
  CRecordingDocUi ui(ran);
  CDocSettings settings;
  CDoc doc(ui, settings);
  CFakeView view(ran);
  CCommandRouter router(doc);
  router.SetView(&view);
  const auto own = [&ran](int id) { ran.push_back("own " + std::to_string(id)); };
  for (const int id : {Id::kAbout, Id::kTechSupport, Id::kHistory}) {
    router.Add(id, [own, id] { own(id); });
  }
  bool upgraded = false;
  router.Add(
      Id::kUpgradeNotice, [own] { own(Id::kUpgradeNotice); }, [&] { return upgraded; });
  router.AddRange(45056, 45095, own);

  struct SCase {
    int id;
    bool enabled;
    Log ran;
  };
  const std::vector<SCase> cases{
      {Id::kEditCopy, true, {"view 57634"}},
      {Id::kAbout, true, {"view 45034"}},      // the view first, though the frame has it
      {Id::kTechSupport, true, {"own 45036"}}, // the view enables it but leaves it
      {Id::kHistory, true, {"own 45038"}},
      {Id::kUpgradeNotice, false, {}}, // only after an upgrade
      {45060, true, {"own 45060"}},    // a project button
      {CDoc::ID_DICTIONARY_FIRST + 3, true, {"doc 3"}},
      {CDoc::ID_PROJECT_REMOVE, false, {}}, // the document's, and there is no project
      {Id::kFindAgain, false, {}},          // nobody's
  };
  for (const SCase& c : cases) {
    ran.clear();
    EXPECT_EQ(router.IsEnabled(c.id), c.enabled) << c.id;
    EXPECT_EQ(router.Run(c.id), c.enabled) << c.id;
    EXPECT_EQ(ran, c.ran) << c.id;
  }
  upgraded = true;
  ran.clear();
  EXPECT_TRUE(router.Run(Id::kUpgradeNotice));
  EXPECT_EQ(ran, Log{"own 45030"});
  EXPECT_FALSE(router.IsChecked(45056)) << "no current project";
}

} // namespace
