#pragma once

#include <string>
#include <string_view>
#include <vector>

/// The registry trees. Each is read from its file in the Wine prefix, where Windows
/// programs run under Wine keep their settings.
enum class ERegistryRoot { CurrentUser, LocalMachine };
inline constexpr ERegistryRoot HKEY_CURRENT_USER = ERegistryRoot::CurrentUser;
inline constexpr ERegistryRoot HKEY_LOCAL_MACHINE = ERegistryRoot::LocalMachine;

/// Read-only access to the registry of the Wine prefix ($WINEPREFIX, else ~/.wine).
/// Key paths are relative to the root, separated by backslashes, compared
/// case-insensitively. The file is read again whenever it changed on disk; no
/// prefix or no file reads as an empty registry. Safe to call from any thread.
class CRegistryUtils {
public:
  /// Fills `keys` with the full paths of the sub-keys of `key`: every level below
  /// it when `allLevels` is set, else only its children; parents before children.
  /// Returns whether `key` exists.
  static bool GetSubKeys(ERegistryRoot root, std::string_view key, std::vector<std::string>& keys,
                         bool allLevels);
  /// The string value `name` of `key` ("" names the default value); empty when the
  /// key or value is missing or not a string. Unless `raw` is set, a value that is
  /// an absolute Windows path comes back as the matching local path (see
  /// TranslateWindowsPath), or as stored when it has none.
  static std::string GetKeyValue(ERegistryRoot root, std::string_view key, std::string_view name,
                                 bool raw);

  /// The text of `key` (and with `subtree` of the keys below it) in the registry file
  /// `file`, as CWineRegistryFile::GetKeyText gives it; empty when there is none.
  static std::string ReadKeyText(const std::string& file, std::string_view key, bool subtree);

  /// The Wine prefix folder, ending in "/" (it need not exist).
  static std::string GetWinePrefix();
  /// The file that holds HKEY_CURRENT_USER: the prefix + "user.reg".
  static std::string GetUserRegPath();
  /// The file that holds `root`: "user.reg" or "system.reg" in the prefix.
  static std::string GetRegFilePath(ERegistryRoot root);
  /// A Windows path as a local path: "C:\dir\f.dic" becomes the target of the
  /// prefix's "dosdevices/c:" link (else "drive_c", and "/" for Z:) followed by
  /// "dir/f.dic", each name matched case-insensitively against the disk as Windows
  /// would. A path without a drive only has its backslashes turned into "/"; an
  /// absolute local path is kept. Empty for network paths and unmapped drives.
  static std::string TranslateWindowsPath(std::string_view windowsPath);
};
