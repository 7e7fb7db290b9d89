#include "FrameTestKit.h"
#include "GuiTestKit.h"

#include "projects/FilterChoices.h"
#include "projectsettings/ProjectSettingsDlg.h"

#include "checking/ProjectFilter.h"
#include "spellcore/SpellChecker.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {
using Answers = guitest::ScriptedAnswers;
constexpr int kYes = CMessageBoxService::kAnswerYes;
constexpr int kNo = CMessageBoxService::kAnswerNo;

constexpr const char* kNameTaken =
    "This project name is already used by another project.\n\nTo avoid confusion, Pagelint "
    "does not allow the same name to be used for two different projects.\n\nYou can either "
    "change this project's name, or press Cancel and change the other project's name (first).";
constexpr const char* kAddToTail =
    "\n\nWhat this means is that, when you press the \"Add To Dictionary\" button, spell "
    "checking will not start again, because the affected dictionary is not part of the "
    "collection of dictionaries to check.\n\nYou may want to consider including this custom "
    "dictionary as part of the selection of dictionaries to be used during spell checking, or "
    "you may wish to select a different custom dictionary.\n\nDo you wish to leave the "
    "settings as you have set them?";

/// The real speller in a home of its own with two word lists and another project's
/// ignore dictionary; the dialog opened on a valid project over a site folder.
class ProjectSettingsDlgTest : public testing::Test {
protected:
  void SetUp() override {
    guitest::Application();
    CSpellChecker* speller = CSpellChecker::GetInstance();
    speller->SetAppPath(frametest::AppDirectory());
    ASSERT_TRUE(speller->AddCustomDictionary("Site Words"));
    ASSERT_TRUE(speller->AddCustomDictionary("Shop Ignore"));
    m_custom = speller->GetDictionaryID("ZEB Custom");
    m_siteWords = speller->GetDictionaryID("Site Words");
    ASSERT_GT(m_custom, 0);
    std::filesystem::create_directories(m_site.Sub("news/2024/"));
    std::filesystem::create_directories(m_site.Sub("about/"));
    testkit::WriteBytes(m_site.Sub("index.html"), "<p>x</p>");
    testkit::WriteBytes(m_site.Sub("news/page10.htm"), "<p>x</p>");
    testkit::WriteBytes(m_site.Sub("news/page2.htm"), "<p>x</p>");
    testkit::WriteBytes(m_site.Sub("notes.txt"), "x");
    m_settings.name = "Site";
    m_settings.rootDirectory = m_site.Path();
    m_settings.activeDictionaries = {0, m_custom, m_siteWords};
    m_settings.addToDictionaryId = m_custom;
  }
  void TearDown() override {
    m_dialog.reset();
    CSpellChecker::DeleteInstance();
  }

  CProjectSettingsDlg& Open() {
    m_dialog = std::make_unique<CProjectSettingsDlg>(nullptr, m_settings);
    m_dialog->show();
    QApplication::setActiveWindow(m_dialog.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    return *m_dialog;
  }
  template <typename T> T& Find(const char* name) const {
    T* widget = m_dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
  }
  QPushButton& Ok() const { return Find<QPushButton>("okButton"); }
  QAbstractItemView& Grid(const char* name) const { return Find<QAbstractItemView>(name); }
  QAbstractItemModel& Model(const char* name) const { return *Grid(name).model(); }

  std::vector<std::string> DictionaryNames() const {
    std::vector<std::string> names;
    const QAbstractItemModel& rows = Model("dictionariesGrid");
    for (int row = 0; row < rows.rowCount(); ++row) {
      names.push_back(rows.index(row, 1).data().toString().toStdString());
    }
    return names;
  }
  /// Presses Space on a cell of the dictionaries grid, as a user toggles it.
  void Toggle(int row, int column) const {
    QAbstractItemView& grid = Grid("dictionariesGrid");
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(row, column));
    QTest::keyClick(&grid, Qt::Key_Space);
  }
  bool IsSet(int row, int column) const {
    return Model("dictionariesGrid").index(row, column).data(Qt::CheckStateRole).toInt() ==
           Qt::Checked;
  }
  /// Opens the editor of a filters cell with Enter and returns it.
  QWidget* EditFilter(int row, int column) const {
    QAbstractItemView& grid = Grid("filtersGrid");
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(row, column));
    QTest::keyClick(&grid, Qt::Key_Return);
    return QApplication::focusWidget();
  }
  QString Filter(int row, int column) const {
    return Model("filtersGrid").index(row, column).data().toString();
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_site;
  CDocUi::SProjectSettings m_settings;
  std::unique_ptr<CProjectSettingsDlg> m_dialog;
  int m_custom = -1;
  int m_siteWords = -1;
};

