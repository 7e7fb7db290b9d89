#pragma once

#include "widgets/ShadedDialog.h"

#include "projects/DocUi.h"

#include <cstdint>
#include <vector>

class CFilterChoicesCache;
class CGridView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QStandardItem;
class QStandardItemModel;

/// The window in which the user creates or edits a web site project: its name, root
/// directory, dictionaries, the dictionary of the "Add To Dictionary" button, and the
/// filters that keep folders and pages out of the check. It changes no project itself:
/// it checks what was entered and, on OK, leaves the result in the settings it was
/// given.
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
  QWidget* MakeFiltersArea();
  QLayout* MakeButtonRow();
  void FillDictionaries();
  void BuildFiltersGrid(int focusRow);
  void ShowFiltersGrid(bool show);
  void FitFiltersColumns();
  void EnableOk();
  void UpdateRemoveFilter();
  void OnDictionaryCellChanged(QStandardItem* item);
  void OnFilterCellChanged(QStandardItem* item);
  void AddFilter();
  void RemoveFilter();
  void Browse();
  void FillChoices(std::int32_t type, QComboBox* editor);
  bool IsNameTaken(const std::string& name) const;
  bool MayLeaveAddToDictionary(bool changed);
  std::vector<int> CheckedDictionaries() const;
  int ChosenAddToDictionary() const;

  CDocUi::SProjectSettings& m_settings;
  std::vector<CProjectFilter> m_filters;
  bool m_filtersChanged = false;
  /// Set while the dialog itself fills or changes cells, whose change signals are then
  /// not the user's edits.
  bool m_filling = false;

  QLineEdit* m_name = nullptr;
  QLineEdit* m_directory = nullptr;
  QStandardItemModel* m_dictionaryRows = nullptr;
  CGridView* m_dictionaries = nullptr;
  QCheckBox* m_skipCode = nullptr;
  QCheckBox* m_checkAttributes = nullptr;
  QCheckBox* m_reportRepeats = nullptr;
  QLabel* m_filtersLabel = nullptr;
  QStandardItemModel* m_filterRows = nullptr;
  CGridView* m_filtersGrid = nullptr;
  QLabel* m_noFilters = nullptr;
  QStackedWidget* m_filtersStack = nullptr;
  QPushButton* m_addFilter = nullptr;
  QPushButton* m_removeFilter = nullptr;
  QPushButton* m_info = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_ok = nullptr;
  CFilterChoicesCache* m_choices = nullptr;
};
