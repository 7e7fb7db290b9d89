#pragma once

#include <memory>
#include <string>
#include <vector>

class CWebProject;

/// The projects saved by Pagelint in the project data folder, read without starting
/// them.
class CSavedProjects {
public:
  struct Entry {
    std::string name;
    std::string root;
    std::string dataFile;
  };

  /// The project data folder: the settings folder "Pagelint/" in the application data
  /// folder, ending in "/".
  static std::string GetDataDirectory();
  /// Every project of `directory` that loads, sorted by name (letter case aside).
  static std::vector<Entry> List(const std::string& directory);
  /// The entry named exactly `name`, else the only one named so apart from letter
  /// case; null when there is none or the name is ambiguous.
  static const Entry* Find(const std::vector<Entry>& entries, const std::string& name);
  /// The project of `dataFile`, loaded and not started; null when it does not load.
  /// The caller calls StopProject before destroying it.
  static std::unique_ptr<CWebProject> Load(const std::string& dataFile);
};
