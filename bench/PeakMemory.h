#pragma once

#include <sys/resource.h>

/// The process's largest resident set so far, in MiB: a benchmark's memory target.
inline double PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
