#include "mainwindow/MainView.h"

#include "widgets/ShadeStyle.h"

#include "mainwindow/CheckListModel.h"
#include "mainwindow/StatusProgress.h"
#include "mainwindow/WordListModel.h"
#include "projects/CommandIds.h"
#include "ui_MainView.h"
#include "widgets/MessageBoxService.h"

#include "checking/BadWordsList.h"
#include "checking/PageScanner.h"
#include "checking/ProjectCheckWorker.h"
#include "projects/Doc.h"
#include "projects/WebProject.h"
#include "replace/ReplaceCommand.h"

#include "spellcore/SpellChecker.h"

#include "mtcore/FunctionTarget.h"
#include "mtcore/ReaderAccess.h"
#include "utilcore/DirUtils.h"
#include "utilcore/NumberTextConv.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStringListModel>
#include <QStyledItemDelegate>

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace {

constexpr int kStyleMainWindow = 0;
constexpr int kStyleButtons = 10;
constexpr int kCollectRange = 100;
const char* const kFindingFilesText = "finding project files: ";

QString CountText(int count) {
  return QString::fromStdString(CNumberTextConv::NumberToString(count, true, 0, ""));
}

/// Lets a list of uniformly sized rows be as wide as its widest row: a uniform list
/// measures only its first row.
class CExtentDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void SetWidest(const QModelIndex& index) { m_widest = index; }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (m_widest.isValid() && m_widest != index) {
      size.setWidth(
          std::max(size.width(), QStyledItemDelegate::sizeHint(option, m_widest).width()));
    }
    return size;
  }

private:
  QPersistentModelIndex m_widest;
};

/// Text widths as the sum of the characters' advances: without kerning, but close enough
/// to pick the widest of 40,000 entries, which shaping each one would make slow.
class CAdvanceTable {
public:
  explicit CAdvanceTable(const QFont& font) : m_metrics(font) { m_ascii.fill(-1); }

  int Width(const QString& text) {
    int width = 0;
    for (const QChar character : text) {
      width += Advance(character);
    }
    return width;
  }

private:
  int Advance(QChar character) {
    const char16_t code = character.unicode();
    if (code < m_ascii.size()) {
      int& advance = m_ascii[code];
      if (advance < 0) {
        advance = m_metrics.horizontalAdvance(character);
      }
      return advance;
    }
    auto found = m_others.find(code);
    if (found == m_others.end()) {
      found = m_others.emplace(code, m_metrics.horizontalAdvance(character)).first;
    }
    return found->second;
  }

  QFontMetrics m_metrics;
  std::array<int, 128> m_ascii{};
  std::unordered_map<char16_t, int> m_others;
};

} // namespace

