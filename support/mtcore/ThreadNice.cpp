#include "mtcore/ThreadNice.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

int CThreadNice::Of(pid_t tid) {
  // getpriority may return -1 as a value; only errno tells the failure apart.
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
  return errno == 0 ? nice : 0;
}

bool CThreadNice::SetForCallingThread(int nice) {
  // PRIO_PROCESS with a thread's id changes that thread alone; 0 would name the caller
  // too, but its own id keeps the meaning plain.
  return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice) == 0;
}
