#include "mainwindow/DocUiBridge.h"

#include "dictionaries/DictionaryEditorDlg.h"
#include "dictionaries/SpellCheckDlg.h"
#include "mainwindow/MainFrame.h"
#include "projects/DocView.h"
#include "projectsettings/ProjectSettingsDlg.h"
#include "widgets/MessageBoxService.h"

#include "settings/PagelintSettings.h"
#include "spellcore/SpellChecker.h"

#include <QApplication>

CDocUiBridge::~CDocUiBridge() {
  while (m_waitCursors > 0) {
    ShowWaitCursor(false);
  }
}

int CDocUiBridge::MessageBox(const std::string& title, const std::string& text, EButtons buttons,
                             const std::string& helpTopic) {
  const auto boxButtons = buttons == EButtons::YesNo ? CMessageBoxService::EButtons::YesNo
                                                     : CMessageBoxService::EButtons::Ok;
  return CMessageBoxService::Ask(m_frame,
                                 {QString::fromStdString(title), QString::fromStdString(text),
                                  boxButtons, QString::fromStdString(helpTopic)});
}

bool CDocUiBridge::EditProjectSettings(SProjectSettings& settings) {
  CProjectSettingsDlg dialog(m_frame, settings,
                             m_frame != nullptr ? HelpOpener() : CShadedDialog::HelpOpener());
  return dialog.exec() == QDialog::Accepted;
}

void CDocUiBridge::RefreshProjectBar() {
  if (m_frame != nullptr) {
    m_frame->RefreshProjectBar();
  }
}

void CDocUiBridge::PressProjectButton(int commandId) {
  if (m_frame != nullptr) {
    m_frame->PressProjectButton(commandId);
  }
}

void CDocUiBridge::UpdateAllViews(int hint) {
  if (m_frame == nullptr) {
    return;
  }
  if (CDocView* view = m_frame->GetView()) {
    view->OnUpdate(hint);
  }
  m_frame->UpdateCommandStates();
}

void CDocUiBridge::ShowWaitCursor(bool show) {
  if (show) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++m_waitCursors;
    return;
  }
  // An unmatched hide must not take away a cursor someone else set.
  if (m_waitCursors > 0) {
    QApplication::restoreOverrideCursor();
    --m_waitCursors;
  }
}

HWND CDocUiBridge::GetFirstViewWindow() const {
  if (m_frame == nullptr || m_frame->GetView() == nullptr) {
    return 0;
  }
  return m_frame->GetView()->GetMessageWindow();
}

void CDocUiBridge::EditDictionary(int id) {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  if (m_frame == nullptr || speller == nullptr) {
    return;
  }
  std::string name;
  speller->GetDictionaryName(id, name);
  if (name.empty()) {
    return;
  }
  CPagelintSettings& settings = m_frame->GetSettings();
  CDictionaryEditorDlg dialog(
      m_frame, id, {settings.findMatchCase, settings.findSearchDown, settings.findStopAtEnd},
      HelpOpener());
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  const CWordFinder::SOptions& options = dialog.FindOptions();
  settings.findMatchCase = options.matchCase;
  settings.findSearchDown = options.searchDown;
  settings.findStopAtEnd = options.stopAtEnd;
}

void CDocUiBridge::SpellCheckWord(std::vector<int> activeDictionaries) {
  if (m_frame == nullptr) {
    return;
  }
  CSpellCheckDlg dialog(m_frame, std::move(activeDictionaries), HelpOpener());
  dialog.exec();
}

std::function<void(const std::string&)> CDocUiBridge::HelpOpener() const {
  return [frame = m_frame](const std::string& topic) { frame->DisplayHelpTopic(topic); };
}
