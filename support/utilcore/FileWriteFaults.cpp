#include "utilcore/FileWriteFaults.h"

#include <atomic>
#include <csignal>

namespace {
std::atomic<unsigned> g_stages{0}; // one bit per stage
std::atomic<std::uint64_t> g_afterBytes{0};
std::atomic<unsigned> g_filesToSpare{0};
std::atomic<bool> g_sparingThisFile{false};

unsigned Bit(CFileWriteFaults::EStage stage) {
  return stage == CFileWriteFaults::EStage::None ? 0U : 1U << static_cast<unsigned>(stage);
}

bool Injected(CFileWriteFaults::EStage stage) {
  return (g_stages.load(std::memory_order_relaxed) & Bit(stage)) != 0;
}

bool Armed(CFileWriteFaults::EStage stage) {
  if (!Injected(stage)) {
    return false;
  }
  // Which way a move goes is no fault of a file's write, so sparing leaves it alone.
  return stage == CFileWriteFaults::EStage::CrossDevice || !g_sparingThisFile.load();
}

// SIGKILL, unlike abort or exit, runs nothing more in the writer: no destructor
// removes the temporary file, as after a crash or a power cut.
void KillWhenAsked() {
  if (Injected(CFileWriteFaults::EStage::Kill)) {
    std::raise(SIGKILL);
  }
}
} // namespace

void CFileWriteFaults::Inject(EStage stage, std::uint64_t afterBytes) {
  if (stage == EStage::Write) {
    g_afterBytes.store(afterBytes);
  }
  g_stages.fetch_or(Bit(stage));
}

void CFileWriteFaults::SpareFiles(unsigned count) {
  g_filesToSpare.store(count);
}

void CFileWriteFaults::Clear() {
  g_stages.store(0);
  g_filesToSpare.store(0);
  g_sparingThisFile.store(false);
}

void CFileWriteFaults::StartFile() {
  unsigned left = g_filesToSpare.load();
  while (left > 0 && !g_filesToSpare.compare_exchange_weak(left, left - 1)) {
  }
  g_sparingThisFile.store(left > 0);
}

bool CFileWriteFaults::Fails(EStage stage) {
  if (!Armed(stage)) {
    return false;
  }
  if (stage != EStage::CrossDevice) {
    KillWhenAsked();
  }
  return true;
}

std::uint64_t CFileWriteFaults::WriteAllowance(std::uint64_t written) {
  if (!Armed(EStage::Write)) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  const std::uint64_t limit = g_afterBytes.load();
  if (written < limit) {
    return limit - written;
  }
  KillWhenAsked();
  return 0;
}
