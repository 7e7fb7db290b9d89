#include "CheckTestKit.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"

#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>

extern char** environ;

namespace checktest {

namespace {

/// The test's environment with `changes` applied, as "NAME=value" strings.
std::vector<std::string> Environment(const std::vector<std::string>& changes) {
  std::vector<std::string> result;
  const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const bool changed = std::any_of(changes.begin(), changes.end(), [&](const std::string& c) {
      return nameOf(c) == nameOf(text);
    });
    if (!changed) {
      result.push_back(text);
    }
  }
  for (const std::string& change : changes) {
    if (change.find('=') != std::string::npos) {
      result.push_back(change);
    }
  }
  return result;
}

std::vector<char*> Pointers(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (const std::string& text : texts) {
    pointers.push_back(const_cast<char*>(text.c_str()));
  }
  pointers.push_back(nullptr);
  return pointers;
}

} // namespace

ProcessResult Run(const std::vector<std::string>& argv, const std::string& workDir) {
  return Run(argv, RunSetup{workDir, "", {}});
}

ProcessResult Run(const std::vector<std::string>& argv, const RunSetup& setup) {
  ScopedTempDir capture;
  const std::string outPath = setup.outPath.empty() ? capture.Sub("out") : setup.outPath;
  const std::string errPath = capture.Sub("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  if (!setup.workDir.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, setup.workDir.c_str());
  }
  std::vector<char*> args = Pointers(argv);
  const std::vector<std::string> environment = Environment(setup.environment);
  std::vector<char*> envp = Pointers(environment);
  pid_t pid = 0;
  const int spawned =
      posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), envp.data());
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
  result.out = setup.outPath.empty() ? testkit::ReadBytes(outPath) : std::string();
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