CMainView::CMainView(CDoc& doc, CStatusProgress* progress, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_progress(progress), m_ui(std::make_unique<Ui::MainView>()),
      m_words(new CWordListModel(this)), m_suggestions(new QStringListModel(this)),
      m_files(new CCheckListModel(this)), m_messages(std::make_unique<CFunctionTarget>(
                                              [this](UINT message, WPARAM wParam, LPARAM lParam) {
                                                OnMessage(message, wParam, lParam);
                                              })),
      m_launch(std::make_unique<CLaunchActions>(this)) {
  m_ui->setupUi(this);
  m_ui->wordsList->setModel(m_words);
  m_ui->suggestionsList->setModel(m_suggestions);
  m_ui->filesList->setModel(m_files);
  for (QListView* list : {m_ui->wordsList, m_ui->suggestionsList, m_ui->filesList}) {
    list->setItemDelegate(new CExtentDelegate(list));
  }
  ApplyReadOnlyLook();
  ConnectControls();
}

CMainView::~CMainView() {
  m_messages.reset();
}

HWND CMainView::GetMessageWindow() const {
  return m_messages->GetSafeHwnd();
}

void CMainView::ConnectControls() {
  const auto whenUser = [this](void (CMainView::*handler)()) {
    return [this, handler] {
      if (!m_selecting) {
        (this->*handler)();
      }
    };
  };
  connect(m_ui->wordsList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          whenUser(&CMainView::OnWordSelected));
  connect(m_ui->suggestionsList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          whenUser(&CMainView::OnSuggestionSelected));
  connect(m_ui->filesList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          whenUser(&CMainView::OnFileSelected));
  for (QListView* list : {m_ui->wordsList, m_ui->suggestionsList, m_ui->filesList}) {
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainView::CommandStatesChanged);
  }
  for (QLineEdit* edit : {m_ui->replaceEdit, m_ui->withEdit}) {
    connect(edit, &QLineEdit::selectionChanged, this, &CMainView::CommandStatesChanged);
  }
  connect(m_files, &QAbstractItemModel::dataChanged, this, [this] { UpdateReplace(); });
  connect(m_ui->withEdit, &QLineEdit::textChanged, this, [this] { UpdateReplace(); });
  connect(m_ui->ignoreButton, &QPushButton::clicked, this, [this] { OnIgnore(); });
  connect(m_ui->addToDictionaryButton, &QPushButton::clicked, this,
          [this] { OnAddToDictionary(); });
  connect(m_ui->replaceButton, &QPushButton::clicked, this, [this] { OnReplace(); });
  connect(m_ui->undoButton, &QPushButton::clicked, this, [this] { OnUndo(); });
  connect(m_ui->viewButton, &QPushButton::clicked, this,
          [this] { OpenSelectedFile(CLaunchActions::EUse::View); });
  connect(m_ui->editButton, &QPushButton::clicked, this,
          [this] { OpenSelectedFile(CLaunchActions::EUse::Edit); });
  connect(m_ui->filesList, &QListView::doubleClicked, this,
          [this] { OpenSelectedFile(CLaunchActions::EUse::View); });
}

CWebProject* CMainView::CurrentProject() const {
  return m_doc.GetCurrentProject();
}

CWebProject* CMainView::ProjectOfMessage(LPARAM lParam) const {
  auto* project = reinterpret_cast<CWebProject*>(lParam);
  if (project == nullptr || project != CurrentProject() || m_doc.GetProjectIndex(project) < 0) {
    return nullptr;
  }
  return project;
}

bool CMainView::IsChecking(const CWebProject& project) const {
  return !m_runOver && project.GetCheckState() == ECheckState::Checking;
}

// ---------------------------------------------------------------------------------
// Life cycle

void CMainView::OnInitialUpdate() {
  ApplyBackgroundStyles();
  ClearSelectionState();
  m_ui->wordCount->setText(CountText(0));
  m_words->Clear();
  if (CSpellChecker* speller = CSpellChecker::GetInstance()) {
    speller->SetMsgWindow(GetMessageWindow(), 0);
  }
}

void CMainView::OnUpdate(int hint) {
  if (hint != CDoc::HINT_PROJECTS_CHANGED) {
    return;
  }
  ClearSelectionState();
  m_ui->wordCount->setText(CountText(0));
  m_words->Clear();
  CWebProject* project = CurrentProject();
  if (project == nullptr) {
    return;
  }
  FillWordList(*project);
  if (m_progress != nullptr) {
    m_progress->Hide();
  }
}

// ---------------------------------------------------------------------------------
// The lists

void CMainView::ClearSelectionState() {
  const CWebProject* project = CurrentProject();
  m_ui->suggestionCount->setText(CountText(0));
  m_suggestions->setStringList({});
  m_ui->suggestionsList->setEnabled(false);
  m_ui->fileCount->setText(CountText(0));
  m_files->Clear();
  MeasureExtent(m_ui->filesList);
  m_ui->filesList->setEnabled(false);
  for (QPushButton* button : {m_ui->ignoreButton, m_ui->addToDictionaryButton, m_ui->editButton,
                              m_ui->viewButton, m_ui->replaceButton}) {
    button->setEnabled(false);
  }
  m_ui->contextLabel->clear();
  for (QLineEdit* edit : {m_ui->replaceEdit, m_ui->withEdit}) {
    edit->clear();
    edit->setEnabled(false);
  }
  m_ui->wordsList->setEnabled(project != nullptr);
  m_ui->undoButton->setEnabled(project != nullptr && !project->GetUndoList().IsEmpty());
  if (project == nullptr && m_progress != nullptr) {
    m_progress->Hide();
  }
}

