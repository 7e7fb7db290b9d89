#pragma once

#include "replace/ReplaceResult.h"

#include <functional>
#include <string>
#include <vector>

class CBadWord;
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
  static SOutcome Replace(CWebProject& project, CBadWord& word, const std::string& replacement,
                          const std::vector<std::string>& checkedRelativeFiles, bool allChecked,
                          const std::string& appDirectory, const AskYesNo& ask);
  /// Asks the undo list's head's question ("Replacement Undo"); on Yes restores its
  /// files. The head then leaves the list (at once when it made no backup, so nothing
  /// is asked). Returns whether the head was undone.
  static bool Undo(CWebProject& project, const AskYesNo& ask);
  /// The question before the word is replaced with empty text.
  static std::string EmptyReplacementQuestion(const std::string& word);
};
