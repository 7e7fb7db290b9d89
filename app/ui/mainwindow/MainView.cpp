#include "mainwindow/MainView.h"

#include "widgets/ShadeStyle.h"

#include "mainwindow/CheckListModel.h"
#include "mainwindow/CountText.h"
#include "mainwindow/FocusedEditCommands.h"
#include "mainwindow/WordFilesPane.h"
#include "mainwindow/WordListModel.h"
#include "mainwindow/WordsPane.h"
#include "projects/CommandIds.h"
#include "ui_MainView.h"
#include "widgets/MessageBoxService.h"
#include "widgets/SelectingListView.h"

#include "checking/BadWordsList.h"
#include "checking/PageScanner.h"
#include "checking/ProjectCheckWorker.h"
#include "projects/Doc.h"
#include "projects/WebProject.h"
#include "replace/ReplaceCommand.h"

#include "spellcore/SpellChecker.h"

#include "mtcore/FunctionTarget.h"
#include "utilcore/DirUtils.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStringListModel>

namespace {

constexpr int kStyleMainWindow = 0;
constexpr int kStyleButtons = 10;

bool IsResearch(int id) {
  return id >= CommandIds::kResearchFirst && id <= CommandIds::kResearchLast;
}

/// Moves the word of `entry` from the findings into the dictionary; false when it is not
/// the dictionary's to take or the findings no longer hold it.
bool AddToDictionary(CWebProject& project, CSpellChecker& speller, int dictionaryId,
                     const CCheckListModel::SRow& entry) {
  const bool repeat = entry.duplicate == 1;
  // A repeated word is known already: only ignoring its repeat means anything.
  if (repeat && dictionaryId != project.GetIgnoreId()) {
    return false;
  }
  // Found and removed under one access: a check may have deleted the word meanwhile.
  if (!project.GetBadWordsList().RemoveWord(entry.text, entry.duplicate)) {
    return false;
  }
  speller.AddWord(dictionaryId, repeat ? CPageScanner::IgnoredRepeatForm(entry.text) : entry.text);
  return true;
}

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
  m_wordsPane = std::make_unique<CWordsPane>(*m_ui->wordsList, *m_ui->wordCount, *m_words);
  m_filesPane = std::make_unique<CWordFilesPane>(*m_ui->filesList, *m_ui->fileCount, *m_files);
  m_editCommands = std::make_unique<CFocusedEditCommands>(
      std::vector<const QLineEdit*>{m_ui->replaceEdit, m_ui->withEdit},
      [this] { return QString::fromStdString(m_wordsPane->SelectedWord()); });
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
  connect(m_ui->wordsList, &CSelectingListView::UserSelectionChanged, this,
          [this] { OnWordSelected(); });
  connect(m_ui->suggestionsList, &CSelectingListView::UserSelectionChanged, this,
          [this] { OnSuggestionSelected(); });
  connect(m_ui->filesList, &CSelectingListView::UserSelectionChanged, this,
          [this] { OnFileSelected(); });
  for (CSelectingListView* list : {m_ui->wordsList, m_ui->suggestionsList, m_ui->filesList}) {
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainView::CommandStatesChanged);
  }
  for (QLineEdit* edit : {m_ui->replaceEdit, m_ui->withEdit}) {
    connect(edit, &QLineEdit::selectionChanged, this, &CMainView::CommandStatesChanged);
  }
  connect(m_files, &QAbstractItemModel::dataChanged, this, [this] { UpdateReplace(); });
  connect(m_ui->withEdit, &QLineEdit::textChanged, this, [this] { UpdateReplace(); });
  ConnectButtons();
}

void CMainView::ConnectButtons() {
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
  m_wordsPane->Clear();
  if (CSpellChecker* speller = CSpellChecker::GetInstance()) {
    speller->SetMsgWindow(GetMessageWindow(), 0);
  }
}

void CMainView::StartWordIndex() {
  if (CSpellChecker* speller = CSpellChecker::GetInstance()) {
    speller->StartWordIndex(GetMessageWindow(), 0);
  }
}

void CMainView::OnUpdate(int hint) {
  if (hint != CDoc::HINT_PROJECTS_CHANGED) {
    return;
  }
  ClearSelectionState();
  m_wordsPane->Clear();
  CWebProject* project = CurrentProject();
  if (project == nullptr) {
    return;
  }
  FillWordList(*project);
  m_progress.Hide();
}

// ---------------------------------------------------------------------------------
// The lists

void CMainView::ClearSelectionState() {
  const CWebProject* project = CurrentProject();
  m_ui->suggestionCount->setText(CountText(0));
  m_suggestions->setStringList({});
  m_ui->suggestionsList->setEnabled(false);
  m_filesPane->Clear();
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
  if (project == nullptr) {
    m_progress.Hide();
  }
}

void CMainView::FillWordList(CWebProject& project) {
  const int count = project.GetBadWordsList().GetWordCount();
  if (IsChecking(project) || count == 0) {
    ShowWordPlaceholder(count > 0 ? kWordsShortly : kNoWords);
    ShowWordCount(project);
    return;
  }
  m_wordsPane->Fill(project.GetBadWordsList());
  ShowWordCount(project);
  if (m_wordsShownHook) {
    m_wordsShownHook();
  }
}

