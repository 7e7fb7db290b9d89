#pragma once

#include "diskfiles/DirScan.h"
#include "diskfiles/DiskFileList.h"
#include "diskfiles/ExtensionSet.h"
#include "diskfiles/FileChanges.h"
#include "mtcore/MTKernel.h"
#include "mtcore/WindowMessages.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

/// Collects, on its own thread, the files below a root folder that have one of the
/// given extensions into a file list, one pass per Refresh. Each pass posts MSG_FC_BEGIN
/// and, when the list is up to date, MSG_FC_DONE to the window; the changes it made are
/// then waiting in TakeChanges. A file counts as modified when its size or modification
/// time changed since the pass that last saw it.
class CFileCollector : public CMTKernel {
public:
  /// Registered messages; wParam 0, lParam the collector's message parameter.
  static const UINT MSG_FC_BEGIN;
  static const UINT MSG_FC_DONE;

  /// Starts the thread; the first pass runs on Refresh, or at once with `startNow`.
  /// `list` must outlive the collector. `exclusions` as for CDirScan.
  CFileCollector(std::string_view root, bool recursive, const std::vector<std::string>& extensions,
                 const std::vector<std::string>& exclusions, CDiskFileList* list, HWND window,
                 LPARAM lParam, bool startNow);
  /// Stops the thread and waits for it.
  ~CFileCollector() override;
  CFileCollector(const CFileCollector&) = delete;
  CFileCollector& operator=(const CFileCollector&) = delete;

  /// Whether the thread runs (false without a list, or when it could not start).
  bool IsValid() const { return m_valid; }
  /// The root of the next pass; a pass under way keeps its root.
  void SetDir(std::string_view root);
  /// Asks for a pass: at once when idle, else when the pass under way has ended.
  void Refresh();
  /// The changes of every pass that ended since the last call, merged (thread-safe).
  CFileChanges TakeChanges();
  /// What the last completed pass could not walk (thread-safe); set before that pass's
  /// MSG_FC_DONE is posted, empty before the first pass ends. A pass that ran out of
  /// memory still ends with MSG_FC_DONE, and names its root here as not walked whole.
  std::vector<CDirScan::Skipped> GetSkipped() const;

protected:
  void OnStopRequested() override;

private:
  void Run();
  /// One pass over `root`; false when a stop ended it.
  bool Pass(const std::string& root, const std::function<bool()>& stopRequested);
  bool WaitForRequest(std::string& root);
  void Merge(CDirScan& scan, CFileChanges& changes);

  CDiskFileList* m_list;
  HWND m_window;
  LPARAM m_lParam;
  bool m_recursive;
  CExtensionSet m_extensions;
  std::vector<std::string> m_exclusions;

  mutable std::mutex m_mutex; ///< guards the members below it
  std::condition_variable m_wake;
  std::string m_root;
  bool m_refresh = false;
  CFileChanges m_changes;
  std::vector<CDirScan::Skipped> m_skipped;
  /// The last pass ran out of memory (set without allocating), over this root.
  bool m_outOfMemory = false;
  std::string m_passRoot;

  bool m_valid = false;
};
