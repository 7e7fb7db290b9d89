#include "projectsettings/ProjectSettingsDlg.h"

#include "projects/ProjectNaming.h"
#include "projectsettings/CheckCellDelegate.h"
#include "projectsettings/FilterChoicesCache.h"
#include "projectsettings/FilterDelegate.h"
#include "widgets/GridView.h"
#include "widgets/MessageBoxService.h"

#include "spellcore/SpellChecker.h"

#include "utilcore/DirUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace {
constexpr const char* kTitle = "Project Settings";
constexpr const char* kShapeKey = "ProjectSettings";
constexpr const char* kHelpTopic = "HowTo/WebSiteSetup.htm";
constexpr const char* kIntroduction =
    "To visually identify a web site project, enter the name below, then select the root "
    "directory of the project. You can also select which dictionaries to use for "
    "spell-checking this project's words.";
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
constexpr const char* kNoFilters = "No filters applied.";
constexpr const char* kSkipCode = "&Skip code samples";
constexpr const char* kSkipCodeTip =
    "Leave the text inside code, pre, kbd, samp, var and tt elements unchecked: for sites "
    "whose code samples are not prose, such as API references and manuals.";
constexpr const char* kCheckAttributes = "Check &image descriptions and tooltips";
constexpr const char* kCheckAttributesTip =
    "Check the text of alt attributes (images, image map areas, image buttons), title "
    "attributes (tooltips), accessible names, hints of fields, captions of buttons and the "
    "page's description too: for sites whose readers, or their screen readers, meet those "
    "descriptions.";
constexpr const char* kReportRepeats = "Report repeated &words";
constexpr const char* kReportRepeatsTip =
    "List a word that repeats the word right before it, as in \"walked to the the harbour\", "
    "also across a line break or inline markup, with \"(duplicate)\" after it.";

// Background styles of the closing buttons and the filter buttons.
constexpr int kStyleFilterButtons = 10;
constexpr int kStyleDialogButtons = 11;

// Columns of the dictionaries grid (the row number is the vertical header).
constexpr int kCheckColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kRadioColumn = 2;
constexpr int kIdRole = Qt::UserRole + 1;
// The dictionaries grid shows this many rows before it scrolls.
constexpr int kVisibleDictionaryRows = 6;
constexpr int kDefaultWidth = 560;
constexpr int kDefaultHeight = 560;

template <typename T> T* Named(T* widget, const char* name, int controlId) {
  widget->setObjectName(QLatin1String(name));
  widget->setProperty("ctrlId", controlId);
  return widget;
}

QLabel* Caption(const char* text, QWidget* buddy, const char* name, int controlId) {
  auto* label = Named(new QLabel(QString::fromUtf8(text)), name, controlId);
  label->setBuddy(buddy);
  return label;
}

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

void TuneGrid(CGridView* grid) {
  grid->setSelectionBehavior(QAbstractItemView::SelectItems);
  grid->setTabKeyNavigation(false);
  grid->setWordWrap(false);
  grid->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->horizontalHeader()->setHighlightSections(false);
}
} // namespace

