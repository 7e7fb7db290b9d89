#pragma once

#include <functional>
#include <string>

/// The program settings the document reads and changes: where a new project's root
/// is first looked for, and where the project data files live.
struct CDocSettings {
  /// The settings folder: application data + "Pagelint/" (not created here).
  static std::string GetDefaultProjectDataDirectory();

  /// Offered as the root of a new project; the last root chosen. Empty at first.
  std::string newProjectDirectory;
  /// Folder of the ".plx" data files, ending in "/".
  std::string projectDataDirectory = GetDefaultProjectDataDirectory();
  /// Stores the settings after the document changed one; may be empty.
  std::function<void()> save;
};
