#pragma once

#include <memory>
#include <string>

class CDictionary;

/// Creates the compiled main dictionary for the registry, which otherwise knows
/// dictionaries only through CDictionary (and so stays apart from the main
/// dictionary's file mapping).
class CDictionaryFactory {
public:
  /// The main dictionary "ZEB.fdc" in the program folder `appPath` (ending in "/");
  /// nothing is read yet.
  static std::unique_ptr<CDictionary> CreateMainDictionary(int id, const std::string& appPath);
};
