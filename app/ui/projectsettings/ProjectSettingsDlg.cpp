#include "projectsettings/ProjectSettingsDlg.h"

#include "ui_ProjectSettingsDlg.h"

#include "projects/ProjectNaming.h"
#include "projectsettings/CheckCellDelegate.h"
#include "projectsettings/FilterChoicesCache.h"
#include "projectsettings/FilterDelegate.h"
#include "widgets/GridView.h"
#include "widgets/MessageBoxService.h"

#include "spellcore/SpellChecker.h"

#include "utilcore/DirUtils.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QStyle>

#include <algorithm>
#include <set>

namespace {
constexpr const char* kTitle = "Project Settings";
constexpr const char* kShapeKey = "ProjectSettings";
constexpr const char* kHelpTopic = "HowTo/WebSiteSetup.htm";
constexpr const char* kNameTaken =
    "This project name is already used by another project.\n\nTo avoid confusion, Pagelint "
    "does not allow the same name to be used for two different projects.\n\nYou can either "
    "change this project's name, or press Cancel and change the other project's name (first).";
constexpr const char* kNoDirectory =
    "The project's directory no longer exists. Please select a different one.";
constexpr const char* kAddToUnused =
    "You have elected to not use the custom dictionary that is used as the \"Add To "
    "Dictionary\" dictionary.";
constexpr const char* kAddToNotActive =
    "The dictionary to use when you press the \"Add To Dictionary\" button is not one of the "
    "ones you selected as active dictionaries to use for this project.";
constexpr const char* kAddToRest =
    "\n\nWhat this means is that, when you press the \"Add To Dictionary\" button, spell "
    "checking will not start again, because the affected dictionary is not part of the "
    "collection of dictionaries to check.\n\nYou may want to consider including this custom "
    "dictionary as part of the selection of dictionaries to be used during spell checking, or "
    "you may wish to select a different custom dictionary.\n\nDo you wish to leave the "
    "settings as you have set them?";

// Background styles of the closing buttons and the filter buttons.
constexpr int kStyleFilterButtons = 10;
constexpr int kStyleDialogButtons = 11;

// Columns of the dictionaries grid (the row number is the vertical header).
constexpr int kCheckColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kRadioColumn = 2;
// The dictionaries grid shows this many rows before it scrolls.
constexpr int kVisibleDictionaryRows = 6;

QStandardItem* FixedCell(const QString& text = {}) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  return item;
}

QStandardItem* CheckCell(bool checked) {
  QStandardItem* item = FixedCell();
  item->setCheckable(true);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

bool IsChecked(const QStandardItem* item) {
  return item != nullptr && item->isCheckable() && item->checkState() == Qt::Checked;
}

/// What the form cannot say about a grid's row numbers.
void TuneRowHeader(CGridView* grid) {
  grid->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

/// The rows Remove Filter takes: the selected ones; with one or none selected, the
/// focus cell's.
std::set<int> RowsToRemove(const QAbstractItemView& grid) {
  std::set<int> rows;
  for (const QModelIndex& index : grid.selectionModel()->selectedIndexes()) {
    rows.insert(index.row());
  }
  if (rows.size() < 2) {
    rows = {grid.currentIndex().row()};
  }
  return rows;
}

/// Every dictionary of the speller but other sites' own word lists (the project's own
/// is among `active`); the selection leaves out what else it does not offer.
std::vector<CDictionarySelection::SDictionary> SpellerDictionaries(const std::vector<int>& active) {
  std::vector<CDictionarySelection::SDictionary> dictionaries;
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return dictionaries;
  }
  std::vector<int> ids;
  speller->GetDictionaries(ids, true, true);
  // The desktop's languages follow the program's own dictionaries, in name order.
  speller->GetHunspellDictionaries(ids);
  for (const int id : ids) {
    if (speller->IsSiteWordList(id) &&
        std::find(active.begin(), active.end(), id) == active.end()) {
      continue;
    }
    std::string name;
    speller->GetDictionaryName(id, name);
    dictionaries.push_back({id, std::move(name), speller->TakesWords(id)});
  }
  return dictionaries;
}
} // namespace

