#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

/// The two-line version files of the upgrade server and what follows from them: the
/// program file holds the newest version and its package's size, the dictionary file
/// the date of the newest compiled main dictionary and its size.
class CUpgradeVersionFile {
public:
  /// Larger announcements are refused: no download may fill the disk. Both are far
  /// above real sizes (a package of a few MB, a compiled dictionary of about 1.3 MB),
  /// and a download never goes past the size announced.
  static constexpr std::int64_t kMaxPackageBytes = 256LL << 20;
  static constexpr std::int64_t kMaxDictionaryBytes = 64LL << 20;

  enum class EAction { Refuse, Keep, Download };
  struct SVerdict {
    EAction action = EAction::Refuse;
    /// The announced size of the download.
    std::int64_t size = 0;
    /// Why a reply was refused (for the log).
    std::string reason;
  };

  /// Splits a reply into its two lines. A reply is good when it succeeded, carries no
  /// error text and has exactly two lines; a line break after the second line ends it
  /// and starts no third. A carriage return before a line break is dropped.
  static bool ReadLines(bool success, std::string_view error, std::string_view body,
                        std::string& first, std::string& second, std::string& reason);
  /// Decimal digits with blanks around them, from 1 to `limit`; -1 for anything else.
  static std::int64_t ReadSize(std::string_view text, std::int64_t limit);
  /// The program file: a download when `current` is older than the announced version.
  static SVerdict ForProgram(std::string_view current, std::string_view version,
                             std::string_view size);
  /// The dictionary file: a download when the sizes differ, or when they agree and the
  /// installed file (`installedSize` -1 when there is none) is older than the date.
  static SVerdict ForDictionary(std::string_view date, std::string_view size,
                                std::int64_t installedSize, std::time_t installedTime);
};
