#include "replace/ReplaceCommand.h"

#include "projects/WebProject.h"
#include "replace/BackupFolders.h"
#include "replace/Replacer.h"
#include "replace/UndoReplace.h"

#include "spellcore/SpellChecker.h"
#include "utilcore/ContentFingerprint.h"
#include "utilcore/StringUtils.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

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

// Pages that changed since the check are checked again, so that the lists show where
// the word now is.
void CheckMovedPagesAgain(CWebProject& project, const SReplaceResult& result) {
  std::vector<std::string> moved;
  for (const SUnchangedFile& file : result.unchangedFiles) {
    if (file.why == SUnchangedFile::EWhy::kWordMoved) {
      moved.push_back(file.path);
    }
  }
  project.MarkChangedPages(moved);
}

// At most this many files are named in a message; the rest are counted.
constexpr std::size_t kNamedFiles = 10;

// "N of the chosen files" with "One" for 1.
std::string CountOf(std::size_t count, const char* what) {
  return (count == 1 ? std::string("One") : std::to_string(count)) + " of the " + what;
}

template <typename Item, typename Text>
std::string NameFiles(const std::vector<Item>& items, Text text) {
  std::string names;
  for (std::size_t i = 0; i < items.size() && i < kNamedFiles; ++i) {
    names += "\n- " + text(items[i]);
  }
  if (items.size() > kNamedFiles) {
    names += "\n(and " + std::to_string(items.size() - kNamedFiles) + " more)";
  }
  return names;
}

} // namespace

std::string CReplaceCommand::ChangedPageQuestion(const std::string& page) {
  return "\"" + page +
         "\" was changed after the replacement. Restoring its backup would lose that later "
         "change.\n\nRestore it anyway? No keeps the page as it is now.";
}

std::string CReplaceCommand::UnchangedFilesMessage(const SReplaceResult& result) {
  const std::vector<SUnchangedFile>& files = result.unchangedFiles;
  if (files.empty()) {
    return {};
  }
  const bool moved = std::any_of(files.begin(), files.end(), [](const SUnchangedFile& file) {
    return file.why == SUnchangedFile::EWhy::kWordMoved;
  });
  return CountOf(files.size(), "chosen files") +
         " could not be changed: a file that is read-only or unreadable, that leads outside the "
         "site's folder, that "
         "another program changed meanwhile, or whose encoding cannot hold the new text is left "
         "as it was, without a backup. The word stays in the lists; the files that were changed "
         "can be undone as usual." +
         (moved ? " Pages changed since the check are checked again with Spell Check Again." : "") +
         "\n" + NameFiles(files, [](const SUnchangedFile& file) { return file.reason; });
}

std::string CReplaceCommand::UndoProblemsMessage(const CUndoReplace::SRestoreResult& result) {
  std::string text;
  if (!result.failed.empty()) {
    text += CountOf(result.failed.size(), "files") +
            " could not be restored; the log names the reasons too:\n" +
            NameFiles(result.failed, [](const SUnchangedFile& file) { return file.reason; });
  }
  if (!result.keptChanged.empty()) {
    text += (text.empty() ? "" : "\n\n") + CountOf(result.keptChanged.size(), "files") +
            " changed after the replacement and kept as they are now; their backups stay "
            "until Pagelint closes:\n" +
            NameFiles(result.keptChanged, [](const std::string& page) { return page; });
  }
  return text;
}

std::string CReplaceCommand::EmptyReplacementQuestion(const std::string& word) {
  return "You are about to replace \"" + word +
         "\" with empty text, effectively erasing the word.\n\nIs that what you want to do?";
}

CReplaceCommand::SOutcome
CReplaceCommand::Replace(CWebProject& project, const std::string& word, int duplicate,
                         const std::string& replacement,
                         const std::vector<std::string>& checkedRelativeFiles, bool allChecked,
                         const std::string& appDirectory, const AskYesNo& ask) {
  SOutcome outcome;
  // An empty choice would read as "every file"; while checking, the places are in flux.
  if ((!allChecked && checkedRelativeFiles.empty()) ||
      project.GetCheckState() == ECheckState::Checking) {
    return outcome;
  }
  const bool erases = CStringUtils::IsEffectivelyEmpty(replacement);
  if (erases && !ask("Replace", EmptyReplacementQuestion(word))) {
    return outcome;
  }
  // Only this thread reads or writes a word's replacement; the worker never does.
  if (!project.GetBadWordsList().SetReplacement(word, duplicate, replacement)) {
    return outcome;
  }

  const std::string& root = project.GetRootDirectory();
  std::vector<std::string> chosenFiles;
  if (!allChecked) {
    chosenFiles.reserve(checkedRelativeFiles.size());
    for (const std::string& relative : checkedRelativeFiles) {
      chosenFiles.push_back(root + relative);
    }
  }
  std::vector<std::string> backups;
  std::vector<CContentFingerprint> written;
  outcome.result = CReplacer::ReplaceInFiles(
      project.GetBadWordsList(), word, duplicate,
      CBackupFolders::GetBackupFolder(project.GetName(), appDirectory), root.size(), chosenFiles,
      backups,
      project.GetOptions().checkImageText ? CPageScanner::EAttributeText::kChecked
                                          : CPageScanner::EAttributeText::kSkipped,
      &written);
  project.GetUndoList().AddHead(
      std::make_unique<CUndoReplace>(word, replacement, std::move(backups), std::move(written)));
  outcome.done = true;
  CheckMovedPagesAgain(project, outcome.result);

  if (!erases) {
    LearnReplacement(project, word, replacement);
  }
  return outcome;
}

bool CReplaceCommand::Undo(CWebProject& project, const AskYesNo& ask,
                           const AskYesNo& askRestoreChanged,
                           CUndoReplace::SRestoreResult* restored) {
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
    const auto restoreChanged = [&askRestoreChanged](const std::string& page) {
      return askRestoreChanged && askRestoreChanged("Replacement Undo", ChangedPageQuestion(page));
    };
    CUndoReplace::SRestoreResult result =
        head->Restore(project.GetRootDirectory(), project.GetName(), restoreChanged);
    if (restored != nullptr) {
      *restored = std::move(result);
    }
  }
  undoList.RemoveHead();
  return true;
}
