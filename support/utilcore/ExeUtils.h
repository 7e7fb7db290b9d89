#pragma once

#include <string>
#include <string_view>
#include <vector>

/// Starts programs and opens documents and addresses, never through a shell: every
/// argument reaches the program as it is, blanks and quotes included. Started programs
/// run on in their own session; they are waited for in the background (CChildReaper),
/// so none stays behind as a zombie.
class CExeUtils {
public:
  static constexpr int kShowHidden = 0; ///< output of the program is discarded
  static constexpr int kShowNormal = 5;

  /// Starts `application` with `parameters` as its one argument (none when empty), in
  /// `folder` (the current folder when empty). An address ("https:", "mailto:", ...),
  /// a document or a folder as `application`, or an empty `application` with a
  /// document as `parameters`, is opened with the desktop's opener (xdg-open).
  /// `searchPath`: a bare program name is looked for in PATH. `verb` is 0 (open).
  /// Returns whether the program started; `error` says why not.
  static bool ShellLaunchApp(const std::string& application, const std::string& folder,
                             const std::string& parameters, bool searchPath, int verb, int showMode,
                             std::string& error);
  /// The same with any number of arguments.
  static bool ShellLaunchApp(const std::string& application, const std::string& folder,
                             const std::vector<std::string>& arguments, bool searchPath, int verb,
                             int showMode, std::string& error);

  /// Whether `text` begins with an address scheme such as "https:" or "mailto:".
  static bool IsAddress(std::string_view text);
  /// The program that opens documents and addresses ("xdg-open"); tests replace it.
  static void SetDocumentOpener(const std::string& program);
  static std::string GetDocumentOpener();
};