CProjectSettingsDlg::CProjectSettingsDlg(QWidget* parent, CDocUi::SProjectSettings& settings,
                                         HelpOpener help)
    : CShadedDialog(parent, std::move(help)), m_ui(std::make_unique<Ui::ProjectSettingsDlg>()),
      m_settings(settings), m_dictionaries(SpellerDictionaries(settings.activeDictionaries),
                                           settings.activeDictionaries, settings.addToDictionaryId),
      m_filters(settings.filters), m_choices(new CFilterChoicesCache(this)) {
  m_ui->setupUi(this);
  const QString name = QString::fromStdString(settings.name);
  setWindowTitle(name.isEmpty() ? QLatin1String(kTitle)
                                : QLatin1String(kTitle) + QStringLiteral(" for ") + name);
  SetUpFields();
  SetUpDictionaries();
  SetUpFilters();
  SetUpButtons();
  FillDictionaries();
  BuildFiltersGrid(0);
  ShadeButtons({m_ui->okButton, m_ui->cancelButton, m_ui->infoButton}, kStyleDialogButtons);
  ShadeButtons({m_ui->addFilterButton, m_ui->removeFilterButton}, kStyleFilterButtons);
  ConnectChanges();
  // OK waits for the user's first change.
  m_ui->okButton->setEnabled(false);
  RememberShape(QLatin1String(kShapeKey));
  m_ui->nameEdit->setFocus();
}

CProjectSettingsDlg::~CProjectSettingsDlg() = default;

void CProjectSettingsDlg::SetUpFields() {
  m_ui->nameEdit->setText(QString::fromStdString(m_settings.name));
  m_ui->directoryEdit->setText(QString::fromStdString(m_settings.rootDirectory));
  m_ui->directoryEdit->installEventFilter(this);
  connect(m_ui->browseButton, &QToolButton::clicked, this, &CProjectSettingsDlg::Browse);
  m_ui->skipCodeCheck->setChecked(m_settings.options.skipCodeSamples);
  m_ui->checkAttributesCheck->setChecked(m_settings.options.checkImageText);
  m_ui->reportRepeatsCheck->setChecked(m_settings.options.reportRepeatedWords);
  m_ui->ignoreUppercaseCheck->setChecked(m_settings.options.ignoreUppercaseWords);
  m_ui->ignoreNumbersCheck->setChecked(m_settings.options.ignoreWordsWithNumbers);
}

void CProjectSettingsDlg::SetUpDictionaries() {
  m_dictionaryRows = new QStandardItemModel(0, 3, this);
  CGridView* grid = m_ui->dictionariesGrid;
  grid->setModel(m_dictionaryRows);
  TuneRowHeader(grid);
  grid->setItemDelegateForColumn(
      kCheckColumn, new CCheckCellDelegate(CCheckCellDelegate::EIndicator::CheckBox, grid));
  grid->setItemDelegateForColumn(
      kRadioColumn, new CCheckCellDelegate(CCheckCellDelegate::EIndicator::Radio, grid));
}

void CProjectSettingsDlg::SetUpFilters() {
  m_filterRows = new QStandardItemModel(0, 2, this);
  m_filterRows->setHorizontalHeaderLabels(
      {QStringLiteral("Filter Type"), QStringLiteral("Filter Specification")});
  CGridView* grid = m_ui->filtersGrid;
  grid->setModel(m_filterRows);
  TuneRowHeader(grid);
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setItemDelegate(new CFilterDelegate(
      [this](std::int32_t type, QComboBox* editor) { FillChoices(type, editor); }, grid));
  m_ui->noFiltersMessage->setBackgroundRole(QPalette::Base);
  // The stack keeps the empty name it has always had: the GUI tests find it by that.
  m_ui->filtersStack->setObjectName(QString());
}

