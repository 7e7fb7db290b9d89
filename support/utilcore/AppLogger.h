#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

class CStorageException;

/// The application log: one time-stamped line per entry in "<name>.log" inside the
/// settings folder "<config>/<name>/". One instance per process; every member may
/// be called from any thread, and lines written at once never interleave.
class CAppLogger {
public:
  /// The logger, or null while no log is open (before SetAppName, after Close, or
  /// when the log file could not be opened): then nothing is logged.
  static CAppLogger* GetInstance();
  /// Opens (or switches to) the log of the application `name`, creating its folder
  /// when missing. Returns whether a log is open afterwards.
  static bool SetAppName(const std::string& name);
  /// Ends the log; GetInstance is null afterwards.
  static void Close();

  /// Appends `text` as one line; line breaks inside it become blanks, and every other
  /// control character (C0, DEL, C1) and every byte that is not well-formed UTF-8 is
  /// written as "\xNN" per byte, so that outside text can neither forge lines nor
  /// reach a terminal as control sequences. Valid UTF-8 text is kept as it is.
  void AddLine(std::string_view text);
  /// The log file; empty while none is open.
  std::string GetPath() const;

  /// Logs "{ID}" alone.
  static void Log(std::string_view id);
  /// Logs "{ID}" followed directly by a system error text.
  static void LogWithError(std::string_view id, std::string_view errorText);
  /// Logs "{ID} - <file> - <message>".
  static void LogFileError(std::string_view id, std::string_view fileName,
                           std::string_view message);
  /// Logs "{ID} - <file> - <message>" for a caught archive or file error.
  static void LogFileError(std::string_view id, const CStorageException& error);

  CAppLogger(const CAppLogger&) = delete;
  CAppLogger& operator=(const CAppLogger&) = delete;

private:
  CAppLogger() = default;
  ~CAppLogger();

  static CAppLogger& Instance();
  bool Open(const std::string& name);
  void CloseFile();

  mutable std::mutex m_mutex;
  int m_fd = -1;
  std::string m_path;
  std::atomic<bool> m_open{false};
};
