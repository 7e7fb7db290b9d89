#include "dictionaries/DictionaryEditorDlg.h"

#include "dictedit/ClipboardText.h"
#include "dictedit/DictionaryWords.h"
#include "dictionaries/AddWordsDlg.h"
#include "dictionaries/FindDlg.h"
#include "dictionaries/WordGridModel.h"

#include "ui_DictionaryEditorDlg.h"

#include "spellcore/SpellChecker.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>

#include <algorithm>

CDictionaryEditorDlg::CDictionaryEditorDlg(QWidget* parent, int dictionaryId,
                                           const CWordFinder::SOptions& findOptions,
                                           HelpOpener help)
    : CShadedDialog(parent, std::move(help)), m_ui(std::make_unique<Ui::DictionaryEditorDlg>()),
      m_id(dictionaryId) {
  m_ui->setupUi(this);
  m_finder.SetOptions(findOptions);
  BuildGrid();
  connect(m_ui->findButton, &QPushButton::clicked, this, &CDictionaryEditorDlg::OnFind);
  connect(m_ui->copyButton, &QPushButton::clicked, this, &CDictionaryEditorDlg::OnCopy);
  connect(m_ui->selectAllButton, &QPushButton::clicked, this, &CDictionaryEditorDlg::OnSelectAll);
  connect(m_ui->addButton, &QPushButton::clicked, this, &CDictionaryEditorDlg::OnAdd);
  connect(m_ui->pasteButton, &QPushButton::clicked, this, &CDictionaryEditorDlg::OnPaste);
  connect(m_ui->removeButton, &QPushButton::clicked, this, &CDictionaryEditorDlg::OnRemove);
  connect(m_ui->okButton, &QPushButton::clicked, this, &CDictionaryEditorDlg::accept);
  connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  SetHelpTopic(m_ui->infoButton, kHelpTopic);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), &CDictionaryEditorDlg::OnSelectAll);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_C), &CDictionaryEditorDlg::OnCopy);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_V), &CDictionaryEditorDlg::OnPaste);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_X), &CDictionaryEditorDlg::OnCut);
  AddShortcut(QKeySequence(Qt::Key_F3), &CDictionaryEditorDlg::OnFindAgain);
  ShadeButtons({m_ui->findButton, m_ui->copyButton, m_ui->selectAllButton, m_ui->addButton,
                m_ui->pasteButton, m_ui->removeButton, m_ui->infoButton, m_ui->cancelButton,
                m_ui->okButton});
  RememberShape(QStringLiteral("DictionaryEditor"));
  LoadWords();
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
          &CDictionaryEditorDlg::UpdatePaste);
  UpdatePaste();
}

CDictionaryEditorDlg::~CDictionaryEditorDlg() = default;

void CDictionaryEditorDlg::BuildGrid() {
  CGridView* grid = m_ui->wordGrid;
  m_model = new CWordGridModel(this);
  grid->setModel(m_model);
  grid->SetEmptyText(QString::fromLatin1(kEmptyText));
  grid->horizontalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  // Fixed row heights keep a big dictionary from being measured row by row.
  QHeaderView* numbers = grid->verticalHeader();
  numbers->setSectionResizeMode(QHeaderView::Fixed);
  numbers->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  numbers->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  grid->setTabKeyNavigation(false);
  grid->setWordWrap(false);
  // The edit is taken once the in-place editor has gone.
  connect(m_model, &CWordGridModel::WordEdited, this, &CDictionaryEditorDlg::OnWordEdited,
          Qt::QueuedConnection);
  connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &CDictionaryEditorDlg::UpdateCellCommands);
}

void CDictionaryEditorDlg::AddShortcut(const QKeySequence& key,
                                       void (CDictionaryEditorDlg::*handler)()) {
  auto* action = new QAction(this);
  action->setShortcut(key);
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(action, &QAction::triggered, this, handler);
  addAction(action);
}

void CDictionaryEditorDlg::LoadWords() {
  for (QPushButton* button : {m_ui->selectAllButton, m_ui->removeButton, m_ui->findButton,
                              m_ui->copyButton, m_ui->pasteButton, m_ui->okButton}) {
    button->setEnabled(false);
  }
  TextArray words;
  if (CSpellChecker* speller = CSpellChecker::GetInstance()) {
    std::string name;
    speller->GetDictionaryName(m_id, name);
    if (!name.empty()) {
      setWindowTitle(QString::fromStdString(name));
    }
    speller->GetWords(m_id, words);
  }
  m_model->SetWords(std::move(words.Items()));
  if (m_model->rowCount() == 0) {
    ShowEmpty();
    return;
  }
  ShowRows(0);
}

void CDictionaryEditorDlg::accept() {
  m_ui->wordGrid->CancelEdit();
  if (CSpellChecker* speller = CSpellChecker::GetInstance()) {
    speller->SetWords(m_id, TextArray(m_model->Words()));
  }
  CShadedDialog::accept();
}

// ---------------------------------------------------------------------------------
// The buttons

void CDictionaryEditorDlg::OnFind() {
  if (m_ui->findButton->isEnabled()) {
    OpenFind({});
  }
}

void CDictionaryEditorDlg::OnFindAgain() {
  if (m_model->rowCount() > 0 && m_finder.HasText()) {
    FindNext();
  }
}

