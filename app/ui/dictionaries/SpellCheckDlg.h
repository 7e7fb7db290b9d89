#pragma once

#include "widgets/ShadedDialog.h"

#include <memory>
#include <vector>

namespace Ui {
class SpellCheckDlg;
}

/// Checks one word typed by the user against a project's dictionaries: either it is
/// recognised, or the suggestions are listed to copy from. After each edit of the word
/// neither result shows.
class CSpellCheckDlg : public CShadedDialog {
  Q_OBJECT

public:
  static constexpr const char* kHelpTopic = "HowTo/Dictionaries.htm#spellcheckword";

  /// Checks against the dictionaries `dictionaryIds` (a copy of the project's).
  CSpellCheckDlg(QWidget* parent, std::vector<int> dictionaryIds, HelpOpener help);
  ~CSpellCheckDlg() override;
  CSpellCheckDlg(const CSpellCheckDlg&) = delete;
  CSpellCheckDlg& operator=(const CSpellCheckDlg&) = delete;

protected:
  /// Enter in the word field checks the word instead of closing the window.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  enum EResult { kIdle, kRecognized, kSuggestions };

  void ShowResult(EResult result);
  void OnWordChanged();
  void OnSpellCheck();
  void OnCopy();

  std::unique_ptr<Ui::SpellCheckDlg> m_ui;
  std::vector<int> m_ids;
};