TEST_F(ProjectSettingsDlgTest, OkWaitsForAChangeThenFollowsNameDirectoryAndDictionaries) {
  Open();
  QLineEdit& name = Find<QLineEdit>("nameEdit");
  EXPECT_FALSE(Ok().isEnabled());
  QTest::keyClick(&name, Qt::Key_End);
  QTest::keyClick(&name, Qt::Key_X);
  QTest::keyClick(&name, Qt::Key_Backspace);
  EXPECT_TRUE(Ok().isEnabled()) << "a change and its restore";
  name.clear();
  EXPECT_FALSE(Ok().isEnabled());
  name.setText("Site");
  Find<QLineEdit>("directoryEdit").setText("   ");
  EXPECT_FALSE(Ok().isEnabled());
  Find<QLineEdit>("directoryEdit").setText(QString::fromStdString(m_site.Path()));
  EXPECT_TRUE(Ok().isEnabled());
  // The checked ones: the main dictionary, ZEB Custom and Site Words.
  for (const int row : {0, 1, 3}) {
    Toggle(row, 0);
  }
  EXPECT_FALSE(Ok().isEnabled()) << "no dictionary checked";
  Toggle(1, 0);
  EXPECT_TRUE(Ok().isEnabled());
}

TEST_F(ProjectSettingsDlgTest, DictionariesLeaveIgnoreListsOutAndTheirRadiosActAsOneGroup) {
  Open();
  EXPECT_EQ(DictionaryNames(), (std::vector<std::string>{"ZEB U.S. English", "ZEB Custom",
                                                         "ZEB Technical Terms", "Site Words"}));
  EXPECT_FALSE(Model("dictionariesGrid").index(0, 2).data(Qt::CheckStateRole).isValid())
      << "the main dictionary has no radio";
  EXPECT_FALSE(Model("dictionariesGrid").index(2, 2).data(Qt::CheckStateRole).isValid())
      << "the shipped technical terms take no words";
  Toggle(2, 2);
  EXPECT_TRUE(IsSet(1, 2));
  Toggle(3, 2);
  EXPECT_TRUE(IsSet(3, 2));
  EXPECT_FALSE(IsSet(1, 2));
  Toggle(3, 2);
  EXPECT_TRUE(IsSet(3, 2)) << "a radio is not cleared by itself";
  Toggle(0, 0);
  Ok().click();
  EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
  EXPECT_EQ(m_settings.activeDictionaries, (std::vector<int>{m_custom, m_siteWords}));
  EXPECT_EQ(m_settings.addToDictionaryId, m_siteWords);
  EXPECT_FALSE(m_settings.filtersChanged);
}

TEST_F(ProjectSettingsDlgTest, NamesThatWouldShareAFileAreRefusedButLetterCaseCounts) {
  m_settings.otherNames = {"a/b", "x:y", "Shop"};
  const struct {
    const char* name;
    bool refused;
  } cases[] = {{"a_b", true}, {"x?y", true}, {"Shop", true}, {"shop", false}, {"a-b", false}};
  for (const auto& c : cases) {
    const Answers answers;
    Open();
    Find<QLineEdit>("nameEdit").setText(c.name);
    Ok().click();
    EXPECT_EQ(m_dialog->isVisible(), c.refused) << c.name;
    if (c.refused) {
      ASSERT_EQ(answers.Questions().size(), 1U) << c.name;
      EXPECT_EQ(answers.Questions()[0].text.toStdString(), kNameTaken);
      EXPECT_EQ(answers.Questions()[0].title, "Project Settings for Site");
      EXPECT_EQ(QApplication::focusWidget(), &Find<QLineEdit>("nameEdit"));
    } else {
      EXPECT_EQ(m_settings.name, c.name);
    }
  }
}