void CMainView::FillWordList(CWebProject& project) {
  const int count = project.GetBadWordsList().GetWordCount();
  if (IsChecking(project) || count == 0) {
    ShowWordPlaceholder(count > 0 ? kWordsShortly : kNoWords);
    ShowWordCount(project);
    return;
  }
  QListView* list = m_ui->wordsList;
  const SPlace place = ReadPlace(list);
  list->setUpdatesEnabled(false);
  m_words->Fill(project.GetBadWordsList());
  const int row = m_words->FindDisplay(place.selected);
  if (row >= 0) {
    SelectRow(list, row);
  } else if (place.selectedRow >= 0) {
    SelectNextEntry(list, place.selectedRow);
  }
  SetTopRow(list, place.topRow);
  list->setUpdatesEnabled(true);
  MeasureExtent(list);
  list->setEnabled(true);
  ShowWordCount(project);
}

void CMainView::ShowWordPlaceholder(const char* text) {
  const CCheckListModel::SRow* only = m_words->GetRow(0);
  const bool shown = m_words->GetCount() == 1 && only->placeholder && only->display == text;
  if (!shown) {
    m_words->SetPlaceholder(QString::fromLatin1(text));
    MeasureExtent(m_ui->wordsList);
    ClearSelectionState();
  }
  m_ui->wordsList->setEnabled(false);
}

void CMainView::ShowWordCount(const CWebProject& project) {
  m_ui->wordCount->setText(CountText(project.GetBadWordsList().GetWordCount()));
}

void CMainView::FillSuggestions(std::vector<std::string> suggestions) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(suggestions.size()));
  for (const std::string& suggestion : suggestions) {
    texts.push_back(QString::fromStdString(suggestion));
  }
  // The speller ranked them, likeliest first: that order is kept, and the first is
  // selected so that Replace offers it at once.
  QListView* list = m_ui->suggestionsList;
  list->setUpdatesEnabled(false);
  m_suggestions->setStringList(texts);
  if (!texts.isEmpty()) {
    list->setCurrentIndex(m_suggestions->index(0));
  }
  list->setUpdatesEnabled(true);
  MeasureExtent(list);
}

void CMainView::FillFileList(CWebProject& project, const std::string& word, int duplicate) {
  QListView* list = m_ui->filesList;
  const QString remembered = ReadPlace(list).selected;
  list->setUpdatesEnabled(false);
  list->setEnabled(true);
  std::vector<CCheckListModel::SRow> rows;
  bool found = false;
  {
    CBadWordsList& words = project.GetBadWordsList();
    const CReaderAccess access(words);
    const CBadWord* record = word.empty() ? nullptr : words.FindWord(word, duplicate);
    found = record != nullptr;
    if (found) {
      const std::string& root = project.GetRootDirectory();
      auto cursor = record->GetLocations().begin();
      while (cursor != record->GetLocations().end()) {
        std::string path = record->NextFile(cursor);
        CCheckListModel::SRow& row = rows.emplace_back();
        row.text = path.starts_with(root) ? path.substr(root.size()) : std::move(path);
        row.display = QString::fromStdString(row.text);
        row.checked = true;
      }
    }
  }
  m_files->SetRows(std::move(rows));
  MeasureExtent(list);
  if (!found) {
    list->setEnabled(false);
  } else if (!remembered.isEmpty()) {
    SelectRow(list, m_files->FindDisplay(remembered));
  }
  list->setUpdatesEnabled(true);
  OnFileSelected();
  m_ui->fileCount->setText(CountText(m_files->GetCount()));
}

