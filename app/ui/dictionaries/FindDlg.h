#pragma once

#include "dictedit/WordFinder.h"
#include "widgets/ShadedDialog.h"

#include <memory>

namespace Ui {
class FindDlg;
}

/// Asks what to find and how: the text, match case, the direction and whether to stop
/// at the end. It can say why it opened again (nothing found).
class CFindDlg : public CShadedDialog {
  Q_OBJECT

public:
  struct SRequest {
    QString prompt;
    /// Shown above the field when not empty.
    QString message;
    QString text;
    CWordFinder::SOptions options;
    std::string helpTopic;
  };

  CFindDlg(QWidget* parent, const SRequest& request, HelpOpener help);
  ~CFindDlg() override;
  CFindDlg(const CFindDlg&) = delete;
  CFindDlg& operator=(const CFindDlg&) = delete;

  QString Text() const;
  CWordFinder::SOptions Options() const;

private:
  std::unique_ptr<Ui::FindDlg> m_ui;
};
