// pagelint-check: checks web sites from the command line with Pagelint's own pipeline.
#include "pagelint-check/CheckOptions.h"
#include "pagelint-check/CheckRun.h"
#include "pagelint-check/TerminalText.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <new>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  CCheckOptions options;
  std::string error;
  if (!options.Parse(args, error)) {
    std::cerr << "pagelint-check: " << CTerminalText::Printable(error) << " (see --help)\n";
    return CCheckRun::kExitError;
  }
  try {
    CCheckRun run(std::move(options), std::cout, std::cerr, STDERR_FILENO);
    const int status = run.Execute();
    std::cout.flush();
    std::cerr.flush();
    // A large site's findings are millions of small blocks: freeing them one by one
    // only keeps the caller waiting, the system takes them back at once.
    std::_Exit(status);
  } catch (const std::bad_alloc&) {
    // Whatever was half-built is gone by now; a script gets a status, not a core dump.
    std::cerr << "pagelint-check: out of memory\n";
    return CCheckRun::kExitError;
  }
}
