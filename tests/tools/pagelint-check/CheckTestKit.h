#pragma once

#include <string>
#include <vector>

/// Helpers of the pagelint-check tests: running programs and reading their output.
namespace checktest {

struct ProcessResult {
  int status = -1; ///< exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

/// How Run starts a program beyond its arguments.
struct RunSetup {
  std::string workDir;                  ///< empty: the current folder
  std::string outPath;                  ///< standard output; empty: caught in `out`
  std::vector<std::string> environment; ///< "NAME=value" in place of the test's; "NAME" unsets
};

/// Runs `argv` (argv[0] is a path) in `workDir` (empty: the current folder) with the
/// environment of the test, standard output and error caught in files.
ProcessResult Run(const std::vector<std::string>& argv, const std::string& workDir = "");
ProcessResult Run(const std::vector<std::string>& argv, const RunSetup& setup);

/// The pagelint-check built beside the test program.
std::string CheckerPath();

/// Runs a Python script on `json` (a file name in sys.argv[1]; the script loads it with
/// json.load) and returns what the script prints; fails the test on a Python error.
std::string Python(const std::string& json, const std::string& script);

/// Writes `bytes` to `path`, creating its folders.
void WriteFile(const std::string& path, const std::string& bytes);

} // namespace checktest
