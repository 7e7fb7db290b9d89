#pragma once

#include <cstdint>
#include <string_view>

/// The size and a 64-bit FNV-1a hash of some bytes: enough to tell whether a file still
/// holds what this program wrote to it, without keeping a copy.
struct CContentFingerprint {
  std::uint64_t size = 0;
  std::uint64_t hash = 0;

  bool operator==(const CContentFingerprint&) const = default;

  static CContentFingerprint Of(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
      hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    return {bytes.size(), hash};
  }
};
