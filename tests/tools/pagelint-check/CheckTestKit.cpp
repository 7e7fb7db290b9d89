#include "CheckTestKit.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

extern char** environ;

namespace checktest {

ProcessResult Run(const std::vector<std::string>& argv, const std::string& workDir) {
  ScopedTempDir capture;
  const std::string outPath = capture.Sub("out");
  const std::string errPath = capture.Sub("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  if (!workDir.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ProcessResult result;
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return result;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = testkit::ReadBytes(outPath);
  result.err = testkit::ReadBytes(errPath);
  return result;
}

std::string CheckerPath() {
  return CDirUtils::GetAppPath() + "pagelint-check";
}

std::string Python(const std::string& json, const std::string& script) {
  ScopedTempDir folder;
  const std::string path = folder.Sub("doc.json");
  testkit::WriteBytes(path, json);
  const ProcessResult result = Run({"/usr/bin/python3", "-c", script, path});
  EXPECT_EQ(result.status, 0) << result.err << "\n" << json;
  return result.out;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  testkit::WriteBytes(path, bytes);
}

} // namespace checktest
