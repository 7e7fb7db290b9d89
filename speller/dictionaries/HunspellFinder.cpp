#include "dictionaries/HunspellFinder.h"

#include "utilcore/AppLogger.h"

#include <nuspell/finder.hxx>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>
#include <utility>

namespace {

namespace fs = std::filesystem;

/// "{ID} - <file> - no .aff file beside it" (or no .dic file).
constexpr const char* kLogUnpaired = "{A6C458C2-5701-401A-B07B-3B953F92B6C1}";
/// "{ID} - <folder> - <why>": a search folder that could not be listed.
constexpr const char* kLogFolder = "{56346047-73BE-4DD7-A98C-988424520283}";
/// "{ID} - <file> - <why>": a ".dic" or ".aff" name that is no readable file.
constexpr const char* kLogNotAFile = "{3F37BC7A-383E-42CF-869F-4F28FC67CC08}";

constexpr std::string_view kDicExtension = ".dic";
constexpr std::string_view kAffExtension = ".aff";

/// One pair as listed in one folder, before links and names are sorted out.
struct SCandidate {
  SHunspellFile file;
  std::pair<std::string, std::string> realPaths; ///< the .dic and .aff links resolved
  std::string stem;
};

std::string Joined(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).string();
}

bool IsLanguageCode(std::string_view code) {
  return (code.size() == 2 || code.size() == 3) &&
         std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::string ToUtf8(const icu::UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

/// The stems of one folder's files by what they are.
struct SStems {
  std::set<std::string> dics;
  std::set<std::string> affs;
  /// Named ".dic" or ".aff" but no regular file (a broken link, a folder): logged
  /// already, so that its other half needs no line of its own.
  std::set<std::string> refused;
};

void AddStem(const fs::directory_entry& entry, SStems& stems) {
  const fs::path& path = entry.path();
  const std::string extension = path.extension().string();
  std::set<std::string>* kind = extension == kDicExtension   ? &stems.dics
                                : extension == kAffExtension ? &stems.affs
                                                             : nullptr;
  if (kind == nullptr) {
    return;
  }
  std::error_code error;
  if (!entry.is_regular_file(error)) {
    CAppLogger::LogFileError(kLogNotAFile, path.string(),
                             error ? error.message() : "not a regular file");
    stems.refused.insert(path.stem().string());
    return;
  }
  kind->insert(path.stem().string());
}

/// The stems of the regular files (links followed) named "*.dic" and "*.aff" in
/// `folder`; false when the folder could not be listed.
bool ListStems(const std::string& folder, CHunspellFinder::EMissingFolders missing, SStems& stems) {
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) {
    const bool absent = error == std::errc::no_such_file_or_directory;
    if (!absent || missing == CHunspellFinder::EMissingFolders::kLogged) {
      CAppLogger::LogFileError(kLogFolder, folder, error.message());
    }
    return false;
  }
  while (entries != fs::directory_iterator()) {
    AddStem(*entries, stems);
    entries.increment(error);
    // A folder that fails half-way keeps what was listed before.
    if (error) {
      CAppLogger::LogFileError(kLogFolder, folder, error.message());
      break;
    }
  }
  return true;
}

/// The pairs of one folder in stem order; each half without the other is logged.
void CollectPairs(const std::string& folder, CHunspellFinder::EMissingFolders missing,
                  std::vector<SCandidate>& candidates) {
  SStems stems;
  if (!ListStems(folder, missing, stems)) {
    return;
  }
  for (const std::string& stem : stems.affs) {
    if (!stems.dics.contains(stem) && !stems.refused.contains(stem)) {
      CAppLogger::LogFileError(kLogUnpaired, Joined(folder, stem + ".aff"),
                               "no .dic file beside it");
    }
  }
  for (const std::string& stem : stems.dics) {
    const std::string dic = Joined(folder, stem + ".dic");
    if (!stems.affs.contains(stem)) {
      if (!stems.refused.contains(stem)) {
        CAppLogger::LogFileError(kLogUnpaired, dic, "no .aff file beside it");
      }
      continue;
    }
    SCandidate candidate;
    candidate.stem = stem;
    candidate.file.dicPath = dic;
    candidate.file.affPath = Joined(folder, stem + ".aff");
    std::error_code dicError;
    std::error_code affError;
    candidate.realPaths.first = fs::canonical(candidate.file.dicPath, dicError).string();
    candidate.realPaths.second = fs::canonical(candidate.file.affPath, affError).string();
    if (dicError || affError) {
      CAppLogger::LogFileError(kLogNotAFile, dicError ? dic : candidate.file.affPath,
                               (dicError ? dicError : affError).message());
      continue;
    }
    CHunspellFinder::Describe(stem, candidate.file);
    candidates.push_back(std::move(candidate));
  }
}

/// Whether the pair is found under the real word list's own name, not an alias.
bool IsRealName(const SCandidate& candidate) {
  return fs::path(candidate.realPaths.first).stem().string() == candidate.stem;
}

/// One candidate per real pair: its real name if listed, else the first by name.
std::vector<SCandidate> WithoutAliases(std::vector<SCandidate> candidates) {
  std::map<std::pair<std::string, std::string>, std::size_t> byRealPaths;
  std::vector<SCandidate> kept;
  for (SCandidate& candidate : candidates) {
    const auto [found, added] = byRealPaths.emplace(candidate.realPaths, kept.size());
    if (added) {
      kept.push_back(std::move(candidate));
    } else if (IsRealName(candidate) && !IsRealName(kept[found->second])) {
      kept[found->second] = std::move(candidate);
    }
  }
  return kept;
}

} // namespace

