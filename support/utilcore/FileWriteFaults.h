#pragma once

#include <cstdint>
#include <limits>

/// Failure injection for the file writers, for tests only: tests run as root, where
/// permissions never make a write fail. Injected faults add up and stay until Clear().
class CFileWriteFaults {
public:
  enum class EStage : std::uint8_t {
    None,
    Open,        ///< creating the temporary file fails
    Write,       ///< writing fails once the given number of bytes is written
    Sync,        ///< flushing the temporary file to disk fails
    Rename,      ///< renaming the temporary file over the target fails
    CrossDevice, ///< a move's rename reports that source and target are on two file systems
    Kill         ///< an injected Open, Write, Sync or Rename fault kills the process instead
  };

  static void Inject(EStage stage, std::uint64_t afterBytes = 0);
  /// The next `count` files opened for writing are written without faults (a backup
  /// made before the file a test aims at, say).
  static void SpareFiles(unsigned count);
  static void Clear();

  /// Called as a write of a new file starts: decides whether this file is spared.
  static void StartFile();
  /// Whether `stage` is to fail now. With Kill injected, a failing stage does not return.
  static bool Fails(EStage stage);
  /// How many more bytes may be written when writing already wrote `written` bytes.
  static std::uint64_t WriteAllowance(std::uint64_t written);
};
