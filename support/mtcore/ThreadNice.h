#pragma once

#include <sys/types.h>

/// The nice value of one thread: Linux keeps one per thread, not per process, so a
/// thread that should yield to the rest of the desktop sets its own.
class CThreadNice {
public:
  /// The nicest value: the thread runs only when nothing else wants the core.
  static constexpr int kIdle = 19;

  /// The nice value of the thread with kernel id `tid` (0: the calling thread); 0 when
  /// it cannot be read.
  static int Of(pid_t tid);
  /// The calling thread's nice value.
  static int OfCallingThread() { return Of(0); }
  /// Gives the calling thread `nice`; false when the system refused (Linux lets only
  /// privileged users lower a thread's nice value).
  static bool SetForCallingThread(int nice);
};