TEST_F(ProjectSettingsDlgTest, AMissingDirectoryKeepsTheDialogOpen) {
  const Answers answers;
  Open();
  Find<QLineEdit>("directoryEdit").setText(QString::fromStdString(m_site.Sub("gone/")));
  Ok().click();
  EXPECT_TRUE(m_dialog->isVisible());
  ASSERT_EQ(answers.Questions().size(), 1U);
  EXPECT_EQ(answers.Questions()[0].text,
            "The project's directory no longer exists. Please select a different one.");
}

TEST_F(ProjectSettingsDlgTest, AnAddToDictionaryLeftOutIsAskedAboutAndNoKeepsEveryEdit) {
  const struct {
    int radioRow; // -1: the radio stays as it was
    const char* firstSentence;
  } cases[] = {
      {-1, "You have elected to not use the custom dictionary that is used as the \"Add To "
           "Dictionary\" dictionary."},
      {3, "The dictionary to use when you press the \"Add To Dictionary\" button is not one of "
          "the ones you selected as active dictionaries to use for this project."},
  };
  for (const auto& c : cases) {
    m_settings.activeDictionaries = {0, m_custom};
    Open();
    Find<QLineEdit>("nameEdit").setText("Renamed");
    if (c.radioRow >= 0) {
      Toggle(c.radioRow, 2);
    }
    Toggle(1, 0); // the add-to dictionary unchecked
    {
      const Answers answers({kNo});
      Ok().click();
      ASSERT_EQ(answers.Questions().size(), 1U);
      EXPECT_EQ(answers.Questions()[0].text.toStdString(),
                std::string(c.firstSentence) + kAddToTail);
    }
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(Find<QLineEdit>("nameEdit").text(), "Renamed");
    EXPECT_FALSE(IsSet(1, 0));
    EXPECT_EQ(m_settings.name, "Site") << "nothing taken over yet";
    const Answers yes({kYes});
    Ok().click();
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_settings.name, "Renamed");
    EXPECT_EQ(m_settings.activeDictionaries, std::vector<int>{0});
    m_settings.name = "Site";
    m_settings.addToDictionaryId = m_custom;
  }
}

TEST_F(ProjectSettingsDlgTest, ChangingAFilterTypeEmptiesItsSpecificationAndFreesItsText) {
  m_settings.filters = {{CProjectFilter::FILE, "index.html"}, {7, "kept/"}};
  Open();
  EXPECT_EQ(Filter(0, 0), "File:");
  EXPECT_EQ(Filter(1, 0), "") << "a type this program does not know";
  EXPECT_EQ(Filter(1, 1), "kept/");
  auto* type = qobject_cast<QComboBox*>(EditFilter(0, 0));
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->count(), 3);
  ASSERT_TRUE(QTest::qWaitFor([type] { return type->view()->isVisible(); }))
      << "the type list opens with its editor";
  type->view()->setCurrentIndex(type->model()->index(2, 0));
  QTest::keyClick(type->view(), Qt::Key_Return);
  EXPECT_EQ(Filter(0, 0), "Custom:");
  EXPECT_EQ(Filter(0, 1), "");
  QWidget* specification = EditFilter(0, 1);
  ASSERT_NE(qobject_cast<QLineEdit*>(specification), nullptr) << "free text for a custom filter";
  QTest::keyClicks(specification, "*.bak");
  QTest::keyClick(specification, Qt::Key_Return);
  QApplication::processEvents(); // the edit is committed once the editor is done with the key
  EXPECT_TRUE(m_dialog->isVisible()) << "Enter in the editor ends the edit, not the dialog";
  EXPECT_EQ(Filter(0, 1), "*.bak");
  QTest::keyClick(&Grid("filtersGrid"), Qt::Key_Escape);
  EXPECT_TRUE(m_dialog->isVisible());
  Ok().click();
  ASSERT_TRUE(m_settings.filtersChanged);
  EXPECT_EQ(m_settings.filters,
            (std::vector<CProjectFilter>{{CProjectFilter::CUSTOM, "*.bak"}, {7, "kept/"}}));
}

