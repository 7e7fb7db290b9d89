#pragma once

#include <string>

/// The maker's folders and web site.
class CZebUtils {
public:
  /// The maker's web site, opened by LaunchWebSite.
  static constexpr const char* kWebSite = "https://www.corvanesoftware.com/";

  /// Application data + "ZEB/Custom Dictionaries/", created when missing; "" when
  /// there is no application data folder.
  static std::string GetCustomDictionaryPath();
  /// Opens the maker's web site in the user's browser; false when that cannot start.
  static bool LaunchWebSite();
};
