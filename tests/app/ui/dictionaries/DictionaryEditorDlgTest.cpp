// The dictionary editor and the add-words window, driven as a user drives them.
#include "dictionaries/DictionaryEditorDlg.h"
#include "FrameTestKit.h"
#include "GuiTestKit.h"
#include "dictionaries/AddWordsDlg.h"
#include "dictionaries/FindDlg.h"
#include "widgets/GridView.h"

#include "spellcore/SpellChecker.h"

#include "utilcore/ZebUtils.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
using Words = std::vector<std::string>;

const char* const kName = "Test Words";

class DictionaryEditorTest : public testing::Test {
protected:
  DictionaryEditorTest() {
    guitest::Application();
    QApplication::clipboard()->clear();
    CSpellChecker* speller = CSpellChecker::GetInstance();
    speller->SetAppPath(frametest::AppDirectory());
    EXPECT_TRUE(speller->AddCustomDictionary(kName));
    m_id = speller->GetDictionaryID(kName);
  }
  ~DictionaryEditorTest() override {
    m_editor.reset();
    CSpellChecker::DeleteInstance();
  }

  /// The editor over a dictionary of `words`, shown and active.
  CDictionaryEditorDlg& Open(const Words& words, const CWordFinder::SOptions& options = {}) {
    CSpellChecker::GetInstance()->SetWords(m_id, TextArray(words));
    m_editor = std::make_unique<CDictionaryEditorDlg>(
        nullptr, m_id, options, [this](const std::string& topic) { m_topics.push_back(topic); });
    m_editor->show();
    Activate();
    return *m_editor;
  }

