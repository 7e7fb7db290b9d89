#pragma once

#include "checking/ProjectFilter.h"
#include "checking/ProjectOptions.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// The byte form of a project data file (".plx"): a 16-bit version, the name, the
/// root folder, the dictionaries and the exclusion filters, little-endian, strings in
/// the archive string form. Version 2 is written while every option is off, so such a
/// project's file stays what it always was; version 3 is version 2 followed by the
/// 32-bit option bits, and nothing may follow them. Versions 1, 2 and 3 are read, and
/// any other is refused as damaged.
class CProjectDataFile {
public:
  /// The version written while every option is off.
  static constexpr std::uint16_t kVersion = 2;
  /// The version written when an option is on.
  static constexpr std::uint16_t kOptionsVersion = 3;
  /// The version each stored filter carries.
  static constexpr std::uint16_t kFilterVersion = 1;
  /// The type a filter gets when the file names one that does not exist.
  static constexpr std::int32_t kFallbackFilterType = CProjectFilter::FILE;

  // What one file may hold: far above any real project, far below what a damaged or
  // forged file may claim (a 16 MiB file has room for 16.7 million empty names, and
  // each name costs a look-up and each filter a match per page). A file beyond them is
  // refused as damaged, and Write refuses content beyond them, so that no saved
  // project becomes one that no longer loads.
  /// Dictionary names (or version 1 ids): a project names each dictionary once, and
  /// the dictionary folder of a real user holds tens.
  static constexpr std::uint32_t kMaxDictionaries = 1024;
  /// Exclusion filters: real sites leave out tens of folders, pages and patterns.
  static constexpr std::uint32_t kMaxFilters = 4096;
  /// Bytes of each text (name, root folder, dictionary name, filter): a path is at most
  /// 4096 bytes on Linux and a file name 255.
  static constexpr std::size_t kMaxTextBytes = 65535;

  /// What one data file holds.
  struct SContent {
    std::uint16_t version = kVersion;
    std::string name;
    std::string rootDirectory;
    /// Dictionary names, in the project's order (version 2).
    std::vector<std::string> dictionaryNames;
    /// Dictionary ids as a version 1 file stored them.
    std::vector<std::int32_t> dictionaryIds;
    std::vector<CProjectFilter> filters;
    /// At the defaults unless a version 3 file changed some.
    CProjectOptions options;
    bool operator==(const SContent&) const = default;
  };

  /// The version that Write gives content with these options.
  static std::uint16_t VersionFor(const CProjectOptions& options) {
    return options.AllDefault() ? kVersion : kOptionsVersion;
  }
  /// The bytes of `content` in the version VersionFor names (its version and ids are
  /// not written).
  /// Throws CArchiveException for content the archive form cannot hold or that lies
  /// beyond the limits above.
  static std::string Write(const SContent& content, const std::string& fileName);
  /// Parses a data file. Throws CArchiveException, naming `fileName`, for a truncated
  /// or damaged file (in version 3 also unknown option bits or bytes after them), one
  /// beyond the limits above, or one of an unknown version; nothing is allocated beyond
  /// what the bytes can hold.
  static SContent Read(std::string_view bytes, const std::string& fileName);
};
