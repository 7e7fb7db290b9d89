#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

/// The program that opens (views) and the program that edits files of each extension.
/// Process-wide and safe to use from any thread. Extensions are kept in the form of
/// CExtensionSet::Normalize, so ".HTM" and "htm" name the same entry.
class FileExtMgr {
public:
  /// One registration, as stored in the settings file.
  struct SEntry {
    std::string extension; ///< canonical form
    std::string opener;
    std::string editor;
    friend bool operator==(const SEntry&, const SEntry&) = default;
  };

  /// The process-wide instance; never null.
  static FileExtMgr* GetInstance();

  FileExtMgr(const FileExtMgr&) = delete;
  FileExtMgr& operator=(const FileExtMgr&) = delete;

  /// The opener of `extension`; empty when none is set. With `ignoreCase` false the
  /// extension must be given in its canonical form (lower case, no dot).
  std::string GetOpenerApp(std::string_view extension, bool ignoreCase) const;
  std::string GetEditorApp(std::string_view extension, bool ignoreCase) const;

  /// Sets the opener of `extension`. With `addIfMissing` false an extension that is not
  /// yet registered is left alone; with `keepExisting` true an application already set
  /// is not replaced. Returns whether the entry was changed or added.
  bool SetOpenerApp(std::string_view extension, std::string_view app, bool addIfMissing,
                    bool keepExisting);
  bool SetEditorApp(std::string_view extension, std::string_view app, bool addIfMissing,
                    bool keepExisting);

  /// Fills `extensions` (cleared first, sorted) with the registered extensions; with
  /// `includeUnset` false only those that have an opener or an editor.
  void GetApplications(std::vector<std::string>& extensions, bool includeUnset) const;

  /// Every registration, sorted by extension.
  std::vector<SEntry> GetAll() const;
  /// Replaces every registration by `entries` (as GetAll gave them), so that a failed
  /// read of stored registrations can put the manager back exactly as it was.
  void RestoreAll(const std::vector<SEntry>& entries);

  /// Forgets every registration (for a fresh start and for tests).
  void RemoveAll();

private:
  struct Apps {
    std::string opener;
    std::string editor;
  };

  FileExtMgr() = default;
  ~FileExtMgr() = default;

  std::string Get(std::string_view extension, bool ignoreCase, std::string Apps::*app) const;
  bool Set(std::string_view extension, std::string_view app, bool addIfMissing, bool keepExisting,
           std::string Apps::*field);

  mutable std::mutex m_lock;
  std::map<std::string, Apps, std::less<>> m_apps;
};
