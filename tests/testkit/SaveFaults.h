#pragma once

#include "utilcore/FileWriteFaults.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

/// Helpers that break a save at every stage, or kill the process in the middle of it.
namespace testkit {

/// One injected failure: a stage and, for Write, the bytes written before it.
struct SSaveFault {
  CFileWriteFaults::EStage stage;
  std::uint64_t afterBytes = 0;
};
void PrintTo(const SSaveFault& fault, std::ostream* out);

/// Every way a write of `bytes` bytes can fail: Open, Write after N bytes for every N
/// below `bytes` (every 64th N above 4096), Sync and Rename.
std::vector<SSaveFault> EveryFault(std::uint64_t bytes);
/// The places to kill a writer of `bytes` bytes: before the temporary file exists,
/// after none, half and all but one of its bytes, before the flush, before the rename.
std::vector<SSaveFault> KillPoints(std::uint64_t bytes);

/// Runs `body` once for each fault, with the fault (and `spare` spared files) injected;
/// the faults are cleared again after each.
void ForEachFault(const std::vector<SSaveFault>& faults,
                  const std::function<void(const SSaveFault&)>& body, unsigned spare = 0);

/// Runs `save` in a child process in which `fault` kills it (SIGKILL) instead of
/// failing. True when the child died so; false when it ended otherwise.
bool KilledDuringSave(const SSaveFault& fault, const std::function<void()>& save,
                      unsigned spare = 0);

/// The names in `folder`, hidden ones included.
std::set<std::string> NamesIn(const std::string& folder);
/// The names in `folder` that a write left behind as its temporary files.
std::set<std::string> TemporaryNamesIn(const std::string& folder);

/// One writer under test.
struct SWriterUnderTest {
  std::string path;           ///< the file a save replaces
  std::function<bool()> save; ///< one save; false when it reported a failure
  std::string logId;          ///< what each failure's log line begins with; "" for none
  std::string openLogId;      ///< the line of a failed Open when it is another one
  unsigned spare = 0;         ///< files each save writes before `path`
  /// Further checks after a failed or killed save, in the test's process.
  std::function<void()> expectNothingLost = [] {};
};

/// Learns what a save writes, puts the old bytes back, then proves that a failure at
/// each of EveryFault() reports false, logs, keeps the old bytes and leaves no other
/// file in the folder; a last save without faults must work.
void ExpectEveryFailureKeepsTheFile(const SWriterUnderTest& writer);
/// Kills a child process at each of KillPoints() while it saves; the old bytes must
/// stay and the next save in this process must work beside the stale temporary file.
void ExpectAKilledSaveKeepsTheFile(const SWriterUnderTest& writer);

} // namespace testkit

/// Declares both checks for a fixture whose Writer() gives its SWriterUnderTest;
/// `kind` is TEST_F or TEST_P.
#define PAGELINT_SAVE_UNDER_FAILURE_TESTS(kind, fixture)                                           \
  kind(fixture, EveryFailureKeepsTheOldFile) {                                                     \
    testkit::ExpectEveryFailureKeepsTheFile(Writer());                                             \
  }                                                                                                \
  kind(fixture, AKilledSaveKeepsTheOldFile) {                                                      \
    testkit::ExpectAKilledSaveKeepsTheFile(Writer());                                              \
  }
