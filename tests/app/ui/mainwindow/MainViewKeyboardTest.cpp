#include "mainwindow/MainViewFixture.h"

#include "projects/CommandIds.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

namespace {

using viewtest::MainViewTest;

const std::vector<std::pair<std::string, std::string>> kSite{
    {"a.html", "<p>The teh cat sat on a wrld.</p>\n"},
    {"b.html", "<p>A teh and a speling.</p>\n"},
};

class MainViewKeyboard : public MainViewTest {
protected:
  /// The checked site in an active window, with "teh" selected.
  void ShowChecked() {
    CheckSite(kSite);
    m_view->show();
    QApplication::setActiveWindow(m_view.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_view.get()));
    Select(Words(), "teh");
  }
};

TEST_F(MainViewKeyboard, EachCaptionsMnemonicMovesTheFocusToItsControl) {
  ShowChecked();
  const std::pair<char, const char*> mnemonics[] = {
      {'S', "suggestionsList"}, {'O', "filesList"}, {'L', "replaceEdit"},
      {'H', "withEdit"},        {'N', "wordsList"},
  };
  for (const auto& [key, control] : mnemonics) {
    QTest::keyClick(m_view.get(), key, Qt::AltModifier);
    ASSERT_NE(QApplication::focusWidget(), nullptr) << key;
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), control) << key;
  }
}

TEST_F(MainViewKeyboard, TypingSpaceAndEnterDoWhatTheUserExpects) {
  ShowChecked();
  // Typing in the word list finds the word.
  Words()->setFocus();
  QTest::keyClicks(Words(), "sp");
  EXPECT_EQ(Words()->currentIndex().data().toString(), "speling");
  Select(Words(), "teh");

  // Space toggles the check box of the current file.
  Files()->setFocus();
  Files()->setCurrentIndex(Find(Files(), "a.html"));
  QTest::keyClick(Files(), Qt::Key_Space);
  EXPECT_FALSE(IsChecked(Files(), "a.html"));
  QTest::keyClick(Files(), Qt::Key_Space);
  EXPECT_TRUE(IsChecked(Files(), "a.html"));

  // Enter in With replaces nothing; Tab leads on to the Replace button.
  guitest::ScriptedAnswers script;
  With()->setFocus();
  QTest::keyClicks(With(), "the");
  QTest::keyClick(With(), Qt::Key_Return);
  EXPECT_TRUE(script.Questions().empty());
  EXPECT_EQ(Page("a.html"), kSite[0].second);
  EXPECT_FALSE(Button("undoButton")->isEnabled());
  QTest::keyClick(With(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Button("replaceButton"));
  QTest::keyClick(Button("replaceButton"), Qt::Key_Space);
  EXPECT_NE(Page("a.html"), kSite[0].second) << "the button itself replaces";
}

TEST_F(MainViewKeyboard, ClipboardCommandsFollowTheFocus) {
  ShowChecked();
  Words()->setFocus();
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kEditCopy), true);
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kEditCut), false);
  EXPECT_TRUE(m_view->OnCommand(CommandIds::kEditCopy));
  EXPECT_EQ(QApplication::clipboard()->text(), "teh");

  With()->setFocus();
  With()->setText("the");
  With()->selectAll();
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kEditCut), true);
  EXPECT_TRUE(m_view->OnCommand(CommandIds::kEditCut));
  EXPECT_TRUE(With()->text().isEmpty());
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kEditPaste), true);
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kEditUndo), true);

  ReplaceField()->setFocus();
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kEditPaste), false) << "read-only";
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kEditSelectAll), true);
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kSettings), false) << "no settings window given";
  EXPECT_FALSE(m_view->OnCommand(CommandIds::kSettings));
  EXPECT_EQ(m_view->IsCommandEnabled(CommandIds::kSpellCheckWord), std::nullopt);
}

} // namespace