void CMainView::ShowWordPlaceholder(const char* text) {
  if (m_wordsPane->SetPlaceholder(text)) {
    ClearSelectionState();
  }
  m_ui->wordsList->setEnabled(false);
}

void CMainView::ShowWordCount(const CWebProject& project) {
  m_wordsPane->ShowCount(project.GetBadWordsList().GetWordCount());
}

void CMainView::FillSuggestions(std::vector<std::string> suggestions) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(suggestions.size()));
  for (const std::string& suggestion : suggestions) {
    texts.push_back(QString::fromStdString(suggestion));
  }
  // The speller ranked them, likeliest first: that order is kept, and the first is
  // selected so that Replace offers it at once.
  CSelectingListView* list = m_ui->suggestionsList;
  list->setUpdatesEnabled(false);
  m_suggestions->setStringList(texts);
  if (!texts.isEmpty()) {
    list->setCurrentIndex(m_suggestions->index(0));
  }
  list->setUpdatesEnabled(true);
  list->FitWidestEntry();
}

void CMainView::FillFileList(CWebProject& project, const std::string& word, int duplicate) {
  m_filesPane->Fill(project, word, duplicate);
  OnFileSelected();
  m_filesPane->ShowCount();
}

std::string CMainView::SelectedWord() const {
  return m_wordsPane->SelectedWord();
}

void CMainView::OnWordSelected() {
  CWebProject* project = CurrentProject();
  CSpellChecker* speller = CSpellChecker::GetInstance();
  const std::string word = SelectedWord();
  if (word.empty() || project == nullptr || speller == nullptr) {
    ClearSelectionState();
    return;
  }
  const int duplicate = m_wordsPane->SelectedDuplicate();
  OfferWord(word, duplicate);
  std::vector<std::string> suggestions;
  // A repeated word is a known word: there is nothing to suggest.
  if (duplicate != 1) {
    speller->Suggest(word, project->GetActiveDictionaries(), suggestions);
  }
  m_suggestionsWithoutIndex = duplicate != 1 && speller->IsWordIndexPending();
  FillSuggestions(std::move(suggestions));
  OnSuggestionSelected();
  m_ui->suggestionCount->setText(CountText(m_suggestions->rowCount()));
  FillFileList(*project, word, duplicate);
  // The files are known only now.
  UpdateReplace();
}

void CMainView::OfferWord(const std::string& word, int duplicate) {
  // A repeated word is a known word: there is nothing to add, and the fix is to take it
  // out, which Replace with an empty "with" does.
  m_ui->ignoreButton->setEnabled(true);
  m_ui->addToDictionaryButton->setEnabled(duplicate != 1);
  m_ui->replaceEdit->setText(QString::fromStdString(word));
  m_ui->replaceEdit->setEnabled(true);
  m_ui->withEdit->clear();
  m_ui->withEdit->setEnabled(true);
  m_ui->suggestionsList->setEnabled(true);
}

void CMainView::OnWordIndexReady() {
  if (!m_suggestionsWithoutIndex) {
    return;
  }
  m_suggestionsWithoutIndex = false;
  CWebProject* project = CurrentProject();
  CSpellChecker* speller = CSpellChecker::GetInstance();
  const std::string word = SelectedWord();
  if (word.empty() || project == nullptr || speller == nullptr) {
    return;
  }
  // A "with" the user typed or picked stays; one the first suggestion filled in follows
  // the new first.
  const int row = m_ui->suggestionsList->SelectedRow();
  const QString with = m_ui->withEdit->text();
  const bool offered = with == (row >= 0 ? m_suggestions->index(row).data().toString() : "");
  std::vector<std::string> suggestions;
  speller->Suggest(word, project->GetActiveDictionaries(), suggestions);
  FillSuggestions(std::move(suggestions)); // selecting the first may fill in "with"
  if (offered) {
    OnSuggestionSelected();
  } else {
    m_ui->withEdit->setText(with);
    UpdateReplace();
  }
  m_ui->suggestionCount->setText(CountText(m_suggestions->rowCount()));
}

void CMainView::OnSuggestionSelected() {
  const int row = m_ui->suggestionsList->SelectedRow();
  if (row >= 0) {
    m_ui->withEdit->setText(m_suggestions->index(row).data().toString());
  }
  UpdateReplace();
}

void CMainView::OnFileSelected() {
  QString context;
  CWebProject* project = CurrentProject();
  const std::string word = SelectedWord();
  const CCheckListModel::SRow* file = m_filesPane->SelectedFile();
  if (project != nullptr && !word.empty() && file != nullptr) {
    context = CWordFilesPane::Context(*project, word, m_wordsPane->SelectedDuplicate(), file->text);
  }
  m_ui->contextLabel->setText(context);
  m_ui->viewButton->setEnabled(file != nullptr);
  m_ui->editButton->setEnabled(file != nullptr);
}

