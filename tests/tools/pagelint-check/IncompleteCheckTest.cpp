// A check that could not read everything says so: each page left out is named on
// standard error, the summary counts only the pages checked, and the exit status is 2.
// What is left out on purpose (a binary file, a link out of the root) only warns.
// The checker runs as an ordinary user would (as root: through setpriv as nobody), since
// root reads every file whatever its permissions.
#include "CheckTestKit.h"

#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using checktest::ProcessResult;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true; // their shadow memory does not fit an address-space limit
#else
constexpr bool kSanitized = false;
#endif

/// Lets every user pass through the folders from `path` up that this process owns.
void OpenPathToEveryone(fs::path path) {
  for (; !path.empty() && path != path.root_path(); path = path.parent_path()) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && info.st_uid == geteuid()) {
      fs::permissions(path, fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
    }
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

class IncompleteCheckTest : public testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(Home());
    fs::permissions(Home(), fs::perms::all);
    WriteSite("index.html", "<p>teh</p>\n");
    OpenPathToEveryone(m_work.Sub("site"));
  }

  std::string Site() const { return m_work.Sub("site") + "/"; }
  std::string Home() const { return m_work.Sub("home"); }
  void WriteSite(const std::string& relative, const std::string& bytes) const {
    checktest::WriteFile(Site() + relative, bytes);
  }

  /// Runs the checker as an unprivileged user with a home folder of its own; `limit`
  /// (e.g. "--as=200000000") runs it under prlimit.
  ProcessResult RunAsUser(const std::vector<std::string>& args, const std::string& limit = "") {
    std::vector<std::string> argv;
    if (geteuid() == 0) {
      argv = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    argv.insert(argv.end(),
                {"/usr/bin/env", "HOME=" + Home(), "XDG_CONFIG_HOME=" + Home() + "/.config",
                 "XDG_RUNTIME_DIR=" + Home(), "TMPDIR=" + Home()});
    if (!limit.empty()) {
      argv.insert(argv.end(), {"/usr/bin/prlimit", limit});
    }
    argv.push_back(checktest::CheckerPath());
    argv.insert(argv.end(), args.begin(), args.end());
    return checktest::Run(argv);
  }

  ScopedTempDir m_work;
};

TEST_F(IncompleteCheckTest, WhatCannotBeReadIsNamedAndOnlyAGapMakesTheCheckIncomplete) {
  const std::string incomplete =
      "pagelint-check: incomplete: 1 page or folder could not be checked\n";
  struct Case {
    const char* name;
    void (*make)(const std::string& path);
    int status;
    std::string err; ///< after "pagelint-check: " and the path
  };
  const Case cases[] = {
      {"huge.html",
       [](const std::string& path) {
         checktest::WriteFile(path, "<p>teh</p>\n");
         fs::resize_file(path, 129ULL * 1024 * 1024); // sparse: nothing of it is written
       },
       2, " (larger than 128 MiB)\n" + incomplete},
      {"secret.html",
       [](const std::string& path) {
         checktest::WriteFile(path, "<p>wrld</p>\n");
         fs::permissions(path, fs::perms::none);
       },
       2, " (Permission denied)\n" + incomplete},
      {"locked",
       [](const std::string& path) {
         checktest::WriteFile(path + "/a.html", "<p>wrld</p>\n");
         fs::permissions(path, fs::perms::none);
       },
       2, "/ (unreadable folder: Permission denied)\n" + incomplete},
      {"passwd.html", [](const std::string& path) { fs::create_symlink("/etc/passwd", path); }, 1,
       ": link leads outside the root: /etc/passwd\n"},
      {"logo.html",
       [](const std::string& path) {
         checktest::WriteFile(path, std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR wrld\n", 22));
       },
       1, ": binary file, skipped\n"},
  };
  for (const Case& c : cases) {
    const std::string path = Site() + c.name;
    c.make(path);
    const ProcessResult result = RunAsUser({"--summary", Site()});
    EXPECT_EQ(result.status, c.status) << c.name;
    const std::string kind = c.status == 2 ? "not checked: " : "warning: ";
    EXPECT_EQ(result.err, "pagelint-check: " + kind + path + c.err) << c.name;
    EXPECT_TRUE(result.out.starts_with("index.html:1:4: teh\n1 files checked, 1 unrecognized"))
        << c.name << ": " << result.out;
    if (!fs::is_symlink(path)) { // never touch a link's target
      fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    }
    fs::remove_all(path);
  }
}

TEST_F(IncompleteCheckTest, RunningOutOfMemoryEndsWithOneLineAndStatusTwo) {
  if (kSanitized) {
    GTEST_SKIP() << "a sanitizer's shadow memory does not fit an address-space limit";
  }
  // Many distinct unrecognized words, each kept with its place and an excerpt.
  std::string page;
  for (int k = 0; k < 60000; ++k) {
    page += "<p>qx" + std::to_string(k * 7919) + "zv</p>\n";
  }
  WriteSite("words.html", page);
  bool ranOut = false;
  for (const int megabytes : {64, 96, 128}) {
    const ProcessResult result =
        RunAsUser({"-j", "1", Site()}, "--as=" + std::to_string(megabytes * 1024L * 1024L));
    const std::string what = std::to_string(megabytes) + " MB: " + result.err;
    ASSERT_NE(result.status, -1) << "killed by a signal at " << what;
    if (result.status == 2) {
      EXPECT_EQ(Lines(result.err).size(), 1U) << what;
      ranOut = ranOut || result.err.find("out of memory") != std::string::npos;
    } else {
      EXPECT_EQ(result.status, 1) << what;
    }
  }
  EXPECT_TRUE(ranOut) << "no limit made the check itself run out of memory";
}

} // namespace