void CProjectSettingsDlg::SetUpButtons() {
  m_ui->okButton->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  m_ui->cancelButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  m_ui->infoButton->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  m_ui->infoButton->setEnabled(static_cast<bool>(Help()));
  SetHelpTopic(m_ui->infoButton, kHelpTopic);
  connect(m_ui->addFilterButton, &QPushButton::clicked, this, &CProjectSettingsDlg::AddFilter);
  connect(m_ui->removeFilterButton, &QPushButton::clicked, this,
          &CProjectSettingsDlg::RemoveFilter);
  connect(m_ui->cancelButton, &QPushButton::clicked, this, &CProjectSettingsDlg::reject);
  connect(m_ui->okButton, &QPushButton::clicked, this, &CProjectSettingsDlg::accept);
}

void CProjectSettingsDlg::ConnectChanges() {
  connect(m_ui->nameEdit, &QLineEdit::textChanged, this, &CProjectSettingsDlg::EnableOk);
  connect(m_ui->directoryEdit, &QLineEdit::textChanged, this, &CProjectSettingsDlg::EnableOk);
  for (QCheckBox* option :
       {m_ui->skipCodeCheck, m_ui->checkAttributesCheck, m_ui->reportRepeatsCheck,
        m_ui->ignoreUppercaseCheck, m_ui->ignoreNumbersCheck}) {
    connect(option, &QCheckBox::toggled, this, &CProjectSettingsDlg::EnableOk);
  }
  connect(m_dictionaryRows, &QStandardItemModel::itemChanged, this,
          &CProjectSettingsDlg::OnDictionaryCellChanged);
  connect(m_filterRows, &QStandardItemModel::itemChanged, this,
          &CProjectSettingsDlg::OnFilterCellChanged);
  connect(m_ui->filtersGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &CProjectSettingsDlg::UpdateRemoveFilter);
}

// ---------------------------------------------------------------------------------
// Dictionaries

void CProjectSettingsDlg::FillDictionaries() {
  m_dictionaryRows->setHorizontalHeaderLabels(
      {QStringLiteral("?"), QStringLiteral("Dictionary"),
       QStringLiteral("\"Add To Dictionary\" Button Uses")});
  if (CSpellChecker::GetInstance() == nullptr) {
    return;
  }
  m_filling = true;
  for (std::size_t row = 0; row < m_dictionaries.Rows().size(); ++row) {
    AppendDictionaryRow(row);
  }
  m_filling = false;
  m_ui->dictionariesGrid->resizeColumnsToContents();
  m_ui->dictionariesGrid->horizontalHeader()->setStretchLastSection(true);
  FitDictionariesHeight();
  m_ui->dictionariesGrid->setCurrentIndex(m_dictionaryRows->index(0, kCheckColumn));
}

void CProjectSettingsDlg::AppendDictionaryRow(std::size_t row) {
  const QString name = QString::fromStdString(m_dictionaries.Rows()[row].name);
  m_dictionaryRows->appendRow(
      {CheckCell(m_dictionaries.IsActive(row)), FixedCell(name),
       m_dictionaries.CanAddTo(row) ? CheckCell(m_dictionaries.IsAddTo(row)) : FixedCell()});
  m_dictionaryRows->setVerticalHeaderItem(
      static_cast<int>(row), new QStandardItem(QLocale().toString(static_cast<int>(row) + 1)));
}

void CProjectSettingsDlg::FitDictionariesHeight() {
  CGridView* grid = m_ui->dictionariesGrid;
  const int rows = std::min(std::max(m_dictionaryRows->rowCount(), 1), kVisibleDictionaryRows);
  const int height = grid->horizontalHeader()->sizeHint().height() +
                     (rows * grid->verticalHeader()->defaultSectionSize()) +
                     (2 * grid->frameWidth());
  grid->setFixedHeight(height);
}

void CProjectSettingsDlg::OnDictionaryCellChanged(QStandardItem* item) {
  if (m_filling) {
    return;
  }
  const auto row = static_cast<std::size_t>(item->row());
  if (item->column() == kCheckColumn) {
    m_dictionaries.SetActive(row, IsChecked(item));
  } else if (item->column() == kRadioColumn && m_dictionaries.SetAddTo(row, IsChecked(item))) {
    ShowAddToChoice();
  }
  EnableOk();
}

