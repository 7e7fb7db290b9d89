#pragma once

#include "utilcore/FileDescriptor.h"

#include <mutex>
#include <stop_token>
#include <sys/types.h>
#include <thread>
#include <vector>

/// Waits for the programs this process starts without waiting for them itself, so
/// that none of them stays behind as a zombie. One thread watches every child through
/// a process descriptor; it starts with the first child and stops when the process
/// ends (children still running then are left to the system).
class CChildReaper {
public:
  static CChildReaper& GetInstance();
  ~CChildReaper();
  CChildReaper(const CChildReaper&) = delete;
  CChildReaper& operator=(const CChildReaper&) = delete;

  /// Takes charge of a started child process.
  void Adopt(pid_t pid);

private:
  struct CChild {
    pid_t pid;
    CFileDescriptor pidFd;
  };

  CChildReaper();
  void Run(const std::stop_token& stop);
  void Wake() const;

  std::mutex m_mutex;
  std::vector<CChild> m_arrived; // guarded by m_mutex, handed to the thread
  CFileDescriptor m_wake;        // eventfd that interrupts the thread's poll
  std::jthread m_thread;
};
