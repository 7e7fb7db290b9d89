#include "utilcore/FileWriteFaults.h"

#include <atomic>

namespace {
std::atomic<CFileWriteFaults::EStage> g_stage{CFileWriteFaults::EStage::None};
std::atomic<std::uint64_t> g_afterBytes{0};
} // namespace

void CFileWriteFaults::Inject(EStage stage, std::uint64_t afterBytes) {
  g_afterBytes.store(afterBytes);
  g_stage.store(stage);
}

void CFileWriteFaults::Clear() {
  g_stage.store(EStage::None);
}

bool CFileWriteFaults::Fails(EStage stage) {
  return stage != EStage::None && g_stage.load(std::memory_order_relaxed) == stage;
}

std::uint64_t CFileWriteFaults::WriteAllowance(std::uint64_t written) {
  if (!Fails(EStage::Write)) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  const std::uint64_t limit = g_afterBytes.load();
  return written < limit ? limit - written : 0;
}