void CDictionaryEditorDlg::OnCopy() {
  if (!m_ui->copyButton->isEnabled()) {
    return;
  }
  const auto [first, last] = SelectedRows();
  if (first < 0) {
    return;
  }
  QStringList lines;
  lines.reserve(last - first + 1);
  for (int row = first; row <= last; ++row) {
    lines.append(QString::fromStdString(m_model->Words()[static_cast<std::size_t>(row)]));
  }
  QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

void CDictionaryEditorDlg::OnCut() {
  if (m_ui->copyButton->isEnabled() && m_ui->removeButton->isEnabled()) {
    OnCopy();
    OnRemove();
  }
}

void CDictionaryEditorDlg::OnSelectAll() {
  if (m_ui->selectAllButton->isEnabled()) {
    m_ui->wordGrid->selectAll();
    m_ui->wordGrid->setFocus();
  }
}

void CDictionaryEditorDlg::OnAdd() {
  std::vector<std::string> words;
  CAddWordsDlg dialog(this, words, Help());
  if (dialog.exec() == QDialog::Accepted) {
    AddTexts(words);
  }
}

void CDictionaryEditorDlg::OnPaste() {
  if (m_ui->pasteButton->isEnabled()) {
    AddTexts(CDictionaryWords::SplitPasted(ClipboardEntries(), kEmptyEntry));
  }
}

void CDictionaryEditorDlg::OnRemove() {
  if (!m_ui->removeButton->isEnabled()) {
    return;
  }
  m_ui->wordGrid->CancelEdit();
  const auto [first, last] = SelectedRows();
  if (first < 0) {
    return;
  }
  m_model->RemoveRows(first, last);
  m_ui->okButton->setEnabled(true);
  if (m_model->rowCount() == 0) {
    ShowEmpty();
    return;
  }
  FocusRow(std::min(first, m_model->rowCount() - 1));
}

void CDictionaryEditorDlg::OnWordEdited(int row, const QString& text) {
  m_ui->okButton->setEnabled(true);
  m_model->ReplaceRow(row, text.toStdString());
  if (m_model->rowCount() == 0) {
    ShowEmpty();
    return;
  }
  FocusRow(std::min(row, m_model->rowCount() - 1));
}

// ---------------------------------------------------------------------------------
// Adding and finding

void CDictionaryEditorDlg::AddTexts(const std::vector<std::string>& texts) {
  if (texts.empty()) {
    return;
  }
  const std::vector<std::string> added = m_model->AddTexts(texts);
  if (added.empty()) {
    if (m_model->rowCount() > 0) {
      m_ui->wordGrid->setFocus();
    }
    return;
  }
  m_ui->okButton->setEnabled(true);
  ShowRows(m_model->RowOf(added.front()));
}

void CDictionaryEditorDlg::OpenFind(const QString& message) {
  CFindDlg dialog(this,
                  {QString::fromLatin1(CWordFinder::kPrompt), message,
                   QString::fromStdString(m_finder.Text()), m_finder.Options(), kFindHelpTopic},
                  Help());
  if (dialog.exec() != QDialog::Accepted || dialog.Text().isEmpty()) {
    return;
  }
  m_finder.Start(dialog.Text().toStdString(), dialog.Options());
  FindNext();
}

void CDictionaryEditorDlg::FindNext() {
  const QModelIndex current = m_ui->wordGrid->currentIndex();
  std::optional<std::size_t> focused;
  if (current.isValid()) {
    focused = static_cast<std::size_t>(current.row());
  }
  const std::optional<std::size_t> found = m_finder.FindNext(m_model->Words(), focused);
  if (found) {
    FocusRow(static_cast<int>(*found));
    return;
  }
  OpenFind(QString::fromLatin1(m_finder.NotFoundMessage()));
}

// ---------------------------------------------------------------------------------
// The grid's state

void CDictionaryEditorDlg::ShowRows(int row) {
  m_ui->wordGrid->setEnabled(true);
  m_ui->selectAllButton->setEnabled(true);
  m_ui->findButton->setEnabled(true);
  FocusRow(row);
  UpdateCellCommands();
}

void CDictionaryEditorDlg::ShowEmpty() {
  m_ui->addButton->setFocus();
  for (QPushButton* button :
       {m_ui->selectAllButton, m_ui->removeButton, m_ui->findButton, m_ui->copyButton}) {
    button->setEnabled(false);
  }
  UpdatePaste();
  m_ui->wordGrid->setEnabled(false);
}

void CDictionaryEditorDlg::FocusRow(int row) {
  const QModelIndex cell = m_model->index(row, 0);
  m_ui->wordGrid->setCurrentIndex(cell);
  m_ui->wordGrid->scrollTo(cell);
  m_ui->wordGrid->setFocus();
}

std::pair<int, int> CDictionaryEditorDlg::SelectedRows() const {
  const QItemSelection selection = m_ui->wordGrid->selectionModel()->selection();
  if (!selection.isEmpty()) {
    int first = m_model->rowCount();
    int last = -1;
    for (const QItemSelectionRange& range : selection) {
      first = std::min(first, range.top());
      last = std::max(last, range.bottom());
    }
    return {first, last};
  }
  const QModelIndex current = m_ui->wordGrid->currentIndex();
  return current.isValid() ? std::pair{current.row(), current.row()} : std::pair{-1, -1};
}

void CDictionaryEditorDlg::UpdateCellCommands() {
  const bool inside = m_ui->wordGrid->currentIndex().isValid() && m_model->rowCount() > 0;
  m_ui->copyButton->setEnabled(inside);
  m_ui->removeButton->setEnabled(inside);
}

void CDictionaryEditorDlg::UpdatePaste() {
  m_ui->pasteButton->setEnabled(!ClipboardEntries().empty());
}

std::vector<std::string> CDictionaryEditorDlg::ClipboardEntries() const {
  std::vector<std::string> entries;
  CClipboardText::Parse(QApplication::clipboard()->text().toStdString(), kEmptyEntry, entries);
  return entries;
}
