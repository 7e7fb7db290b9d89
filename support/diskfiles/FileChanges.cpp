#include "diskfiles/FileChanges.h"

#include <cstdint>
#include <map>

namespace {
enum : std::uint8_t { kAdded = 1, kModified = 2, kRemoved = 4 };
} // namespace

void CFileChanges::Merge(CFileChanges&& later) {
  if (IsEmpty()) {
    *this = std::move(later);
    return;
  }
  std::map<std::string, std::uint8_t> state;
  for (auto& path : added) {
    state[std::move(path)] |= kAdded;
  }
  for (auto& path : modified) {
    state[std::move(path)] |= kModified;
  }
  for (auto& path : removed) {
    state[std::move(path)] |= kRemoved;
  }
  for (auto& path : later.removed) {
    auto& bits = state[std::move(path)];
    bits = static_cast<std::uint8_t>((bits & ~(kAdded | kModified)) | kRemoved);
  }
  for (auto& path : later.added) {
    auto& bits = state[std::move(path)];
    bits = static_cast<std::uint8_t>((bits & ~kModified) | kAdded);
  }
  for (auto& path : later.modified) {
    auto& bits = state[std::move(path)];
    if ((bits & kAdded) == 0) {
      bits |= kModified;
    }
  }
  added.clear();
  modified.clear();
  removed.clear();
  for (const auto& [path, bits] : state) {
    if ((bits & kRemoved) != 0) {
      removed.push_back(path);
    }
    if ((bits & kAdded) != 0) {
      added.push_back(path);
    }
    if ((bits & kModified) != 0) {
      modified.push_back(path);
    }
  }
}
