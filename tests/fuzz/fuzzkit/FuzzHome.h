#pragma once

#include <string>
#include <string_view>

/// The process-wide fake home of a fuzz target, made on first use below the system's
/// temporary folder: HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR, WINEPREFIX and TMPDIR
/// point into it, the application log is open in it, and it is removed at exit. A
/// target started by hand thus never reads or writes the user's own files.
class CFuzzHome {
public:
  static const CFuzzHome& Get();

  CFuzzHome(const CFuzzHome&) = delete;
  CFuzzHome& operator=(const CFuzzHome&) = delete;

  /// The folder, without a trailing slash.
  const std::string& Root() const { return m_root; }
  /// The application data folder, ending in "/".
  std::string ConfigHome() const { return m_root + "/home/.config/"; }
  /// A folder below the root, created when missing, ending in "/".
  std::string Folder(std::string_view relative) const;

  /// Writes exactly `bytes` to `path` in place; aborts the run when it cannot.
  static void WriteBytes(const std::string& path, std::string_view bytes);
  /// The bytes of `path`; aborts the run when it cannot be read.
  static std::string ReadBytes(const std::string& path);

private:
  CFuzzHome();
  ~CFuzzHome();

  std::string m_root;
};

/// Ends the run as a crash, so that libFuzzer keeps the input that broke a promise.
[[noreturn]] void FuzzFail(const char* what, const char* file, int line);

#define FUZZ_REQUIRE(condition)                                                                    \
  do {                                                                                             \
    if (!(condition)) {                                                                            \
      FuzzFail(#condition, __FILE__, __LINE__);                                                    \
    }                                                                                              \
  } while (false)

/// FUZZ_REQUIRE with the broken promise said in words.
#define FUZZ_REQUIRE_THAT(condition, what)                                                         \
  do {                                                                                             \
    if (!(condition)) {                                                                            \
      FuzzFail(what, __FILE__, __LINE__);                                                          \
    }                                                                                              \
  } while (false)
