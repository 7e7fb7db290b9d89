#include "DocUiBridge.h"

#include "DocView.h"
#include "MainFrame.h"
#include "MessageBoxService.h"
#include "ProjectSettingsDlg.h"

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
  CProjectSettingsDlg dialog(m_frame, settings, m_frame != nullptr ? &m_frame->GetHelp() : nullptr);
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
