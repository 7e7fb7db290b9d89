#pragma once

#include "widgets/ShadedDialog.h"

#include "projects/DictionarySelection.h"
#include "projects/DocUi.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFilterChoicesCache;
class QComboBox;
class QStandardItem;
class QStandardItemModel;

namespace Ui {
class ProjectSettingsDlg;
}

/// The window in which the user creates or edits a web site project: its name, root
/// directory, dictionaries, the dictionary of the "Add To Dictionary" button, and the
/// filters that keep folders and pages out of the check. It changes no project itself:
/// it checks what was entered and, on OK, leaves the result in the settings it was
/// given. Its layout is ProjectSettingsDlg.ui.
class CProjectSettingsDlg : public CShadedDialog {
  Q_OBJECT

public:
  /// Shows `settings`; on OK they hold what the user chose (the filters only when
  /// `filtersChanged` is set). `help` opens the Info topic; without one Info is off.
  CProjectSettingsDlg(QWidget* parent, CDocUi::SProjectSettings& settings, HelpOpener help = {});
  ~CProjectSettingsDlg() override;
  CProjectSettingsDlg(const CProjectSettingsDlg&) = delete;
  CProjectSettingsDlg& operator=(const CProjectSettingsDlg&) = delete;

  /// Closes with OK when the name is free, the directory exists and the user agrees to
  /// the "Add To Dictionary" choice; otherwise says what is wrong and stays open.
  void accept() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void SetUpFields();
  void SetUpDictionaries();
  void SetUpFilters();
  void SetUpButtons();
  void ConnectChanges();

  // The dictionaries grid, which shows m_dictionaries.
  void FillDictionaries();
  void AppendDictionaryRow(std::size_t row);
  void FitDictionariesHeight();
  void OnDictionaryCellChanged(QStandardItem* item);
  void ShowAddToChoice();

  // The filters grid, which shows m_filters.
  void BuildFiltersGrid(int focusRow);
  void ShowFiltersGrid(bool show);
  void FitFiltersColumns();
  void UpdateRemoveFilter();
  void OnFilterCellChanged(QStandardItem* item);
  void AddFilter();
  void RemoveFilter();
  void FillChoices(std::int32_t type, QComboBox* editor);

  void EnableOk();
  void Browse();
  bool IsNameTaken(const std::string& name) const;
  bool MayLeaveAddToDictionary(bool changed);
  /// Says what is wrong with the field `focus` in a message box and focuses it.
  void Refuse(QWidget* focus, const char* text);
  void TakeSettings(const std::string& name, const std::string& directory);

  std::unique_ptr<Ui::ProjectSettingsDlg> m_ui;
  CDocUi::SProjectSettings& m_settings;
  CDictionarySelection m_dictionaries;
  std::vector<CProjectFilter> m_filters;
  bool m_filtersChanged = false;
  /// Set while the dialog itself fills or changes cells, whose change signals are then
  /// not the user's edits.
  bool m_filling = false;

  QStandardItemModel* m_dictionaryRows = nullptr;
  QStandardItemModel* m_filterRows = nullptr;
  CFilterChoicesCache* m_choices = nullptr;
};
