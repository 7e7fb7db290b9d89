#include "GuiTestKit.h"

#include "widgets/MessageBoxService.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

/// Presses `key` in the message box that the next Ask opens.
int AnswerWithKey(CMessageBoxService::EButtons buttons, Qt::Key key) {
  guitest::Application();
  QTimer::singleShot(0, [key] {
    QWidget* box = QApplication::activeModalWidget();
    if (box != nullptr) {
      QTest::keyClick(box, key);
    }
  });
  return CMessageBoxService::Ask(nullptr, {"Title", "Text", buttons, {}});
}

TEST(MessageBoxService, EnterAnswersYesAndEscapeNo) {
  using EButtons = CMessageBoxService::EButtons;
  struct Case {
    EButtons buttons;
    Qt::Key key;
    int answer;
  };
  const Case cases[] = {
      {EButtons::YesNo, Qt::Key_Return, CMessageBoxService::kAnswerYes},
      {EButtons::YesNo, Qt::Key_Escape, CMessageBoxService::kAnswerNo},
      // A question whose Yes loses data keeps it on Enter.
      {EButtons::YesNoDefaultNo, Qt::Key_Return, CMessageBoxService::kAnswerNo},
      {EButtons::YesNoDefaultNo, Qt::Key_Escape, CMessageBoxService::kAnswerNo},
      {EButtons::Ok, Qt::Key_Return, CMessageBoxService::kAnswerYes},
      {EButtons::Ok, Qt::Key_Escape, CMessageBoxService::kAnswerYes},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnswerWithKey(c.buttons, c.key), c.answer) << c.key;
  }
}

TEST(MessageBoxService, AScriptAnswersInsteadOfAPerson) {
  guitest::ScriptedAnswers script({CMessageBoxService::kAnswerYes});
  EXPECT_EQ(CMessageBoxService::Ask(nullptr,
                                    {"Replace", "Sure?", CMessageBoxService::EButtons::YesNo, {}}),
            CMessageBoxService::kAnswerYes);
  EXPECT_EQ(CMessageBoxService::Ask(nullptr,
                                    {"Replace", "Again?", CMessageBoxService::EButtons::YesNo, {}}),
            CMessageBoxService::kAnswerNo);
  ASSERT_EQ(script.Questions().size(), 2U);
  EXPECT_EQ(script.Questions()[1].text, "Again?");
}

} // namespace
