#pragma once

#include "replace/ReplaceResult.h"
#include "replace/UndoReplace.h"

#include <functional>
#include <string>
#include <vector>

class CWebProject;

/// The main view's Replace and Undo buttons in the order of their calls, free of any
/// window so that the tests and the view run the same steps. User interface thread.
class CReplaceCommand {
public:
  /// Asks Yes/No; true for Yes.
  using AskYesNo = std::function<bool(const std::string& title, const std::string& text)>;
  struct SOutcome {
    bool done = false; ///< false: the user said No, or there was nothing to replace in
    SReplaceResult result;
  };

  /// Replaces `word` (a word of the project's list) with `replacement` in the checked
  /// files (paths relative to the root; all of the word's files when `allChecked`),
  /// backs them up below the project's backup folder, puts the undo entry at the head
  /// of the project's undo list and teaches the speller the replacement. Erasing the
  /// word is asked first ("Replace"). Nothing happens while the project is checking, or
  /// when no file is checked.
  /// The word is named by its text and duplicate flag and looked up under the list's
  /// access at each step, never held by pointer: a check may delete it meanwhile, and
  /// then nothing is replaced.
  static SOutcome Replace(CWebProject& project, const std::string& word, int duplicate,
                          const std::string& replacement,
                          const std::vector<std::string>& checkedRelativeFiles, bool allChecked,
                          const std::string& appDirectory, const AskYesNo& ask);
  /// Asks the undo list's head's question ("Replacement Undo"); on Yes restores its
  /// files. A file changed since the replacement is restored only when
  /// `askRestoreChanged` answers Yes to ChangedPageQuestion (whose answer on Enter should
  /// be No); without it such a file is kept. The head then leaves the list (at once when
  /// it made no backup, so nothing is asked). Returns whether the head was undone;
  /// `restored` (optional) receives what became of its files.
  static bool Undo(CWebProject& project, const AskYesNo& ask,
                   const AskYesNo& askRestoreChanged = {},
                   CUndoReplace::SRestoreResult* restored = nullptr);
  /// The question before the word is replaced with empty text.
  static std::string EmptyReplacementQuestion(const std::string& word);
  /// The question before a page changed since the replacement is restored.
  static std::string ChangedPageQuestion(const std::string& page);
  /// What to tell after a replacement that left chosen files unchanged, naming them;
  /// empty when every chosen file was changed.
  static std::string UnchangedFilesMessage(const SReplaceResult& result);
  /// What to tell after an undo that did not restore every file, naming them; empty
  /// when every file was restored.
  static std::string UndoProblemsMessage(const CUndoReplace::SRestoreResult& result);
};
