#pragma once

#include <string>
#include <string_view>

/// How a project's name becomes the names of what it keeps on disk: its data file,
/// its backup folder and its ignore dictionary. The one home of these rules for the
/// project, the document, the settings window and the Dictionaries menu.
class CProjectNaming {
public:
  /// The data files' extension, without the dot (as file listings take it).
  static constexpr const char* kDataFileExtension = "plx";

  /// The project's data file and backup folder are named after this: the name with
  /// every character a file name cannot hold replaced by "_", never empty or hidden.
  static std::string FileStem(const std::string& projectName);
  /// The data file's name without its folder: the stem and ".plx".
  static std::string DataFileName(const std::string& projectName);
  /// Whether `path` names a data file rather than the folder of one: it holds ".plx".
  static bool IsDataFilePath(std::string_view path);

  /// The ignore dictionary's name: the project name and " Ignore", with characters
  /// that no file name may hold replaced by "_".
  static std::string IgnoreDictionaryName(const std::string& projectName);
  /// Whether `name` is a project's ignore dictionary: it ends in " Ignore", in any
  /// letter case. Such a dictionary is only ever its own project's.
  static bool IsIgnoreDictionaryName(std::string_view name);

  /// Whether projects of these names would share a data file, a backup folder or an
  /// ignore dictionary, and so may not both exist. Letter case tells names apart.
  static bool Collide(const std::string& name, const std::string& other);
};