std::string CMainView::SelectedWord() const {
  const CCheckListModel::SRow* entry = m_words->GetRow(SelectedRow(m_ui->wordsList));
  return entry == nullptr || entry->placeholder ? std::string() : entry->text;
}

int CMainView::SelectedDuplicate() const {
  const CCheckListModel::SRow* entry = m_words->GetRow(SelectedRow(m_ui->wordsList));
  return entry == nullptr || entry->placeholder ? 0 : entry->duplicate;
}

void CMainView::OnWordSelected() {
  CWebProject* project = CurrentProject();
  CSpellChecker* speller = CSpellChecker::GetInstance();
  const std::string word = SelectedWord();
  if (word.empty() || project == nullptr || speller == nullptr) {
    ClearSelectionState();
    return;
  }
  // A repeated word is a known word: there is nothing to add, and the fix is to take it
  // out, which Replace with an empty "with" does.
  const int duplicate = SelectedDuplicate();
  m_ui->ignoreButton->setEnabled(true);
  m_ui->addToDictionaryButton->setEnabled(duplicate != 1);
  m_ui->replaceEdit->setText(QString::fromStdString(word));
  m_ui->replaceEdit->setEnabled(true);
  m_ui->withEdit->clear();
  m_ui->withEdit->setEnabled(true);
  m_ui->suggestionsList->setEnabled(true);

  std::vector<std::string> suggestions;
  if (duplicate != 1) {
    speller->Suggest(word, project->GetActiveDictionaries(), suggestions);
  }
  FillSuggestions(std::move(suggestions));
  OnSuggestionSelected();
  m_ui->suggestionCount->setText(CountText(m_suggestions->rowCount()));
  FillFileList(*project, word, duplicate);
  // The files are known only now.
  UpdateReplace();
}

void CMainView::OnSuggestionSelected() {
  const int row = SelectedRow(m_ui->suggestionsList);
  if (row >= 0) {
    m_ui->withEdit->setText(m_suggestions->index(row).data().toString());
  }
  UpdateReplace();
}

void CMainView::OnFileSelected() {
  const int row = SelectedRow(m_ui->filesList);
  QString context;
  CWebProject* project = CurrentProject();
  const std::string word = SelectedWord();
  const CCheckListModel::SRow* file = m_files->GetRow(row);
  if (project != nullptr && !word.empty() && file != nullptr) {
    CBadWordsList& words = project->GetBadWordsList();
    const CReaderAccess access(words);
    if (const CBadWord* record = words.FindWord(word, SelectedDuplicate())) {
      context = QString::fromStdString(
          record->GetContextInFile(project->GetRootDirectory() + file->text));
    }
  }
  m_ui->contextLabel->setText(context);
  m_ui->viewButton->setEnabled(file != nullptr);
  m_ui->editButton->setEnabled(file != nullptr);
}

void CMainView::OpenSelectedFile(CLaunchActions::EUse use) {
  const CWebProject* project = CurrentProject();
  const CCheckListModel::SRow* file = m_files->GetRow(SelectedRow(m_ui->filesList));
  if (project != nullptr && file != nullptr) {
    m_launch->OpenFile(use, project->GetRootDirectory() + file->text);
  }
}

void CMainView::UpdateReplace() {
  const CWebProject* project = CurrentProject();
  if (project == nullptr) {
    return;
  }
  const QString word = m_ui->replaceEdit->text();
  const bool enabled = !IsChecking(*project) && !word.isEmpty() && m_files->IsAnyChecked() &&
                       m_ui->withEdit->text() != word;
  m_ui->replaceButton->setEnabled(enabled);
}

// ---------------------------------------------------------------------------------
// The buttons

void CMainView::OnIgnore() {
  if (const CWebProject* project = CurrentProject()) {
    AddWordsToDictionary(project->GetIgnoreId());
  }
}