void CProjectSettingsDlg::ShowAddToChoice() {
  // The radios are one group: the new choice clears the others.
  m_filling = true;
  for (int row = 0; row < m_dictionaryRows->rowCount(); ++row) {
    QStandardItem* radio = m_dictionaryRows->item(row, kRadioColumn);
    if (IsChecked(radio) && !m_dictionaries.IsAddTo(static_cast<std::size_t>(row))) {
      radio->setCheckState(Qt::Unchecked);
    }
  }
  m_filling = false;
}

// ---------------------------------------------------------------------------------
// Filters

void CProjectSettingsDlg::BuildFiltersGrid(int focusRow) {
  m_filling = true;
  m_filterRows->setRowCount(0);
  for (const CProjectFilter& filter : m_filters) {
    auto* type = new QStandardItem(CFilterDelegate::TextOfType(filter.type));
    type->setData(filter.type, CFilterDelegate::kTypeRole);
    m_filterRows->appendRow({type, new QStandardItem(QString::fromStdString(filter.text))});
  }
  m_filling = false;
  ShowFiltersGrid(!m_filters.empty());
  if (!m_filters.empty()) {
    FitFiltersColumns();
    const int row = std::clamp(focusRow, 0, static_cast<int>(m_filters.size()) - 1);
    m_ui->filtersGrid->setCurrentIndex(m_filterRows->index(row, CFilterDelegate::kTypeColumn));
  }
  UpdateRemoveFilter();
}

void CProjectSettingsDlg::ShowFiltersGrid(bool show) {
  QWidget* grid = m_ui->filtersGrid;
  m_ui->filtersStack->setCurrentWidget(show ? grid : m_ui->noFiltersMessage);
  // The label's mnemonic still leads somewhere useful without a grid.
  m_ui->filtersLabel->setBuddy(show ? grid : m_ui->addFilterButton);
}

void CProjectSettingsDlg::FitFiltersColumns() {
  m_ui->filtersGrid->resizeColumnToContents(CFilterDelegate::kTypeColumn);
}

void CProjectSettingsDlg::UpdateRemoveFilter() {
  m_ui->removeFilterButton->setEnabled(m_ui->filtersStack->currentWidget() == m_ui->filtersGrid &&
                                       m_ui->filtersGrid->currentIndex().isValid());
}

void CProjectSettingsDlg::OnFilterCellChanged(QStandardItem* item) {
  if (m_filling || item->row() >= static_cast<int>(m_filters.size())) {
    return;
  }
  CProjectFilter& filter = m_filters[static_cast<std::size_t>(item->row())];
  if (item->column() == CFilterDelegate::kTypeColumn) {
    // Another type: the old specification means nothing for it.
    filter.type = CFilterDelegate::TypeOfText(item->text());
    filter.text.clear();
    m_filling = true;
    item->setData(filter.type, CFilterDelegate::kTypeRole);
    m_filterRows->item(item->row(), CFilterDelegate::kSpecificationColumn)->setText({});
    m_filling = false;
  } else {
    filter.text = item->text().toStdString();
  }
  m_filtersChanged = true;
  FitFiltersColumns();
  EnableOk();
}

void CProjectSettingsDlg::AddFilter() {
  m_filters.push_back(CProjectFilter{CProjectFilter::FILE, {}});
  m_filtersChanged = true;
  BuildFiltersGrid(static_cast<int>(m_filters.size()) - 1);
  m_ui->filtersGrid->setFocus();
  EnableOk();
}

void CProjectSettingsDlg::RemoveFilter() {
  const QModelIndex current = m_ui->filtersGrid->currentIndex();
  if (m_ui->filtersStack->currentWidget() != m_ui->filtersGrid || !current.isValid()) {
    return;
  }
  const std::set<int> rows = RowsToRemove(*m_ui->filtersGrid);
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if (*row < static_cast<int>(m_filters.size())) {
      m_filters.erase(m_filters.begin() + *row);
    }
  }
  m_filtersChanged = true;
  BuildFiltersGrid(*rows.begin());
  if (m_filters.empty()) {
    m_ui->addFilterButton->setFocus();
  }
  EnableOk();
}

