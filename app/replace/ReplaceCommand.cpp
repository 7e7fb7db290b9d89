#include "replace/ReplaceCommand.h"

#include "checking/BadWord.h"
#include "projects/WebProject.h"
#include "replace/BackupFolders.h"
#include "replace/Replacer.h"
#include "replace/UndoReplace.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

/// The check state in which the findings are being rebuilt.

/// Offers the replacement for the word from now on, unless the speller finds it anyway.
void LearnReplacement(const CWebProject& project, const std::string& word,
                      const std::string& replacement) {
  CSpellChecker* speller = CSpellChecker::GetInstance();
  if (speller == nullptr) {
    return;
  }
  std::vector<std::string> suggestions;
  speller->Guess(word, project.GetActiveDictionaries(), suggestions, true, true);
  if (std::find(suggestions.begin(), suggestions.end(), replacement) == suggestions.end()) {
    speller->AddGuess(word, replacement);
  }
}

} // namespace

std::string CReplaceCommand::EmptyReplacementQuestion(const std::string& word) {
  return "You are about to replace \"" + word +
         "\" with empty text, effectively erasing the word.\n\nIs that what you want to do?";
}

CReplaceCommand::SOutcome
CReplaceCommand::Replace(CWebProject& project, CBadWord& word, const std::string& replacement,
                         const std::vector<std::string>& checkedRelativeFiles, bool allChecked,
                         const std::string& appDirectory, const AskYesNo& ask) {
  SOutcome outcome;
  // An empty choice would read as "every file"; while checking, the places are in flux.
  if ((!allChecked && checkedRelativeFiles.empty()) ||
      project.GetCheckState() == ECheckState::Checking) {
    return outcome;
  }
  const bool erases = CStringUtils::IsEffectivelyEmpty(replacement);
  if (erases && !ask("Replace", EmptyReplacementQuestion(word.GetWord()))) {
    return outcome;
  }
  // Only this thread reads or writes a word's replacement; the worker never does.
  word.SetReplacement(replacement);

  const std::string& root = project.GetRootDirectory();
  std::vector<std::string> chosenFiles;
  if (!allChecked) {
    chosenFiles.reserve(checkedRelativeFiles.size());
    for (const std::string& relative : checkedRelativeFiles) {
      chosenFiles.push_back(root + relative);
    }
  }
  std::vector<std::string> backups;
  outcome.result = CReplacer::ReplaceInFiles(
      project.GetBadWordsList(), word,
      CBackupFolders::GetBackupFolder(project.GetName(), appDirectory), root.size(), chosenFiles,
      backups,
      project.GetOptions().checkImageText ? CPageScanner::EAttributeText::kChecked
                                          : CPageScanner::EAttributeText::kSkipped);
  project.GetUndoList().AddHead(
      std::make_unique<CUndoReplace>(word.GetWord(), replacement, std::move(backups)));
  outcome.done = true;

  if (!erases) {
    LearnReplacement(project, word.GetWord(), replacement);
  }
  return outcome;
}

bool CReplaceCommand::Undo(CWebProject& project, const AskYesNo& ask) {
  CUndoList& undoList = project.GetUndoList();
  const CUndoReplace* head = undoList.GetHead();
  if (head == nullptr) {
    return false;
  }
  const std::string prompt = head->GetUndoPrompt();
  if (!prompt.empty()) {
    if (!ask("Replacement Undo", prompt)) {
      return false;
    }
    CUndoReplace::UndoReplacement(project.GetRootDirectory(), project.GetName(),
                                  head->GetBackups());
  }
  undoList.RemoveHead();
  return true;
}
