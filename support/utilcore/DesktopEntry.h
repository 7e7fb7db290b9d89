#pragma once

#include <string>
#include <string_view>
#include <vector>

/// What Pagelint needs of a desktop entry file (the ".desktop" key file with which an
/// installed application announces itself): its name, its command, the file types it
/// handles and whether it wants to be offered at all. Only the "[Desktop Entry]" group
/// counts; localized keys such as "Name[de]" are ignored, so names stay as the
/// application gives them in its own file. Plain C++, safe on any thread.
class CDesktopEntry {
public:
  /// Reads the text of a desktop entry file. Malformed lines are skipped.
  static CDesktopEntry Parse(std::string_view text);

  /// The words of an Exec value with its quoting undone and its field codes ("%f",
  /// "%U", ...) left out; "%%" stands for "%". Empty for an unclosed quote.
  static std::vector<std::string> SplitCommand(std::string_view exec);

  const std::string& GetName() const { return m_name; }
  /// The program that must exist for the entry to count; empty when none is named.
  const std::string& GetTryExec() const { return m_tryExec; }
  const std::vector<std::string>& GetMimeTypes() const { return m_mimeTypes; }
  bool IsHidden() const { return m_hidden; }

  /// The program to run with a file as its only argument, or empty when the entry is
  /// not to be offered: not an application, hidden, NoDisplay, without a name or a
  /// command, or needing arguments other than options (a command such as
  /// "flatpak run org.example.App" cannot run as one program with a file).
  std::string OfferedProgram() const;

private:
  void Set(std::string_view key, std::string_view value);

  std::string m_type;
  std::string m_name;
  std::vector<std::string> m_command;
  std::string m_tryExec;
  std::vector<std::string> m_mimeTypes;
  bool m_hidden = false;
  bool m_noDisplay = false;
};
