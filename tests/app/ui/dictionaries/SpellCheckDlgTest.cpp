// The spell-check-a-word window: the recognised state, the suggestions, and the idle
// state after each edit.
#include "dictionaries/SpellCheckDlg.h"
#include "FrameTestKit.h"
#include "GuiTestKit.h"

#include "spellcore/SpellChecker.h"

#include "testkit/ScopedFakeHome.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class SpellCheckDlgTest : public testing::Test {
protected:
  SpellCheckDlgTest() {
    guitest::Application();
    CSpellChecker* speller = CSpellChecker::GetInstance();
    speller->SetAppPath(frametest::AppDirectory());
    EXPECT_TRUE(speller->AddCustomDictionary("Own"));
    m_own = speller->GetDictionaryID("Own");
    speller->AddWord(m_own, "zorblax");
  }
  ~SpellCheckDlgTest() override {
    m_dialog.reset();
    CSpellChecker::DeleteInstance();
  }

  void Open(std::vector<int> ids) {
    m_dialog = std::make_unique<CSpellCheckDlg>(
        nullptr, std::move(ids), [this](const std::string& topic) { m_topics.push_back(topic); });
    m_dialog->show();
  }
  template <class Widget> Widget& Find(const char* name) const {
    return *m_dialog->findChild<Widget*>(name);
  }
  QLineEdit& Word() const { return Find<QLineEdit>("wordEdit"); }
  QListWidget& List() const { return Find<QListWidget>("suggestionsList"); }
  /// What shows: "recognized", "list" and "copy" (enabled or not), and whether Spell
  /// Check is enabled.
  std::string State() const {
    std::string state;
    const auto add = [&state](const char* part) {
      state += std::string(state.empty() ? "" : " ") + part;
    };
    if (Find<QLabel>("recognizedText").isVisible()) {
      add("recognized");
    }
    if (List().isVisible()) {
      add("list");
    }
    const QPushButton& copy = Find<QPushButton>("copyButton");
    if (copy.isVisible()) {
      add(copy.isEnabled() ? "copy" : "copy-off");
    }
    if (Find<QPushButton>("spellCheckButton").isEnabled()) {
      add("check");
    }
    return state;
  }
  void Type(const char* text) {
    Word().clear();
    QTest::keyClicks(&Word(), text);
  }
  std::vector<std::string> Suggestions() const {
    std::vector<std::string> texts;
    for (int row = 0; row < List().count(); ++row) {
      texts.push_back(List().item(row)->text().toStdString());
    }
    return texts;
  }

  ScopedFakeHome m_home;
  int m_own = -1;
  std::unique_ptr<CSpellCheckDlg> m_dialog;
  std::vector<std::string> m_topics;
};

TEST_F(SpellCheckDlgTest, EachDictionaryListDecidesWhatIsRecognised) {
  struct SCase {
    const char* word;
    bool withOwn;
    const char* state;
  };
  for (const SCase& c :
       {SCase{"hello", false, "recognized"}, SCase{"zorblax", true, "recognized"},
        SCase{"zorblax", false, "list copy-off"}, SCase{"hello,", false, "list copy-off"}}) {
    Open(c.withOwn ? std::vector<int>{0, m_own} : std::vector<int>{0});
    EXPECT_EQ(State(), "");
    Type(c.word);
    EXPECT_EQ(State(), "check") << c.word;
    QTest::mouseClick(&Find<QPushButton>("spellCheckButton"), Qt::LeftButton);
    EXPECT_EQ(State(), c.state) << c.word;
    QTest::keyClick(&Word(), Qt::Key_Backspace);
    EXPECT_EQ(State(), "check") << "idle after an edit: " << c.word;
  }
  EXPECT_EQ(Find<QLabel>("recognizedText").text(), "This is a recognized word!");
}

TEST_F(SpellCheckDlgTest, SuggestionsAreListedInOrderAndCopied) {
  Open({0});
  Type("helo");
  QTest::keyClick(&Word(), Qt::Key_Return);
  EXPECT_TRUE(m_dialog->isVisible()) << "Enter checks instead of closing";
  EXPECT_EQ(State(), "list copy-off");
  std::vector<std::string> expected;
  CSpellChecker::GetInstance()->Guess("helo", {0}, expected, true, false);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(Suggestions(), expected);
  List().setCurrentRow(0);
  EXPECT_EQ(State(), "list copy");
  QApplication::clipboard()->clear();
  QTest::mouseClick(&Find<QPushButton>("copyButton"), Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), expected.front());
}

TEST_F(SpellCheckDlgTest, EnterOnAnEmptyFieldChecksTheEmptyWordAndInfoOpensItsTopic) {
  Open({0});
  QTest::keyClick(&Word(), Qt::Key_Return);
  EXPECT_TRUE(m_dialog->isVisible());
  EXPECT_EQ(State(), "recognized");
  QTest::mouseClick(&Find<QPushButton>("infoButton"), Qt::LeftButton);
  EXPECT_EQ(m_topics, std::vector<std::string>{"HowTo/Dictionaries.htm#spellcheckword"});
  EXPECT_EQ(m_dialog->windowTitle(), "Spell Check");
  EXPECT_EQ(m_dialog->property("ctrlId").toInt(), 404);
}

} // namespace
