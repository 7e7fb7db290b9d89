#pragma once

#include "mtcore/FileDescriptor.h"
#include "mtcore/MTWorkerThread.h"
#include "mtcore/WindowMessages.h"

#include <memory>
#include <mutex>
#include <string>

/// Keeps the program to one running instance per user.
///
/// The first instance holds an advisory lock (flock) on "<app>.lock" in LockFolder()
/// and listens on the Unix socket "<app>.sock" beside it. A later start finds the
/// lock taken, asks the running instance through the socket to show itself, and ends;
/// the running instance posts the message given to SetShowTarget to its window.
class CSingleInstanceLock {
public:
  explicit CSingleInstanceLock(std::string appName = "Pagelint");
  /// Stops listening and gives the lock back.
  ~CSingleInstanceLock();
  CSingleInstanceLock(const CSingleInstanceLock&) = delete;
  CSingleInstanceLock& operator=(const CSingleInstanceLock&) = delete;

  /// True: this is the running instance now. False: another instance holds the lock;
  /// when `notifyRunning`, it has been asked to show itself. A lock that cannot be set
  /// up at all (unwritable folder) is logged and gives true: better to run twice than
  /// not at all.
  bool Acquire(bool notifyRunning = true);
  /// True while this object holds the lock.
  bool IsHeld() const { return m_lockFd.IsValid(); }

  /// Where show requests go from now on: `message` (wParam 0, lParam 0) is posted to
  /// `window`. A request that came before a target was set is delivered now.
  void SetShowTarget(HWND window, UINT message);

  /// $XDG_RUNTIME_DIR/ when it names a folder, else the settings folder
  /// $XDG_CONFIG_HOME/Pagelint/ (or ~/.config/Pagelint/), created when missing.
  /// Empty when neither can be found.
  static std::string LockFolder();

private:
  bool OpenFolder();
  bool Listen();
  bool NotifyRunning();
  void Serve();
  bool ReadShowRequest(int client) const;
  void RequestShow();

  std::string m_appName;
  std::string m_folder;
  CFileDescriptor m_folderFd; // the socket is reached through it when its path is long
  CFileDescriptor m_lockFd;
  CFileDescriptor m_listenFd;
  CFileDescriptor m_wakeFd; // eventfd that ends the listener's wait
  std::unique_ptr<CMTWorkerThread> m_listener;

  std::mutex m_mutex; // guards the show target
  HWND m_showWindow = 0;
  UINT m_showMessage = 0;
  bool m_showPending = false;
};
