#pragma once

#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

/// Runs `work` in a forked child (for what must not touch the test process: dropped
/// privileges, a mount namespace) and returns the text it produced.
inline std::string RunInChild(const std::function<std::string()>& work) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) {
    return "pipe failed";
  }
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    const std::string text = work();
    for (std::size_t done = 0; done < text.size();) {
      const ssize_t written = write(pipeFds[1], text.data() + done, text.size() - done);
      if (written <= 0) {
        break;
      }
      done += static_cast<std::size_t>(written);
    }
    _exit(0);
  }
  close(pipeFds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return pid < 0 ? "fork failed" : text;
}