void CMainView::OnAddToDictionary() {
  if (const CWebProject* project = CurrentProject()) {
    AddWordsToDictionary(project->GetAddToDictionaryId());
  }
}

void CMainView::AddWordsToDictionary(int dictionaryId) {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  CWebProject* project = CurrentProject();
  if (speller == nullptr || project == nullptr) {
    return;
  }
  m_swallowDictChange = true;
  QListView* list = m_ui->wordsList;
  const int selected = SelectedRow(list);
  CBadWordsList& words = project->GetBadWordsList();
  for (int row = m_words->GetCount() - 1; row >= 0; --row) {
    const CCheckListModel::SRow* entry = m_words->GetRow(row);
    if ((row != selected && !entry->checked) || entry->placeholder) {
      continue;
    }
    const bool repeat = entry->duplicate == 1;
    // A repeated word is known already: only ignoring its repeat means anything.
    if (repeat && dictionaryId != project->GetIgnoreId()) {
      continue;
    }
    // Found and removed under one access: a check may have deleted the word meanwhile.
    if (!words.RemoveWord(entry->text, entry->duplicate)) {
      continue;
    }
    speller->AddWord(dictionaryId,
                     repeat ? CPageScanner::IgnoredRepeatForm(entry->text) : entry->text);
    DeleteEntry(list, row);
  }
  SelectNextEntry(list, selected);
  OnWordSelected();
  ShowWordCount(*project);
}

void CMainView::OnReplace() {
  CWebProject* project = CurrentProject();
  const int wordRow = SelectedRow(m_ui->wordsList);
  const std::string word = SelectedWord();
  if (project == nullptr || word.empty()) {
    return;
  }
  std::vector<std::string> checkedFiles;
  for (int row = 0; row < m_files->GetCount(); ++row) {
    if (m_files->IsChecked(row)) {
      checkedFiles.push_back(m_files->GetRow(row)->text);
    }
  }
  const bool allChecked = m_files->AreAllChecked();
  const CReplaceCommand::SOutcome outcome = CReplaceCommand::Replace(
      *project, word, SelectedDuplicate(), m_ui->withEdit->text().toStdString(), checkedFiles,
      allChecked, CDirUtils::GetAppPath(), AskYesNo());
  if (!outcome.done) {
    return;
  }
  m_ui->undoButton->setEnabled(!project->GetUndoList().IsEmpty());
  if (!outcome.result.unchangedFiles.empty()) {
    // The word is still in those files: the lists must not say it is gone.
    Tell(QStringLiteral("Replace"), CReplaceCommand::UnchangedFilesMessage(outcome.result));
    UpdateReplace();
    return;
  }
  if (allChecked) {
    DeleteEntry(m_ui->wordsList, wordRow);
    OnWordSelected();
    m_ui->wordCount->setText(CountText(project->GetBadWordsList().GetWordCount() - 1));
    return;
  }
  for (int row = m_files->GetCount() - 1; row >= 0; --row) {
    if (m_files->IsChecked(row)) {
      DeleteEntry(m_ui->filesList, row);
    }
  }
  MeasureExtent(m_ui->filesList);
  m_ui->fileCount->setText(CountText(m_files->GetCount()));
  OnFileSelected();
  UpdateReplace();
}

void CMainView::Tell(const QString& title, const std::string& text) {
  CMessageBoxService::Ask(
      this, {title, QString::fromStdString(text), CMessageBoxService::EButtons::Ok, {}});
}

CReplaceCommand::AskYesNo CMainView::AskYesNo(CMessageBoxService::EButtons buttons) {
  return [this, buttons](const std::string& title, const std::string& text) {
    return CMessageBoxService::Ask(
               this, {QString::fromStdString(title), QString::fromStdString(text), buttons, {}}) ==
           CMessageBoxService::kAnswerYes;
  };
}

