#include "widgets/MessageBoxService.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
CMessageBoxService::Answerer& ScriptedAnswerer() {
  static CMessageBoxService::Answerer answerer;
  return answerer;
}

std::function<void(const QString&)>& HelpOpener() {
  static std::function<void(const QString&)> opener;
  return opener;
}
} // namespace

void CMessageBoxService::SetAnswerer(Answerer answerer) {
  ScriptedAnswerer() = std::move(answerer);
}

void CMessageBoxService::SetHelpOpener(std::function<void(const QString& topic)> opener) {
  HelpOpener() = std::move(opener);
}

int CMessageBoxService::Ask(QWidget* parent, const SQuestion& question) {
  return Ask(parent, question, {});
}

int CMessageBoxService::Ask(QWidget* parent, const SQuestion& question, const QString& okText) {
  if (ScriptedAnswerer()) {
    return ScriptedAnswerer()(question);
  }
  const bool yesNo = question.buttons != EButtons::Ok;
  QMessageBox box(yesNo ? QMessageBox::Question : QMessageBox::Information, question.title,
                  question.text, QMessageBox::NoButton, parent);
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  if (yesNo) {
    yes = box.addButton(QMessageBox::Yes);
    no = box.addButton(QMessageBox::No);
    box.setDefaultButton(question.buttons == EButtons::YesNoDefaultNo ? no : yes);
    box.setEscapeButton(no);
  } else {
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    if (!okText.isEmpty()) {
      ok->setText(okText);
    }
    box.setDefaultButton(ok);
  }
  QPushButton* help = nullptr;
  if (!question.helpTopic.isEmpty() && HelpOpener()) {
    help = box.addButton(QMessageBox::Help);
    // Help opens the topic and leaves the question open.
    help->disconnect();
    QObject::connect(help, &QPushButton::clicked,
                     [topic = question.helpTopic] { HelpOpener()(topic); });
  }
  box.exec();
  if (yesNo && box.clickedButton() != yes) {
    return kAnswerNo;
  }
  return kAnswerYes;
}
