#pragma once

#include <cstdint>
#include <limits>

/// Failure injection for the file writers, for tests only: tests run as root, where
/// permissions never make a write fail. Injected faults add up and stay until Clear().
class CFileWriteFaults {
public:
  enum class EStage : std::uint8_t {
    None,
    Open,       ///< creating the temporary file fails
    Write,      ///< writing fails once the given number of bytes is written
    Sync,       ///< flushing the temporary file to disk fails
    Rename,     ///< renaming the temporary file over the target fails
    CrossDevice ///< a move's rename reports that source and target are on two file systems
  };

  static void Inject(EStage stage, std::uint64_t afterBytes = 0);
  static void Clear();

  /// Whether `stage` is to fail now.
  static bool Fails(EStage stage);
  /// How many more bytes may be written when writing already wrote `written` bytes.
  static std::uint64_t WriteAllowance(std::uint64_t written);
};