TEST_F(ProjectSettingsDlgTest, SpecificationsOfferTheSitesFoldersAndPagesSorted) {
  m_settings.filters = {{CProjectFilter::SUB_DIRECTORY, ""}, {CProjectFilter::FILE, ""}};
  Open();
  const auto choices = [this](int row) {
    auto* box = qobject_cast<QComboBox*>(EditFilter(row, 1));
    EXPECT_NE(box, nullptr);
    QStringList texts;
    if (box == nullptr) {
      return texts;
    }
    // The site is listed away from the window; the entries arrive a moment later.
    EXPECT_TRUE(QTest::qWaitFor([box] { return box->count() > 0; }, 5000));
    for (int i = 0; i < box->count(); ++i) {
      texts << box->itemText(i);
    }
    QTest::keyClick(box, Qt::Key_Escape);
    return texts;
  };
  EXPECT_EQ(choices(0), QStringList({"about/", "news/", "news/2024/"}));
  EXPECT_EQ(choices(1), QStringList({"index.html", "news/page2.htm", "news/page10.htm"}));
  EXPECT_EQ(CFilterChoices::List(m_site.Path(), CProjectFilter::CUSTOM),
            std::vector<std::string>{});
  EXPECT_EQ(CFilterChoices::List(m_site.Sub("gone/"), CProjectFilter::FILE),
            std::vector<std::string>{});
}

TEST_F(ProjectSettingsDlgTest, RemovingTheLastFiltersShowsTheMessageAndFocusesAddFilter) {
  m_settings.filters = {{CProjectFilter::FILE, "a.htm"},
                        {CProjectFilter::FILE, "b.htm"},
                        {CProjectFilter::FILE, "c.htm"}};
  Open();
  QPushButton& remove = Find<QPushButton>("removeFilterButton");
  QAbstractItemView& grid = Grid("filtersGrid");
  grid.setCurrentIndex(grid.model()->index(1, 1));
  remove.click();
  EXPECT_EQ(Model("filtersGrid").rowCount(), 2);
  EXPECT_EQ(Filter(1, 1), "c.htm");
  grid.selectAll();
  remove.click();
  EXPECT_EQ(Find<QStackedWidget>("").currentWidget()->objectName(), "noFiltersMessage");
  EXPECT_EQ(Find<QLabel>("noFiltersMessage").text(), "No filters applied.");
  EXPECT_EQ(QApplication::focusWidget(), &Find<QPushButton>("addFilterButton"));
  EXPECT_FALSE(remove.isEnabled());
  Find<QPushButton>("addFilterButton").click();
  EXPECT_EQ(Filter(0, 0), "File:");
  EXPECT_TRUE(remove.isEnabled());
  Ok().click();
  EXPECT_EQ(m_settings.filters, (std::vector<CProjectFilter>{{CProjectFilter::FILE, ""}}));
}

TEST_F(ProjectSettingsDlgTest, EnterAndEscapeOnAGridStayInTheGrid) {
  Open();
  Find<QLineEdit>("nameEdit").setText("Other");
  QAbstractItemView& grid = Grid("dictionariesGrid");
  grid.setFocus();
  grid.setCurrentIndex(grid.model()->index(3, 0)); // Site Words, checked
  QTest::keyClick(&grid, Qt::Key_Return);
  EXPECT_TRUE(m_dialog->isVisible());
  EXPECT_FALSE(IsSet(3, 0)) << "Enter toggles the check box";
  QTest::keyClick(&grid, Qt::Key_Escape);
  EXPECT_TRUE(m_dialog->isVisible());
  QTest::keyClick(&Find<QLineEdit>("nameEdit"), Qt::Key_Return);
  EXPECT_EQ(m_dialog->result(), QDialog::Accepted) << "Enter in a field is OK";
}