void CMainView::OnUndo() {
  CWebProject* project = CurrentProject();
  if (project == nullptr) {
    return;
  }
  CUndoReplace::SRestoreResult restored;
  CReplaceCommand::Undo(*project, AskYesNo(),
                        AskYesNo(CMessageBoxService::EButtons::YesNoDefaultNo), &restored);
  if (const std::string problems = CReplaceCommand::UndoProblemsMessage(restored);
      !problems.empty()) {
    Tell(QStringLiteral("Replacement Undo"), problems);
  }
  const bool more = !project->GetUndoList().IsEmpty();
  m_ui->undoButton->setEnabled(more);
  if (!more) {
    m_ui->wordsList->setFocus();
  }
}

// ---------------------------------------------------------------------------------
// The messages

void CMainView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == CSpellChecker::MSG_DICT_CHANGED) {
    OnDictionaryChanged(static_cast<int>(wParam));
    return;
  }
  CWebProject* project = ProjectOfMessage(lParam);
  if (project == nullptr) {
    return;
  }
  if (message == CWebProject::MSG_PROJECT_COLLECT_BEGIN) {
    if (m_progress != nullptr) {
      m_progress->Show(kCollectRange, QString::fromLatin1(kFindingFilesText));
    }
  } else if (message == CWebProject::MSG_PROJECT_COLLECT_DONE) {
    if (m_progress != nullptr) {
      m_progress->Hide();
    }
  } else if (message == CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN) {
    OnCheckBegin(*project, wParam);
  } else if (message == CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED) {
    OnFileChecked(*project, wParam);
  } else if (message == CProjectCheckWorker::MSG_PROJECT_CHECK_DONE) {
    OnCheckDone(*project);
  } else if (message == CWebProject::MSG_PROJECT_WORDS_REMOVED) {
    OnWordsRemoved(*project);
  }
}

QString CMainView::CheckingText(const CWebProject& project, WPARAM progress) {
  const int done = CProjectCheckWorker::ProgressDone(progress);
  return QStringLiteral("spell-checking %1... ")
      .arg(QString::fromStdString(project.RelativeDirAt(done)));
}

void CMainView::OnCheckBegin(CWebProject& project, WPARAM progress) {
  UpdateReplace();
  if (m_progress != nullptr) {
    m_progress->Show(CProjectCheckWorker::ProgressTotal(progress), CheckingText(project, progress));
  }
  if (project.GetBadWordsList().GetWordCount() == 0) {
    ShowWordPlaceholder(kNoWords);
  }
}

void CMainView::OnFileChecked(CWebProject& project, WPARAM progress) {
  UpdateReplace();
  if (m_progress != nullptr) {
    m_progress->Update(CProjectCheckWorker::ProgressDone(progress),
                       CProjectCheckWorker::ProgressTotal(progress),
                       CheckingText(project, progress));
  }
  ShowWordCount(project);
  if (m_words->GetCount() <= 1) {
    ShowWordPlaceholder(project.GetBadWordsList().GetWordCount() > 0 ? kWordsShortly : kNoWords);
  }
}

void CMainView::OnCheckDone(CWebProject& project) {
  const QScopedValueRollback<bool> runOver(m_runOver, true);
  UpdateReplace();
  if (m_progress != nullptr) {
    m_progress->Hide();
    ShowSkippedPages(project);
  }
  if (project.GetBadWordsList().GetWordCount() == 0) {
    ClearSelectionState();
    ShowWordPlaceholder(kNoWords);
    ShowWordCount(project);
    return;
  }
  QListView* list = m_ui->wordsList;
  list->setEnabled(true);
  const SPlace place = ReadPlace(list);
  {
    const QScopedValueRollback<bool> quiet(m_selecting, true);
    list->clearSelection();
  }
  FillWordList(project);
  SelectRow(list, m_words->FindDisplay(place.selected));
  // Also when the word is gone: the fields then empty instead of naming it.
  OnWordSelected();
  SetTopRow(list, place.topRow);
  ShowWordCount(project);
}