void CMainView::OpenSelectedFile(CLaunchActions::EUse use) {
  const CWebProject* project = CurrentProject();
  const CCheckListModel::SRow* file = m_filesPane->SelectedFile();
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
  m_wordsPane->TakeChosen([&](const CCheckListModel::SRow& entry) {
    return AddToDictionary(*project, *speller, dictionaryId, entry);
  });
  OnWordSelected();
  ShowWordCount(*project);
}

void CMainView::OnReplace() {
  CWebProject* project = CurrentProject();
  const int wordRow = m_wordsPane->SelectedRow();
  const std::string word = SelectedWord();
  if (project == nullptr || word.empty()) {
    return;
  }
  const std::vector<std::string> checkedFiles = m_filesPane->CheckedFiles();
  const bool allChecked = m_files->AreAllChecked();
  const CReplaceCommand::SOutcome outcome = CReplaceCommand::Replace(
      *project, word, m_wordsPane->SelectedDuplicate(), m_ui->withEdit->text().toStdString(),
      checkedFiles, allChecked, CDirUtils::GetAppPath(), AskYesNo());
  if (outcome.done) {
    ShowReplaced(*project, outcome, wordRow, allChecked);
  }
}

void CMainView::ShowReplaced(CWebProject& project, const CReplaceCommand::SOutcome& outcome,
                             int wordRow, bool allChecked) {
  m_ui->undoButton->setEnabled(!project.GetUndoList().IsEmpty());
  if (!outcome.result.unchangedFiles.empty()) {
    // The word is still in those files: the lists must not say it is gone.
    Tell(QStringLiteral("Replace"), CReplaceCommand::UnchangedFilesMessage(outcome.result));
    UpdateReplace();
    return;
  }
  if (allChecked) {
    m_wordsPane->RemoveEntry(wordRow);
    OnWordSelected();
    m_wordsPane->ShowCount(project.GetBadWordsList().GetWordCount() - 1);
    return;
  }
  m_filesPane->RemoveChecked();
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
  if (message == CSpellChecker::MSG_WORD_INDEX_READY) {
    OnWordIndexReady();
    return;
  }
  CWebProject* project = ProjectOfMessage(lParam);
  if (project == nullptr) {
    return;
  }
  if (message == CWebProject::MSG_PROJECT_COLLECT_BEGIN) {
    m_progress.CollectBegin();
  } else if (message == CWebProject::MSG_PROJECT_COLLECT_DONE) {
    m_progress.Hide();
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

void CMainView::OnCheckBegin(CWebProject& project, WPARAM progress) {
  UpdateReplace();
  m_progress.CheckBegin(project, progress);
  if (project.GetBadWordsList().GetWordCount() == 0) {
    ShowWordPlaceholder(kNoWords);
  }
}

void CMainView::OnFileChecked(CWebProject& project, WPARAM progress) {
  UpdateReplace();
  m_progress.FileChecked(project, progress);
  ShowWordCount(project);
  if (m_words->GetCount() <= 1) {
    ShowWordPlaceholder(project.GetBadWordsList().GetWordCount() > 0 ? kWordsShortly : kNoWords);
  }
}

void CMainView::OnCheckDone(CWebProject& project) {
  const QScopedValueRollback<bool> runOver(m_runOver, true);
  UpdateReplace();
  m_progress.CheckDone(project);
  if (project.GetBadWordsList().GetWordCount() == 0) {
    ClearSelectionState();
    ShowWordPlaceholder(kNoWords);
    ShowWordCount(project);
    return;
  }
  CSelectingListView* list = m_ui->wordsList;
  list->setEnabled(true);
  const CSelectingListView::SPlace place = list->ReadPlace();
  list->Deselect();
  FillWordList(project);
  m_wordsPane->SelectAgain(place, false);
  // Also when the word is gone: the fields then empty instead of naming it.
  OnWordSelected();
  list->ScrollToTopRow(place.topRow);
  ShowWordCount(project);
}

void CMainView::OnWordsRemoved(CWebProject& project) {
  CSelectingListView* list = m_ui->wordsList;
  const CSelectingListView::SPlace place = list->ReadPlace();
  ClearSelectionState();
  list->Deselect();
  FillWordList(project);
  m_wordsPane->SelectAgain(place, true);
  OnWordSelected();
  list->ScrollToTopRow(place.topRow);
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

std::optional<bool> CMainView::IsCommandEnabled(int id) const {
  if (const std::optional<bool> edit = m_editCommands->IsEnabled(id)) {
    return edit;
  }
  if (id == CommandIds::kSettings) {
    return m_launch->HasSettingsWindow();
  }
  if (IsResearch(id)) {
    return !SelectedWord().empty();
  }
  return std::nullopt;
}

bool CMainView::OnCommand(int id) {
  if (CFocusedEditCommands::Handles(id)) {
    return m_editCommands->Run(id);
  }
  if (!IsCommandEnabled(id).value_or(false)) {
    return false;
  }
  if (id == CommandIds::kSettings) {
    m_launch->OpenSettings();
    return true;
  }
  if (IsResearch(id)) {
    m_launch->LookUp(id, SelectedWord());
    return true;
  }
  return false;
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