CProjectSettingsDlg::CProjectSettingsDlg(QWidget* parent, CDocUi::SProjectSettings& settings,
                                         HelpOpener help)
    : CShadedDialog(parent, std::move(help)), m_settings(settings), m_filters(settings.filters),
      m_choices(new CFilterChoicesCache(this)) {
  setObjectName("projectSettingsDlg");
  const QString name = QString::fromStdString(settings.name);
  setWindowTitle(name.isEmpty() ? QLatin1String(kTitle)
                                : QLatin1String(kTitle) + QStringLiteral(" for ") + name);

  auto* introduction = Named(new QLabel(QString::fromUtf8(kIntroduction)), "introduction", 6046);
  introduction->setWordWrap(true);

  m_name = Named(new QLineEdit(name), "nameEdit", 6001);
  m_directory =
      Named(new QLineEdit(QString::fromStdString(settings.rootDirectory)), "directoryEdit", 6004);
  m_directory->setToolTip(QStringLiteral("Alt+Down chooses the directory in a folder window"));
  m_directory->installEventFilter(this);
  auto* browse = Named(new QToolButton, "browseButton", 0);
  browse->setText(QStringLiteral("..."));
  browse->setToolTip(QStringLiteral("Choose the directory"));
  browse->setAccessibleName(QStringLiteral("Choose the directory"));
  connect(browse, &QToolButton::clicked, this, &CProjectSettingsDlg::Browse);

  m_dictionaryRows = new QStandardItemModel(0, 3, this);
  m_dictionaries = Named(new CGridView, "dictionariesGrid", 6050);
  m_dictionaries->setModel(m_dictionaryRows);
  TuneGrid(m_dictionaries);
  m_dictionaries->setItemDelegateForColumn(
      kCheckColumn,
      new CCheckCellDelegate(CCheckCellDelegate::EIndicator::CheckBox, m_dictionaries));
  m_dictionaries->setItemDelegateForColumn(
      kRadioColumn, new CCheckCellDelegate(CCheckCellDelegate::EIndicator::Radio, m_dictionaries));

  m_skipCode = Named(new QCheckBox(QString::fromUtf8(kSkipCode)), "skipCodeCheck", 6053);
  m_skipCode->setChecked(settings.options.skipCodeSamples);
  m_skipCode->setToolTip(QString::fromUtf8(kSkipCodeTip));
  m_checkAttributes =
      Named(new QCheckBox(QString::fromUtf8(kCheckAttributes)), "checkAttributesCheck", 6054);
  m_checkAttributes->setChecked(settings.options.checkImageText);
  m_checkAttributes->setToolTip(QString::fromUtf8(kCheckAttributesTip));
  m_reportRepeats =
      Named(new QCheckBox(QString::fromUtf8(kReportRepeats)), "reportRepeatsCheck", 6055);
  m_reportRepeats->setChecked(settings.options.reportRepeatedWords);
  m_reportRepeats->setToolTip(QString::fromUtf8(kReportRepeatsTip));
  auto* options = new QHBoxLayout;
  options->addWidget(m_skipCode);
  options->addWidget(m_checkAttributes);
  options->addWidget(m_reportRepeats);
  options->addStretch(1);

  auto* fields = new QGridLayout;
  fields->addWidget(Caption("&Name:", m_name, "nameLabel", 6002), 0, 0);
  fields->addWidget(m_name, 0, 1, 1, 2);
  fields->addWidget(Caption("&Directory:", m_directory, "directoryLabel", 6003), 1, 0);
  fields->addWidget(m_directory, 1, 1);
  fields->addWidget(browse, 1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(introduction);
  layout->addLayout(fields);
  layout->addWidget(Caption("Di&ctionaries:", m_dictionaries, "dictionariesLabel", 6006));
  layout->addWidget(m_dictionaries);
  layout->addLayout(options);
  QWidget* filters = MakeFiltersArea();
  layout->addWidget(m_filtersLabel);
  layout->addWidget(filters, 1);
  layout->addLayout(MakeButtonRow());

  FillDictionaries();
  BuildFiltersGrid(0);
  ShadeButtons({m_ok, m_cancel, m_info}, kStyleDialogButtons);
  ShadeButtons({m_addFilter, m_removeFilter}, kStyleFilterButtons);

  connect(m_name, &QLineEdit::textChanged, this, &CProjectSettingsDlg::EnableOk);
  connect(m_directory, &QLineEdit::textChanged, this, &CProjectSettingsDlg::EnableOk);
  connect(m_skipCode, &QCheckBox::toggled, this, &CProjectSettingsDlg::EnableOk);
  connect(m_checkAttributes, &QCheckBox::toggled, this, &CProjectSettingsDlg::EnableOk);
  connect(m_reportRepeats, &QCheckBox::toggled, this, &CProjectSettingsDlg::EnableOk);
  connect(m_dictionaryRows, &QStandardItemModel::itemChanged, this,
          &CProjectSettingsDlg::OnDictionaryCellChanged);
  connect(m_filterRows, &QStandardItemModel::itemChanged, this,
          &CProjectSettingsDlg::OnFilterCellChanged);
  connect(m_filtersGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &CProjectSettingsDlg::UpdateRemoveFilter);

  // OK waits for the user's first change.
  m_ok->setEnabled(false);
  resize(kDefaultWidth, kDefaultHeight);
  RememberShape(QLatin1String(kShapeKey));
  m_name->setFocus();
}

CProjectSettingsDlg::~CProjectSettingsDlg() = default;

QWidget* CProjectSettingsDlg::MakeFiltersArea() {
  m_filterRows = new QStandardItemModel(0, 2, this);
  m_filterRows->setHorizontalHeaderLabels(
      {QStringLiteral("Filter Type"), QStringLiteral("Filter Specification")});
  m_filtersGrid = Named(new CGridView, "filtersGrid", 6051);
  m_filtersGrid->setModel(m_filterRows);
  TuneGrid(m_filtersGrid);
  m_filtersGrid->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
  m_filtersGrid->horizontalHeader()->setStretchLastSection(true);
  m_filtersGrid->setItemDelegate(new CFilterDelegate(
      [this](std::int32_t type, QComboBox* editor) { FillChoices(type, editor); }, m_filtersGrid));

  m_noFilters = Named(new QLabel(QLatin1String(kNoFilters)), "noFiltersMessage", 6051);
  m_noFilters->setAlignment(Qt::AlignCenter);
  m_noFilters->setFrameShape(QFrame::StyledPanel);
  m_noFilters->setAutoFillBackground(true);
  m_noFilters->setBackgroundRole(QPalette::Base);

  m_filtersStack = new QStackedWidget;
  m_filtersStack->addWidget(m_filtersGrid);
  m_filtersStack->addWidget(m_noFilters);
  m_filtersLabel = Caption("&Filters:", m_filtersGrid, "filtersLabel", 6052);
  return m_filtersStack;
}

QLayout* CProjectSettingsDlg::MakeButtonRow() {
  m_addFilter = Named(new QPushButton(QStringLiteral("&Add Filter")), "addFilterButton", 6047);
  m_removeFilter =
      Named(new QPushButton(QStringLiteral("&Remove Filter")), "removeFilterButton", 6049);
  m_info = Named(new QPushButton(QStringLiteral("Info")), "infoButton", 57669);
  m_cancel = Named(new QPushButton(QStringLiteral("Cancel")), "cancelButton", 2);
  m_ok = Named(new QPushButton(QStringLiteral("OK")), "okButton", 1);
  for (QPushButton* button : {m_addFilter, m_removeFilter, m_info, m_cancel}) {
    button->setAutoDefault(false);
  }
  m_ok->setDefault(true);
  m_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  m_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  m_info->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  m_info->setToolTip(QStringLiteral("How to set up a web site project (F1)"));
  m_info->setEnabled(static_cast<bool>(Help()));
  SetHelpTopic(m_info, kHelpTopic);

  connect(m_addFilter, &QPushButton::clicked, this, &CProjectSettingsDlg::AddFilter);
  connect(m_removeFilter, &QPushButton::clicked, this, &CProjectSettingsDlg::RemoveFilter);
  connect(m_cancel, &QPushButton::clicked, this, &CProjectSettingsDlg::reject);
  connect(m_ok, &QPushButton::clicked, this, &CProjectSettingsDlg::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(m_addFilter);
  row->addWidget(m_removeFilter);
  row->addStretch(1);
  row->addWidget(m_info);
  row->addWidget(m_cancel);
  row->addWidget(m_ok);
  return row;
}

// ---------------------------------------------------------------------------------
// Dictionaries

void CProjectSettingsDlg::FillDictionaries() {
  m_dictionaryRows->setHorizontalHeaderLabels(
      {QStringLiteral("?"), QStringLiteral("Dictionary"),
       QStringLiteral("\"Add To Dictionary\" Button Uses")});
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return;
  }
  std::vector<int> ids;
  speller->GetDictionaries(ids, true, true);
  const std::vector<int>& active = m_settings.activeDictionaries;
  const QLocale locale;
  m_filling = true;
  for (const int id : ids) {
    std::string name;
    speller->GetDictionaryName(id, name);
    // Every project's ignore dictionary is its own business, never a choice here.
    if (name.empty() || CProjectNaming::IsIgnoreDictionaryName(name)) {
      continue;
    }
    QList<QStandardItem*> row;
    row << CheckCell(std::find(active.begin(), active.end(), id) != active.end());
    row << FixedCell(QString::fromStdString(name));
    row << (id > 0 ? CheckCell(id == m_settings.addToDictionaryId) : FixedCell());
    row[kNameColumn]->setData(id, kIdRole);
    m_dictionaryRows->appendRow(row);
    m_dictionaryRows->setVerticalHeaderItem(
        m_dictionaryRows->rowCount() - 1,
        new QStandardItem(locale.toString(m_dictionaryRows->rowCount())));
  }
  m_filling = false;
  m_dictionaries->resizeColumnsToContents();
  m_dictionaries->horizontalHeader()->setStretchLastSection(true);
  const int rows = std::min(std::max(m_dictionaryRows->rowCount(), 1), kVisibleDictionaryRows);
  const int height = m_dictionaries->horizontalHeader()->sizeHint().height() +
                     (rows * m_dictionaries->verticalHeader()->defaultSectionSize()) +
                     (2 * m_dictionaries->frameWidth());
  m_dictionaries->setFixedHeight(height);
  m_dictionaries->setCurrentIndex(m_dictionaryRows->index(0, kCheckColumn));
}

void CProjectSettingsDlg::OnDictionaryCellChanged(QStandardItem* item) {
  if (m_filling) {
    return;
  }
  if (item->column() == kRadioColumn && IsChecked(item)) {
    // The radios are one group: the new choice clears the others.
    m_filling = true;
    for (int row = 0; row < m_dictionaryRows->rowCount(); ++row) {
      QStandardItem* other = m_dictionaryRows->item(row, kRadioColumn);
      if (row != item->row() && IsChecked(other)) {
        other->setCheckState(Qt::Unchecked);
      }
    }
    m_filling = false;
  }
  EnableOk();
}

std::vector<int> CProjectSettingsDlg::CheckedDictionaries() const {
  std::vector<int> ids;
  for (int row = 0; row < m_dictionaryRows->rowCount(); ++row) {
    if (IsChecked(m_dictionaryRows->item(row, kCheckColumn))) {
      ids.push_back(m_dictionaryRows->item(row, kNameColumn)->data(kIdRole).toInt());
    }
  }
  return ids;
}

int CProjectSettingsDlg::ChosenAddToDictionary() const {
  for (int row = 0; row < m_dictionaryRows->rowCount(); ++row) {
    if (IsChecked(m_dictionaryRows->item(row, kRadioColumn))) {
      return m_dictionaryRows->item(row, kNameColumn)->data(kIdRole).toInt();
    }
  }
  return m_settings.addToDictionaryId;
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
    m_filtersGrid->setCurrentIndex(m_filterRows->index(row, CFilterDelegate::kTypeColumn));
  }
  UpdateRemoveFilter();
}

