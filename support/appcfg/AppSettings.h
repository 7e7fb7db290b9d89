#pragma once

#include "appcfg/AppShape.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CArchiveReader;
class CArchiveWriter;

/// The application's settings and their file: paths, the window's shape, the version
/// that last ran, the upgrade options and the applications per file extension. A
/// program derives its own settings and appends them in Serialize. Used on the user
/// interface thread.
class CAppSettings {
public:
  /// "<app name>.settings" for this program.
  static constexpr const char* kSettingsFileName = "Pagelint.settings";
  static constexpr std::uint16_t kBaseVersion = 1;
  /// The maker's upgrade server; the frame asks it for the version files.
  static constexpr const char* kServerAddress = "https://www.corvanesoftware.com";
  /// Names another upgrade server for this run (a mirror, a test server); it is not
  /// stored, so the settings file stays as it was.
  static constexpr const char* kServerVariable = "PAGELINT_UPGRADE_SERVER";
  // What a settings file may hold: far above a real one (a few kilobytes, a registration
  // for each of a dozen extensions, paths of at most 4096 bytes), far below what a
  // damaged file may claim. A file beyond them is damaged; Save never writes one.
  /// Entries of each list (the applications per file extension).
  static constexpr std::uint32_t kMaxListEntries = 1024;
  /// Bytes of each text (a version, a path, a command).
  static constexpr std::size_t kMaxTextBytes = 65535;

  CAppSettings();
  virtual ~CAppSettings();
  CAppSettings(const CAppSettings&) = delete;
  CAppSettings& operator=(const CAppSettings&) = delete;

  /// Application data + app name + "/" ("Pagelint/" until Read names the app).
  std::string GetApplicationSettingsPath() const;
  /// The program folder given to Read, ending in "/" (else the running program's).
  std::string GetApplicationPath() const;
  /// Settings path + app name + ".settings".
  std::string GetSettingsFilePath() const;

  /// Reads the settings file. `firstStart` is set false when a settings file was there
  /// (damaged or not); `upgraded` tells whether the stored program version is older
  /// than this one. A damaged file or one of an unknown version is logged, renamed to
  /// "<file>.bad" (GetDamagedFile tells which) and gives the defaults and false; a
  /// missing file gives the defaults and true.
  bool Read(const std::string& appDirectory, const std::string& appName, bool& firstStart,
            bool& upgraded);
  /// A damaged settings file that the last Read found.
  struct SDamagedFile {
    std::string path;   ///< the settings file; empty when the last Read found no damage
    std::string keptAs; ///< "<file>.bad"; empty when the file could not be moved there
  };
  const SDamagedFile& GetDamagedFile() const { return m_damaged; }
  /// Writes the file atomically, creating its folder; logged and false on failure,
  /// and the old file stays then.
  bool Save();

  /// Whether the window is to be maximized; `shape` gets the stored rectangle, or
  /// defaultWidth x defaultHeight at 0, 0 when none is stored.
  bool GetAppShape(SAppShape& shape, int defaultWidth, int defaultHeight) const;
  void SetAppShape(const SAppShape& shape);

  /// Whether the last Read found a settings file of an older program version.
  bool Upgraded() const { return m_upgraded; }
  /// The program version that wrote the settings file ("" when none was read).
  std::string GetOldVersionNumber() const { return m_oldVersion; }
  std::string GetCurrentVersionNumber() const;

  bool GetAutomaticUpgrading() const { return m_automaticUpgrading; }
  void SetAutomaticUpgrading(bool on) { m_automaticUpgrading = on; }
  bool GetPlayWelcomeMsg() const { return m_playWelcomeMsg; }
  void SetPlayWelcomeMsg(bool on) { m_playWelcomeMsg = on; }

  /// The upgrade server's scheme and host, without a final "/": kServerAddress, or
  /// the environment's kServerVariable when set, or what SetServerAddress gave.
  std::string GetServerAddress() const { return m_serverAddress; }
  void SetServerAddress(const std::string& address);
  /// The address of the newest program package.
  std::string GetApplicationServerUpdatesPath() const;
  /// The address of the newest compiled main dictionary.
  std::string GetApplicationServerDictionaryPath() const;
  /// Where downloads wait until the program closes: settings path + "Updates/".
  std::string GetApplicationUpdatesDir() const;
  /// The downloaded program package in the updates folder.
  std::string GetApplicationUpdatesExe() const;
  /// The downloaded main dictionary in the updates folder.
  std::string GetApplicationDictionaryUpdatesFile() const;

protected:
  /// The base part: the 16-bit base version, then its fields, the applications per
  /// file extension among them. Derived classes call this first, then append theirs.
  virtual void Serialize(CArchiveWriter& archive) const;
  /// Throws CArchiveException for damaged bytes or an unknown version.
  virtual void Serialize(CArchiveReader& archive);
  /// Back to the defaults (before reading, and after a damaged file); derived classes
  /// reset their own fields too and call this.
  virtual void SetDefaults();

private:
  /// Logs, keeps the damaged bytes as "<file>.bad" and goes back to the defaults.
  void HandleDamagedFile(const std::string& path, const std::string& error);

  std::string m_appName = "Pagelint";
  std::string m_appPath;
  std::string m_serverAddress;
  SAppShape m_shape;
  bool m_automaticUpgrading = true;
  bool m_playWelcomeMsg = false;
  bool m_upgraded = false;
  std::string m_oldVersion;
  SDamagedFile m_damaged;
};
