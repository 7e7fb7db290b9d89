#include "testkit/SaveFaults.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace testkit {

using EStage = CFileWriteFaults::EStage;

namespace {
constexpr std::uint64_t kEveryByteUpTo = 4096;
constexpr std::uint64_t kSampleStep = 64;
// A child that neither finishes nor dies is stopped by this alarm, not left hanging.
constexpr unsigned kChildAlarmSeconds = 60;
} // namespace

void PrintTo(const SSaveFault& fault, std::ostream* out) {
  static constexpr const char* kNames[] = {"None",   "Open",        "Write", "Sync",
                                           "Rename", "CrossDevice", "Kill"};
  *out << kNames[static_cast<unsigned>(fault.stage)];
  if (fault.stage == EStage::Write) {
    *out << " after " << fault.afterBytes << " bytes";
  }
}

std::vector<SSaveFault> EveryFault(std::uint64_t bytes) {
  std::vector<SSaveFault> faults{{EStage::Open}};
  for (std::uint64_t n = 0; n < bytes; n += n < kEveryByteUpTo ? 1 : kSampleStep) {
    faults.push_back({EStage::Write, n});
  }
  if (bytes > 0) {
    faults.push_back({EStage::Write, bytes - 1});
  }
  faults.push_back({EStage::Sync});
  faults.push_back({EStage::Rename});
  return faults;
}

std::vector<SSaveFault> KillPoints(std::uint64_t bytes) {
  std::vector<SSaveFault> points{{EStage::Open}, {EStage::Write, 0}};
  if (bytes > 2) {
    points.push_back({EStage::Write, bytes / 2});
  }
  if (bytes > 1) {
    points.push_back({EStage::Write, bytes - 1});
  }
  points.push_back({EStage::Sync});
  points.push_back({EStage::Rename});
  return points;
}

void ForEachFault(const std::vector<SSaveFault>& faults,
                  const std::function<void(const SSaveFault&)>& body, unsigned spare) {
  for (const SSaveFault& fault : faults) {
    SCOPED_TRACE(testing::PrintToString(fault));
    CFileWriteFaults::Clear();
    CFileWriteFaults::Inject(fault.stage, fault.afterBytes);
    CFileWriteFaults::SpareFiles(spare);
    body(fault);
    CFileWriteFaults::Clear();
  }
}

bool KilledDuringSave(const SSaveFault& fault, const std::function<void()>& save, unsigned spare) {
  const pid_t child = ::fork();
  if (child < 0) {
    ADD_FAILURE() << "fork failed";
    return false;
  }
  if (child == 0) {
    ::alarm(kChildAlarmSeconds);
    CFileWriteFaults::Clear();
    CFileWriteFaults::Inject(fault.stage, fault.afterBytes);
    CFileWriteFaults::Inject(EStage::Kill);
    CFileWriteFaults::SpareFiles(spare);
    save();
    // Still alive: the kill point was never reached. _exit runs no test teardown.
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      ADD_FAILURE() << "waitpid failed";
      return false;
    }
  }
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

namespace {

std::string FolderOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

// Saves once to learn the new bytes, then puts the old ones back.
std::string LearnWrittenBytes(const SWriterUnderTest& writer, const std::string& before) {
  EXPECT_TRUE(writer.save()) << "a save without faults must work";
  std::string after = ReadBytes(writer.path);
  EXPECT_NE(after, before) << "the save must change something to be tested";
  WriteBytes(writer.path, before);
  return after;
}

} // namespace

void ExpectEveryFailureKeepsTheFile(const SWriterUnderTest& writer) {
  const std::string before = ReadBytes(writer.path);
  const std::string folder = FolderOf(writer.path);
  const std::set<std::string> names = NamesIn(folder);
  const std::string after = LearnWrittenBytes(writer, before);
  ForEachFault(
      EveryFault(after.size()),
      [&](const SSaveFault& fault) {
        const LogCapture log;
        EXPECT_FALSE(writer.save());
        const std::string& id = fault.stage == EStage::Open && !writer.openLogId.empty()
                                    ? writer.openLogId
                                    : writer.logId;
        if (!id.empty()) {
          EXPECT_TRUE(log.Contains(id)) << id;
        }
        EXPECT_EQ(ReadBytes(writer.path), before);
        EXPECT_EQ(NamesIn(folder), names) << "no temporary file is left behind";
        writer.expectNothingLost();
      },
      writer.spare);
  EXPECT_TRUE(writer.save());
  EXPECT_EQ(ReadBytes(writer.path), after);
}

void ExpectAKilledSaveKeepsTheFile(const SWriterUnderTest& writer) {
  const std::string before = ReadBytes(writer.path);
  const std::string folder = FolderOf(writer.path);
  const std::string after = LearnWrittenBytes(writer, before);
  for (const SSaveFault& point : KillPoints(after.size())) {
    SCOPED_TRACE(testing::PrintToString(point));
    const std::set<std::string> staleBefore = TemporaryNamesIn(folder);
    EXPECT_TRUE(KilledDuringSave(point, writer.save, writer.spare));
    EXPECT_EQ(ReadBytes(writer.path), before);
    writer.expectNothingLost();
    const std::set<std::string> stale = TemporaryNamesIn(folder);
    EXPECT_LE(stale.size(), staleBefore.size() + 1) << "one killed write, one stale file";

    EXPECT_TRUE(writer.save());
    EXPECT_EQ(ReadBytes(writer.path), after);
    EXPECT_EQ(TemporaryNamesIn(folder), stale) << "the next save adds no temporary file";
    WriteBytes(writer.path, before);
  }
}

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::set<std::string> TemporaryNamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const std::string& name : NamesIn(folder)) {
    if (name.starts_with(".") && name.find(".tmp-") != std::string::npos) {
      names.insert(name);
    }
  }
  return names;
}

} // namespace testkit