void CProjectSettingsDlg::FillChoices(std::int32_t type, QComboBox* editor) {
  m_choices->Fill(m_ui->directoryEdit->text().trimmed(), type, editor);
}

// ---------------------------------------------------------------------------------
// Fields, OK and the other buttons

void CProjectSettingsDlg::EnableOk() {
  m_ui->okButton->setEnabled(!m_ui->nameEdit->text().trimmed().isEmpty() &&
                             !m_ui->directoryEdit->text().trimmed().isEmpty() &&
                             !m_dictionaries.ActiveIds().empty());
}

void CProjectSettingsDlg::Browse() {
  QString start = m_ui->directoryEdit->text().trimmed();
  if (start.isEmpty()) {
    start = QString::fromStdString(m_settings.newProjectDirectory);
  }
  const QString chosen = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Select the project's directory"), start);
  if (!chosen.isEmpty()) {
    m_ui->directoryEdit->setText(chosen);
  }
  m_ui->directoryEdit->setFocus();
}

bool CProjectSettingsDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_ui->directoryEdit && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool dropDown = (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier) ||
                          (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier);
    if (dropDown) {
      Browse();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool CProjectSettingsDlg::IsNameTaken(const std::string& name) const {
  return std::any_of(
      m_settings.otherNames.begin(), m_settings.otherNames.end(),
      [&name](const std::string& other) { return CProjectNaming::Collide(name, other); });
}

bool CProjectSettingsDlg::MayLeaveAddToDictionary(bool changed) {
  const std::string text = std::string(changed ? kAddToNotActive : kAddToUnused) + kAddToRest;
  return CMessageBoxService::Ask(this, {windowTitle(),
                                        QString::fromStdString(text),
                                        CMessageBoxService::EButtons::YesNo,
                                        {}}) == CMessageBoxService::kAnswerYes;
}

void CProjectSettingsDlg::Refuse(QWidget* focus, const char* text) {
  focus->setFocus();
  CMessageBoxService::Ask(
      this, {windowTitle(), QString::fromUtf8(text), CMessageBoxService::EButtons::Ok, {}});
}

void CProjectSettingsDlg::accept() {
  if (CSpellChecker::GetInstance() == nullptr) {
    return;
  }
  const std::string name = m_ui->nameEdit->text().trimmed().toStdString();
  if (name.empty()) {
    m_ui->nameEdit->setFocus();
    return;
  }
  if (IsNameTaken(name)) {
    Refuse(m_ui->nameEdit, kNameTaken);
    return;
  }
  const std::string directory = m_ui->directoryEdit->text().trimmed().toStdString();
  if (!CDirUtils::DoesDirExist(directory)) {
    Refuse(m_ui->directoryEdit, kNoDirectory);
    return;
  }
  if (!m_dictionaries.IsAddToActive() &&
      !MayLeaveAddToDictionary(m_dictionaries.IsAddToChanged())) {
    return;
  }
  TakeSettings(name, directory);
  QDialog::accept();
}

void CProjectSettingsDlg::TakeSettings(const std::string& name, const std::string& directory) {
  m_settings.name = name;
  m_settings.rootDirectory = directory;
  m_settings.activeDictionaries = m_dictionaries.ActiveIds();
  m_settings.addToDictionaryId = m_dictionaries.AddToId();
  m_settings.options.skipCodeSamples = m_ui->skipCodeCheck->isChecked();
  m_settings.options.checkImageText = m_ui->checkAttributesCheck->isChecked();
  m_settings.options.reportRepeatedWords = m_ui->reportRepeatsCheck->isChecked();
  m_settings.options.ignoreUppercaseWords = m_ui->ignoreUppercaseCheck->isChecked();
  m_settings.options.ignoreWordsWithNumbers = m_ui->ignoreNumbersCheck->isChecked();
  m_settings.filtersChanged = m_filtersChanged;
  if (m_filtersChanged) {
    m_settings.filters = m_filters;
  }
}
