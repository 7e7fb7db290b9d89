#pragma once

#include "widgets/ShadedDialog.h"

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class AddWordsDlg;
}

/// Takes words typed by the user, separated by blanks or line breaks. OK is offered
/// only while the text holds something visible.
class CAddWordsDlg : public CShadedDialog {
  Q_OBJECT

public:
  static constexpr const char* kHelpTopic = "HowTo/Dictionaries.htm#add";

  /// On OK `words` receives the words typed; on Cancel it is left alone.
  CAddWordsDlg(QWidget* parent, std::vector<std::string>& words, HelpOpener help);
  ~CAddWordsDlg() override;
  CAddWordsDlg(const CAddWordsDlg&) = delete;
  CAddWordsDlg& operator=(const CAddWordsDlg&) = delete;

  void accept() override;

private:
  std::string Text() const;

  std::unique_ptr<Ui::AddWordsDlg> m_ui;
  std::vector<std::string>& m_words;
};