void CProjectSettingsDlg::ShowFiltersGrid(bool show) {
  m_filtersStack->setCurrentWidget(show ? static_cast<QWidget*>(m_filtersGrid) : m_noFilters);
  // The label's mnemonic still leads somewhere useful without a grid.
  m_filtersLabel->setBuddy(show ? static_cast<QWidget*>(m_filtersGrid) : m_addFilter);
}

void CProjectSettingsDlg::FitFiltersColumns() {
  m_filtersGrid->resizeColumnToContents(CFilterDelegate::kTypeColumn);
}

void CProjectSettingsDlg::UpdateRemoveFilter() {
  m_removeFilter->setEnabled(m_filtersStack->currentWidget() == m_filtersGrid &&
                             m_filtersGrid->currentIndex().isValid());
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
  m_filtersGrid->setFocus();
  EnableOk();
}

void CProjectSettingsDlg::RemoveFilter() {
  const QModelIndex current = m_filtersGrid->currentIndex();
  if (m_filtersStack->currentWidget() != m_filtersGrid || !current.isValid()) {
    return;
  }
  std::set<int> rows;
  for (const QModelIndex& index : m_filtersGrid->selectionModel()->selectedIndexes()) {
    rows.insert(index.row());
  }
  // A selection of one row or none: the focus cell's row goes.
  if (rows.size() < 2) {
    rows = {current.row()};
  }
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if (*row < static_cast<int>(m_filters.size())) {
      m_filters.erase(m_filters.begin() + *row);
    }
  }
  m_filtersChanged = true;
  BuildFiltersGrid(*rows.begin());
  if (m_filters.empty()) {
    m_addFilter->setFocus();
  }
  EnableOk();
}