TEST_F(ProjectSettingsDlgTest, EveryMnemonicReachesItsControl) {
  Open();
  // Add Filter hands the focus to the new row; Remove Filter, of the only row, leaves it
  // on Add Filter beside the message. Buttons act a moment after their key.
  const struct {
    Qt::Key key;
    const char* focused;
  } cases[] = {{Qt::Key_N, "nameEdit"},         {Qt::Key_D, "directoryEdit"},
               {Qt::Key_C, "dictionariesGrid"}, {Qt::Key_A, "filtersGrid"},
               {Qt::Key_N, "nameEdit"},         {Qt::Key_F, "filtersGrid"},
               {Qt::Key_R, "addFilterButton"}};
  for (const auto& c : cases) {
    QTest::keyClick(m_dialog.get(), c.key, Qt::AltModifier);
    const auto focused = [] {
      const QWidget* focus = QApplication::focusWidget();
      return focus != nullptr ? focus->objectName() : QString();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == c.focused; }, 2000))
        << c.focused << " " << focused().toStdString();
  }
  EXPECT_EQ(Find<QStackedWidget>("").currentWidget()->objectName(), "noFiltersMessage");
}

// Each option's box shows the project's option; its mnemonic (no other control of the
// dialog claims the letter) turns it over, which counts as a change; OK returns it and
// leaves the other option as it was.
TEST_F(ProjectSettingsDlgTest, EachOptionShowsTurnsWithItsMnemonicAndIsReturned) {
  const struct {
    const char* box;
    Qt::Key key;
    bool CProjectOptions::*option;
  } boxes[] = {{"skipCodeCheck", Qt::Key_S, &CProjectOptions::skipCodeSamples},
               {"checkAttributesCheck", Qt::Key_I, &CProjectOptions::checkImageText},
               {"reportRepeatsCheck", Qt::Key_W, &CProjectOptions::reportRepeatedWords},
               {"ignoreUppercaseCheck", Qt::Key_U, &CProjectOptions::ignoreUppercaseWords},
               {"ignoreNumbersCheck", Qt::Key_M, &CProjectOptions::ignoreWordsWithNumbers}};
  for (const auto& b : boxes) {
    for (const CProjectOptions& initially :
         {CProjectOptions{false, false, true}, CProjectOptions{true, false, false},
          CProjectOptions{false, true, true}, CProjectOptions{true, true, false},
          CProjectOptions{false, false, true, true, false},
          CProjectOptions{true, false, true, false, true},
          CProjectOptions{false, true, false, true, true}}) {
      SCOPED_TRACE(std::string(b.box) + " from " + std::to_string(initially.ToBits()));
      m_settings.options = initially;
      Open();
      const QCheckBox& box = Find<QCheckBox>(b.box);
      EXPECT_EQ(box.isChecked(), initially.*b.option);
      EXPECT_FALSE(Ok().isEnabled());
      QTest::keyClick(m_dialog.get(), b.key, Qt::AltModifier);
      EXPECT_TRUE(QTest::qWaitFor([&] { return box.isChecked() != initially.*b.option; }, 2000));
      EXPECT_TRUE(box.hasFocus());
      EXPECT_TRUE(Ok().isEnabled());
      Ok().click();
      EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
      CProjectOptions expected = initially;
      expected.*b.option = !(initially.*b.option);
      EXPECT_EQ(m_settings.options, expected);
    }
  }
}

TEST_F(ProjectSettingsDlgTest, TheWindowOpensAsLargeAsItWasLeft) {
  Open().resize(700, 640);
  Find<QPushButton>("cancelButton").click();
  EXPECT_EQ(Open().size(), QSize(700, 640));
}

} // namespace
