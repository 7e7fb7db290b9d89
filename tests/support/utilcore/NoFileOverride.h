#pragma once

#include <functional>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

/// Runs `work` on a thread of its own that may not override file permissions, so that
/// a read-only or unreadable folder stops it even when the tests run as root.
/// Capabilities belong to a thread on Linux: the test's own thread keeps its rights.
inline void RunWithoutFileOverride(const std::function<void()>& work) {
  std::thread([&work] {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) == 0) {
      for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        data[0].effective &= ~(1U << cap);
      }
      ::syscall(SYS_capset, &header, data);
    }
    work();
  }).join();
}
