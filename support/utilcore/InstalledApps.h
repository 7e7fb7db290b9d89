#pragma once

#include <string>
#include <vector>

/// The desktop's installed applications that can open web pages, found through their
/// desktop entry files in the "applications" folders of the XDG data folders. Plain
/// C++; Read does disk work and is meant for a background thread.
class CInstalledApps {
public:
  struct SApp {
    std::string name;
    /// The program to run, with its full path.
    std::string program;
    std::vector<std::string> mimeTypes;
    friend bool operator==(const SApp&, const SApp&) = default;
  };

  /// $XDG_DATA_HOME (else ~/.local/share) and then each of $XDG_DATA_DIRS (else
  /// /usr/local/share and /usr/share), each with "/applications/" appended, most
  /// important first.
  static std::vector<std::string> ApplicationFolders();

  /// The offered applications of the desktop entries below `folders` (most important
  /// first: an entry there hides one of the same name further on, even when it is
  /// Hidden), whose TryExec program and own program are found, sorted by name.
  static std::vector<SApp> Read(const std::vector<std::string>& folders);

  /// `program` with its full path: as given when it contains a "/", else the first
  /// executable file of that name in $PATH; empty when there is none.
  static std::string FindProgram(const std::string& program);

  /// The file types (lower case) of a page with `extension`: every supported page is
  /// HTML ("text/html"), XHTML and PHP pages have their own types too.
  static std::vector<std::string> MimeTypesOf(const std::string& extension);

  /// The applications of `apps` that handle a type of `extension`, in their order.
  static std::vector<SApp> HandlersOf(const std::vector<SApp>& apps, const std::string& extension);
};