void CMainView::ShowSkippedPages(const CWebProject& project) {
  const std::vector<SSkippedPage> skipped = project.GetSkippedPages();
  const auto gaps = std::count_if(skipped.begin(), skipped.end(),
                                  [](const SSkippedPage& page) { return page.gap; });
  if (gaps == 0) {
    return;
  }
  // The log names each one; the user at least learns that the list is not the whole site.
  m_progress->ShowNote(gaps == 1 ? QStringLiteral("1 page or folder could not be checked (see "
                                                  "Pagelint.log)")
                                 : QStringLiteral("%1 pages or folders could not be checked "
                                                  "(see Pagelint.log)")
                                       .arg(gaps));
}

void CMainView::OnWordsRemoved(CWebProject& project) {
  QListView* list = m_ui->wordsList;
  const SPlace place = ReadPlace(list);
  ClearSelectionState();
  {
    const QScopedValueRollback<bool> quiet(m_selecting, true);
    list->clearSelection();
  }
  FillWordList(project);
  const int row = m_words->FindDisplay(place.selected);
  if (row >= 0) {
    SelectRow(list, row);
  } else {
    SelectNextEntry(list, place.selectedRow);
  }
  OnWordSelected();
  SetTopRow(list, place.topRow);
}

void CMainView::OnDictionaryChanged(int dictionaryId) {
  if (m_swallowDictChange) {
    m_swallowDictChange = false;
    return;
  }
  m_doc.OnDictionaryChanged(dictionaryId);
}

// ---------------------------------------------------------------------------------
// Commands