  CGridView& Grid() const { return *m_editor->findChild<CGridView*>("wordGrid"); }
  QPushButton& Button(const char* name) const { return *m_editor->findChild<QPushButton*>(name); }
  Words Rows() const {
    Words rows;
    const QAbstractItemModel& model = *Grid().model();
    for (int row = 0; row < model.rowCount(); ++row) {
      rows.push_back(model.index(row, 0).data().toString().toStdString());
    }
    return rows;
  }
  int CurrentRow() const { return Grid().currentIndex().row(); }
  Words Saved() const {
    TextArray words;
    CSpellChecker::GetInstance()->GetWords(m_id, words);
    return words.Items();
  }
  /// Which of the editor's buttons are enabled, in a fixed order.
  std::string EnabledButtons() const {
    std::string enabled;
    for (const char* name : {"findButton", "copyButton", "selectAllButton", "addButton",
                             "pasteButton", "removeButton", "okButton"}) {
      if (Button(name).isEnabled()) {
        enabled += std::string(enabled.empty() ? "" : " ") + name;
      }
    }
    return enabled;
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&Grid(), static_cast<Qt::Key>(key), modifiers);
  }
  /// Clicks `button`, letting `handler` play the user in the window that opens.
  template <class Dialog>
  void ClickWithDialog(const char* button, const std::function<void(Dialog&)>& handler) {
    std::vector<std::string> opened;
    frametest::CModalWatcher watcher(opened, [&](QDialog& dialog) {
      auto* typed = qobject_cast<Dialog*>(&dialog);
      ASSERT_NE(typed, nullptr) << dialog.objectName().toStdString();
      handler(*typed);
    });
    QTest::mouseClick(&Button(button), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1U);
    Activate();
  }
  /// The editor becomes the active window again, as it does when a window over it
  /// closes on a desktop.
  void Activate() {
    QApplication::setActiveWindow(m_editor.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_editor.get()));
  }
  void AddTyped(const char* text) {
    ClickWithDialog<CAddWordsDlg>("addButton", [&](CAddWordsDlg& dialog) {
      dialog.findChild<QPlainTextEdit*>("wordsEdit")->setPlainText(QString::fromUtf8(text));
      QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
  }

  ScopedFakeHome m_home;
  int m_id = -1;
  std::unique_ptr<CDictionaryEditorDlg> m_editor;
  Words m_topics;
};

TEST_F(DictionaryEditorTest, OpensSortedAndNumberedWithTheDictionarysName) {
  Open({"beta", "alpha"});
  EXPECT_EQ(Rows(), (Words{"alpha", "beta"}));
  const QAbstractItemModel& model = *Grid().model();
  EXPECT_EQ(model.headerData(0, Qt::Vertical).toInt(), 1);
  EXPECT_EQ(model.headerData(1, Qt::Vertical).toInt(), 2);
  EXPECT_EQ(model.headerData(1, Qt::Vertical, Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(m_editor->windowTitle(), kName);
  EXPECT_TRUE(Grid().isEnabled());
  EXPECT_EQ(CurrentRow(), 0);
  EXPECT_EQ(EnabledButtons(), "findButton copyButton selectAllButton addButton removeButton");
  EXPECT_EQ(m_editor->property("ctrlId").toInt(), 401);
  EXPECT_EQ(Grid().property("ctrlId").toInt(), 6025);
}

TEST_F(DictionaryEditorTest, AnEmptyDictionaryShowsTheMessageAndPasteFollowsTheClipboard) {
  Open({});
  EXPECT_FALSE(Grid().isEnabled());
  EXPECT_EQ(Grid().EmptyText(), "The dictionary is empty.");
  EXPECT_EQ(EnabledButtons(), "addButton");
  QApplication::clipboard()->setText("Hello\tWorld!\n~\n");
  EXPECT_EQ(EnabledButtons(), "addButton pasteButton");
  QApplication::clipboard()->setText("");
  EXPECT_EQ(EnabledButtons(), "addButton");
  QApplication::clipboard()->setText("Hello\tWorld!\n~\n");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Rows(), (Words{"hello", "world"}));
  EXPECT_TRUE(Grid().isEnabled());
  EXPECT_EQ(EnabledButtons(),
            "findButton copyButton selectAllButton addButton pasteButton removeButton okButton");
}

TEST_F(DictionaryEditorTest, AddedWordsAreNormalisedAndSortedAndPresentOnesAddNothing) {
  struct SCase {
    const char* typed;
    Words rows;
    int current;
    bool okEnabled;
  };
  for (const SCase& c : {SCase{"Gamma, delta", {"alpha", "beta", "delta", "gamma"}, 3, true},
                         SCase{"ALPHA\nbeta.", {"alpha", "beta"}, 0, false}}) {
    Open({"beta", "alpha"});
    AddTyped(c.typed);
    EXPECT_EQ(Rows(), c.rows) << c.typed;
    EXPECT_EQ(CurrentRow(), c.current) << c.typed;
    EXPECT_EQ(Button("okButton").isEnabled(), c.okEnabled) << c.typed;
  }
}

TEST_F(DictionaryEditorTest, AnEditedWordIsSplitAndSortedAndEscapeKeepsTheWindow) {
  Open({"beta", "alpha", "zulu"});
  Grid().setCurrentIndex(Grid().model()->index(1, 0));
  Key(Qt::Key_Escape);
  EXPECT_TRUE(m_editor->isVisible());
  Key(Qt::Key_Return);
  auto* editor = Grid().findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "Two Words");
  QTest::keyClick(editor, Qt::Key_Return);
  // The editor commits, then the edit is taken, each once the events at hand are done.
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_TRUE(m_editor->isVisible());
  EXPECT_EQ(Rows(), (Words{"alpha", "two", "words", "zulu"}));
  EXPECT_EQ(CurrentRow(), 1);
  EXPECT_TRUE(Button("okButton").isEnabled());
}

TEST_F(DictionaryEditorTest, RemoveTakesTheSelectionOrTheFocusedRow) {
  Open({"a", "b", "c", "d", "e"});
  Grid().setCurrentIndex(Grid().model()->index(4, 0));
  Grid().selectionModel()->clearSelection();
  QTest::mouseClick(&Button("removeButton"), Qt::LeftButton);
  EXPECT_EQ(Rows(), (Words{"a", "b", "c", "d"}));
  EXPECT_EQ(CurrentRow(), 3) << "the last row, where the removed one was past the end";
  Grid().selectionModel()->select(
      QItemSelection(Grid().model()->index(1, 0), Grid().model()->index(2, 0)),
      QItemSelectionModel::ClearAndSelect);
  QTest::mouseClick(&Button("removeButton"), Qt::LeftButton);
  EXPECT_EQ(Rows(), (Words{"a", "d"}));
  EXPECT_EQ(CurrentRow(), 1);
}

TEST_F(DictionaryEditorTest, RemovingEveryRowThenOkSavesAnEmptyDictionary) {
  Open({"beta", "alpha"});
  Key(Qt::Key_A, Qt::ControlModifier);
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "alpha\nbeta");
  QTest::mouseClick(&Button("removeButton"), Qt::LeftButton);
  EXPECT_TRUE(Rows().empty());
  EXPECT_FALSE(Grid().isEnabled());
  EXPECT_EQ(QApplication::focusWidget(), &Button("addButton"));
  EXPECT_EQ(EnabledButtons(), "addButton pasteButton okButton");
  QTest::mouseClick(&Button("okButton"), Qt::LeftButton);
  EXPECT_EQ(m_editor->result(), QDialog::Accepted);
  EXPECT_TRUE(Saved().empty());
  EXPECT_EQ(testkit::ReadBytes(CZebUtils::GetCustomDictionaryPath() + kName + ".dic"), "");
}

