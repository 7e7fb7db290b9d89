#include "GuiTestKit.h"

#include "mainwindow/ProgressPresenter.h"
#include "mainwindow/StatusProgress.h"

#include "checking/ProjectCheckWorker.h"
#include "projects/WebProject.h"

#include "spellcore/SpellChecker.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

TEST(ProgressPresenter, ARunOfMoreThan65535PagesCountsWholeAndEndsWithoutANote) {
  guitest::Application();
  QStatusBar bar;
  CStatusProgress pane(&bar);
  CProgressPresenter progress(&pane);
  {
    const CWebProject project; // no files: no folder in the text
    progress.CollectBegin();
    EXPECT_EQ(pane.Label()->text(), "finding project files: ");
    progress.CheckBegin(project, CProjectCheckWorker::MakeProgressParam(70000, 0));
    EXPECT_EQ(pane.Bar()->maximum(), 70000);
    EXPECT_EQ(pane.Label()->text(), "spell-checking ... ");
    progress.FileChecked(project, CProjectCheckWorker::MakeProgressParam(70000, 65537));
    EXPECT_EQ(pane.Bar()->value(), 65537);
    EXPECT_EQ(pane.Bar()->maximum(), 70000);
    progress.CheckDone(project);
    EXPECT_FALSE(pane.IsShown());
    EXPECT_TRUE(pane.Label()->isHidden()) << "nothing was skipped";

    // Without a pane nothing is shown, and nothing breaks.
    CProgressPresenter none(nullptr);
    none.CollectBegin();
    none.FileChecked(project, CProjectCheckWorker::MakeProgressParam(3, 1));
    none.CheckDone(project);
    none.Hide();
  }
  CSpellChecker::DeleteInstance();
}

} // namespace