std::vector<std::string> CHunspellFinder::SearchFolders(EMissingFolders& missing) {
  std::vector<std::string> folders;
  if (const char* given = std::getenv(kPathVariable)) {
    missing = EMissingFolders::kLogged;
    std::string_view rest = given;
    while (!rest.empty()) {
      const std::size_t colon = std::min(rest.find(':'), rest.size());
      if (colon > 0) {
        folders.emplace_back(rest.substr(0, colon));
      }
      rest.remove_prefix(std::min(colon + 1, rest.size()));
    }
    return folders;
  }
  missing = EMissingFolders::kSkipped;
  std::vector<fs::path> paths;
  nuspell::append_default_dir_paths(paths);
  for (const fs::path& path : paths) {
    folders.push_back(path.string());
  }
  return folders;
}

std::vector<SHunspellFile> CHunspellFinder::Find(const std::vector<std::string>& folders,
                                                 EMissingFolders missing) {
  std::vector<SCandidate> candidates;
  for (const std::string& folder : folders) {
    CollectPairs(folder, missing, candidates);
  }
  // Folder order first: a dictionary of the user's folder shadows the system's.
  std::set<std::string> names;
  std::vector<SHunspellFile> found;
  for (SCandidate& candidate : WithoutAliases(std::move(candidates))) {
    if (names.insert(candidate.file.name).second) {
      found.push_back(std::move(candidate.file));
    }
  }
  std::sort(found.begin(), found.end(),
            [](const SHunspellFile& a, const SHunspellFile& b) { return a.name < b.name; });
  return found;
}

void CHunspellFinder::Describe(const std::string& stem, SHunspellFile& file) {
  file.tag = stem;
  std::replace(file.tag.begin(), file.tag.end(), '-', '_');
  file.language.clear();
  file.name = file.tag;
  const icu::Locale locale(file.tag.c_str());
  const std::string language = locale.getLanguage();
  if (locale.isBogus() || !IsLanguageCode(language)) {
    return;
  }
  file.language = language;
  for (const char* part : {locale.getScript(), locale.getCountry()}) {
    if (*part != '\0') {
      file.language += '_';
      file.language += part;
    }
  }
  // ICU names a language it does not know by its code: that adds nothing to the tag.
  icu::UnicodeString display;
  if (ToUtf8(locale.getDisplayLanguage(icu::Locale::getEnglish(), display)) == language) {
    return;
  }
  file.name = ToUtf8(locale.getDisplayName(icu::Locale::getEnglish(), display)) + ' ' + file.tag;
}