TEST_F(DictionaryEditorTest, CancelDropsEveryChange) {
  Open({"beta", "alpha"});
  AddTyped("gamma");
  QTest::mouseClick(&Button("removeButton"), Qt::LeftButton);
  QTest::mouseClick(&Button("cancelButton"), Qt::LeftButton);
  EXPECT_EQ(m_editor->result(), QDialog::Rejected);
  EXPECT_EQ(Saved(), (Words{"alpha", "beta"}));
}

class DictionaryEditorFindTest : public DictionaryEditorTest,
                                 public testing::WithParamInterface<bool> {};

TEST_P(DictionaryEditorFindTest, FindThenFindAgainWrapsOrStops) {
  const bool stopAtEnd = GetParam();
  Open({"phone", "alpha", "graph"});
  ClickWithDialog<CFindDlg>("findButton", [&](CFindDlg& find) {
    EXPECT_EQ(find.findChild<QLabel*>("promptText")->text().toStdString(), CWordFinder::kPrompt);
    EXPECT_TRUE(find.findChild<QLabel*>("messageText")->isHidden());
    EXPECT_TRUE(find.findChild<QRadioButton*>("upRadio")->isChecked()) << "the settings' default";
    find.findChild<QLineEdit*>("findEdit")->setText("ph");
    find.findChild<QRadioButton*>("downRadio")->setChecked(true);
    find.findChild<QCheckBox*>("stopAtEndCheck")->setChecked(stopAtEnd);
    QTest::mouseClick(find.findChild<QPushButton*>("findButton"), Qt::LeftButton);
  });
  EXPECT_EQ(CurrentRow(), 0);
  Key(Qt::Key_F3);
  EXPECT_EQ(CurrentRow(), 1);
  Key(Qt::Key_F3);
  EXPECT_EQ(CurrentRow(), 2);
  std::vector<std::string> opened;
  QString message;
  {
    frametest::CModalWatcher watcher(opened, [&](QDialog& dialog) {
      message = dialog.findChild<QLabel*>("messageText")->text();
      dialog.reject();
    });
    Key(Qt::Key_F3);
  }
  Activate();
  if (stopAtEnd) {
    EXPECT_EQ(opened, Words{"FindDlg"});
    EXPECT_EQ(message, "Given your search criteria, there were no more matching texts found.");
    EXPECT_EQ(CurrentRow(), 2);
  } else {
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(CurrentRow(), 0);
  }
  const CWordFinder::SOptions& options = m_editor->FindOptions();
  EXPECT_FALSE(options.matchCase);
  EXPECT_TRUE(options.searchDown);
  EXPECT_EQ(options.stopAtEnd, stopAtEnd);
}

INSTANTIATE_TEST_SUITE_P(DictionaryEditor, DictionaryEditorFindTest, testing::Bool());

TEST_F(DictionaryEditorTest, InfoOpensTheHelpTopicOfEachWindow) {
  Open({"alpha"});
  QTest::mouseClick(&Button("infoButton"), Qt::LeftButton);
  Key(Qt::Key_F1);
  ClickWithDialog<CAddWordsDlg>("addButton", [](CAddWordsDlg& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>("infoButton"), Qt::LeftButton);
    dialog.reject();
  });
  ClickWithDialog<CFindDlg>("findButton", [](CFindDlg& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>("infoButton"), Qt::LeftButton);
    dialog.reject();
  });
  EXPECT_EQ(m_topics, (Words{"HowTo/Dictionaries.htm#modify", "HowTo/Dictionaries.htm#modify",
                             "HowTo/Dictionaries.htm#add", "HowTo/Dictionaries.htm#find"}));
}

TEST(AddWordsDlg, OkOnlyForVisibleTextAndItSplitsTheWords) {
  guitest::Application();
  struct SCase {
    const char* text;
    bool okEnabled;
  };
  Words words{"untouched"};
  CAddWordsDlg dialog(nullptr, words, {});
  auto* edit = dialog.findChild<QPlainTextEdit*>("wordsEdit");
  auto* ok = dialog.findChild<QPushButton*>("okButton");
  EXPECT_FALSE(ok->isEnabled());
  for (const SCase& c : {SCase{"   ", false}, SCase{"\n\t\n", false}, SCase{"\xE2\x80\x8B", false},
                         SCase{"a", true}, SCase{" . ", true}}) {
    edit->setPlainText(QString::fromUtf8(c.text));
    EXPECT_EQ(ok->isEnabled(), c.okEnabled) << c.text;
  }
  dialog.reject();
  EXPECT_EQ(words, Words{"untouched"});
  edit->setPlainText("Gamma, delta\nepsilon");
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(words, (Words{"Gamma,", "delta", "epsilon"}));
  EXPECT_EQ(dialog.windowTitle(), "Add Words");
}

} // namespace