namespace {

QLineEdit* FocusedEdit() {
  return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

QLineEdit* FocusedEditableEdit() {
  QLineEdit* edit = FocusedEdit();
  return edit != nullptr && !edit->isReadOnly() && edit->isEnabled() ? edit : nullptr;
}

bool IsResearch(int id) {
  return id >= CommandIds::kResearchFirst && id <= CommandIds::kResearchLast;
}

} // namespace

bool CMainView::CanCopy() const {
  if (QApplication::focusWidget() == nullptr) {
    return false;
  }
  if (const QLineEdit* edit = FocusedEdit(); edit == m_ui->replaceEdit || edit == m_ui->withEdit) {
    return edit->hasSelectedText();
  }
  return !SelectedWord().empty();
}

bool CMainView::Copy() {
  if (QLineEdit* edit = FocusedEdit(); edit == m_ui->replaceEdit || edit == m_ui->withEdit) {
    edit->copy();
    return true;
  }
  QApplication::clipboard()->setText(QString::fromStdString(SelectedWord()));
  return true;
}

std::optional<bool> CMainView::IsCommandEnabled(int id) const {
  const QLineEdit* editable = FocusedEditableEdit();
  switch (id) {
  case CommandIds::kEditCopy:
    return CanCopy();
  case CommandIds::kEditCut:
    return editable != nullptr && editable->hasSelectedText();
  case CommandIds::kEditPaste:
    return editable != nullptr && !QApplication::clipboard()->text().isEmpty();
  case CommandIds::kEditUndo:
    return editable != nullptr && editable->isUndoAvailable();
  case CommandIds::kEditSelectAll:
    return FocusedEdit() != nullptr;
  case CommandIds::kSettings:
    return m_launch->HasSettingsWindow();
  default:
    if (IsResearch(id)) {
      return !SelectedWord().empty();
    }
    return std::nullopt;
  }
}

bool CMainView::OnCommand(int id) {
  const std::optional<bool> enabled = IsCommandEnabled(id);
  if (!enabled.value_or(false)) {
    return false;
  }
  QLineEdit* edit = FocusedEdit();
  switch (id) {
  case CommandIds::kEditCopy:
    return Copy();
  case CommandIds::kEditCut:
    edit->cut();
    return true;
  case CommandIds::kEditPaste:
    edit->paste();
    return true;
  case CommandIds::kEditUndo:
    edit->undo();
    return true;
  case CommandIds::kEditSelectAll:
    edit->selectAll();
    return true;
  case CommandIds::kSettings:
    m_launch->OpenSettings();
    return true;
  default:
    if (IsResearch(id)) {
      m_launch->LookUp(id, SelectedWord());
      return true;
    }
    return false;
  }
}

// ---------------------------------------------------------------------------------
// Selection and scrolling

int CMainView::SelectedRow(const QListView* list) {
  const QModelIndexList rows = list->selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void CMainView::SelectRow(QListView* list, int row) {
  const QScopedValueRollback<bool> quiet(m_selecting, true);
  const QModelIndex index = list->model()->index(row, 0);
  if (!index.isValid()) {
    list->clearSelection();
    return;
  }
  list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void CMainView::DeleteEntry(QListView* list, int row) {
  const int selected = SelectedRow(list);
  {
    const QScopedValueRollback<bool> quiet(m_selecting, true);
    static_cast<CCheckListModel*>(list->model())->RemoveRow(row);
  }
  // As a list box does: the other entries keep their selection, a deleted one leaves none
  // (a view would move it to a neighbour).
  SelectRow(list, selected == row ? -1 : (selected > row ? selected - 1 : selected));
}

void CMainView::SelectNextEntry(QListView* list, int index) {
  const int count = list->model()->rowCount();
  SelectRow(list, index < 0 || count == 0 ? -1 : std::min(index, count - 1));
}

CMainView::SPlace CMainView::ReadPlace(const QListView* list) const {
  SPlace place;
  place.selectedRow = SelectedRow(list);
  if (place.selectedRow >= 0) {
    place.selected = list->model()->index(place.selectedRow, 0).data().toString();
  }
  place.topRow = list->indexAt(QPoint(1, 1)).row();
  return place;
}

void CMainView::SetTopRow(QListView* list, int row) {
  const QModelIndex index = list->model()->index(row, 0);
  if (index.isValid()) {
    list->scrollTo(index, QAbstractItemView::PositionAtTop);
  }
}

void CMainView::MeasureExtent(QListView* list) {
  auto* delegate = static_cast<CExtentDelegate*>(list->itemDelegate());
  const QAbstractItemModel* model = list->model();
  CAdvanceTable advances(list->font());
  int widest = -1;
  int widestWidth = -1;
  for (int row = 0; row < model->rowCount(); ++row) {
    const int width = advances.Width(model->index(row, 0).data().toString());
    if (width > widestWidth) {
      widest = row;
      widestWidth = width;
    }
  }
  delegate->SetWidest(model->index(widest, 0));
  list->doItemsLayout();
}

// ---------------------------------------------------------------------------------
// Shading

void CMainView::ApplyBackgroundStyles() {
  ApplyButtonShade();
  update();
}

void CMainView::ApplyReadOnlyLook() {
  // The Replace field cannot be typed in; it looks like the form, not like an input.
  QPalette palette = QApplication::palette(m_ui->replaceEdit);
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  m_ui->replaceEdit->setPalette(palette);
}

void CMainView::ApplyButtonShade() {
  const QPalette palette =
      CShadeStyle::ButtonPalette(kStyleButtons, QApplication::palette(m_ui->replaceButton));
  for (QPushButton* button : {m_ui->ignoreButton, m_ui->addToDictionaryButton, m_ui->editButton,
                              m_ui->viewButton, m_ui->replaceButton, m_ui->undoButton}) {
    button->setPalette(palette);
  }
}

void CMainView::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  CShadeStyle::FillBackground(painter, rect(), kStyleMainWindow, palette().color(QPalette::Window),
                              CShadeStyle::kBackgroundTint);
}

void CMainView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A new desktop theme: the tints follow its colours.
  if (event->type() == QEvent::ApplicationPaletteChange) {
    ApplyButtonShade();
    ApplyReadOnlyLook();
  }
}
