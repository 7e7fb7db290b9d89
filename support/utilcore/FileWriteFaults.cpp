#include "utilcore/FileWriteFaults.h"

#include <atomic>

namespace {
std::atomic<unsigned> g_stages{0}; // one bit per stage
std::atomic<std::uint64_t> g_afterBytes{0};

unsigned Bit(CFileWriteFaults::EStage stage) {
  return stage == CFileWriteFaults::EStage::None ? 0U : 1U << static_cast<unsigned>(stage);
}
} // namespace

void CFileWriteFaults::Inject(EStage stage, std::uint64_t afterBytes) {
  if (stage == EStage::Write) {
    g_afterBytes.store(afterBytes);
  }
  g_stages.fetch_or(Bit(stage));
}

void CFileWriteFaults::Clear() {
  g_stages.store(0);
}

bool CFileWriteFaults::Fails(EStage stage) {
  return (g_stages.load(std::memory_order_relaxed) & Bit(stage)) != 0;
}

std::uint64_t CFileWriteFaults::WriteAllowance(std::uint64_t written) {
  if (!Fails(EStage::Write)) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  const std::uint64_t limit = g_afterBytes.load();
  return written < limit ? limit - written : 0;
}
