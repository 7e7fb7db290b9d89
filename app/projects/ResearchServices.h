#pragma once

#include <array>
#include <string>
#include <string_view>

/// The web services the Research menu looks the selected word up on, in menu order, and
/// the address each is given for a word.
class CResearchServices {
public:
  struct SService {
    int commandId;
    const char* site; ///< shown as "On <site>"
    bool pronounce;   ///< says how a word sounds rather than what it means
    const char* addressPrefix;
  };
  static constexpr std::size_t kCount = 9;

  static const std::array<SService, kCount>& All();
  /// The service of `commandId`; null for any other id.
  static const SService* Find(int commandId);
  /// The service's address prefix followed by `word` percent-encoded as UTF-8, so that
  /// no word can reach beyond the place the prefix names (another host, path or
  /// query); "" for an unknown command or an empty word.
  static std::string AddressFor(int commandId, std::string_view word);
  /// Every byte but the unreserved characters of an address (letters, digits, "-", ".",
  /// "_", "~") as "%XX".
  static std::string PercentEncode(std::string_view text);
};