void CProjectSettingsDlg::FillChoices(std::int32_t type, QComboBox* editor) {
  m_choices->Fill(m_directory->text().trimmed(), type, editor);
}

// ---------------------------------------------------------------------------------
// Fields, OK and the other buttons

void CProjectSettingsDlg::EnableOk() {
  m_ok->setEnabled(!m_name->text().trimmed().isEmpty() &&
                   !m_directory->text().trimmed().isEmpty() && !CheckedDictionaries().empty());
}

void CProjectSettingsDlg::Browse() {
  QString start = m_directory->text().trimmed();
  if (start.isEmpty()) {
    start = QString::fromStdString(m_settings.newProjectDirectory);
  }
  const QString chosen = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Select the project's directory"), start);
  if (!chosen.isEmpty()) {
    m_directory->setText(chosen);
  }
  m_directory->setFocus();
}

bool CProjectSettingsDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_directory && event->type() == QEvent::KeyPress) {
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

void CProjectSettingsDlg::accept() {
  if (CSpellChecker::GetInstance() == nullptr) {
    return;
  }
  const std::string name = m_name->text().trimmed().toStdString();
  if (name.empty()) {
    m_name->setFocus();
    return;
  }
  if (IsNameTaken(name)) {
    m_name->setFocus();
    CMessageBoxService::Ask(
        this, {windowTitle(), QString::fromUtf8(kNameTaken), CMessageBoxService::EButtons::Ok, {}});
    return;
  }
  const std::string directory = m_directory->text().trimmed().toStdString();
  if (!CDirUtils::DoesDirExist(directory)) {
    m_directory->setFocus();
    CMessageBoxService::Ask(
        this,
        {windowTitle(), QString::fromUtf8(kNoDirectory), CMessageBoxService::EButtons::Ok, {}});
    return;
  }
  const std::vector<int> ids = CheckedDictionaries();
  const int addToId = ChosenAddToDictionary();
  // -1 names no dictionary at all (none to add words to), so there is nothing to ask.
  const bool addToActive = addToId < 0 || std::find(ids.begin(), ids.end(), addToId) != ids.end();
  if (!addToActive && !MayLeaveAddToDictionary(addToId != m_settings.addToDictionaryId)) {
    return;
  }
  m_settings.name = name;
  m_settings.rootDirectory = directory;
  m_settings.activeDictionaries = ids;
  m_settings.addToDictionaryId = addToId;
  m_settings.options.skipCodeSamples = m_skipCode->isChecked();
  m_settings.options.checkImageText = m_checkAttributes->isChecked();
  m_settings.options.reportRepeatedWords = m_reportRepeats->isChecked();
  m_settings.filtersChanged = m_filtersChanged;
  if (m_filtersChanged) {
    m_settings.filters = m_filters;
  }
  QDialog::accept();
}
