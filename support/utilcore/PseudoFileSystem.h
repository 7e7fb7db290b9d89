#pragma once

/// File systems that show kernel state rather than stored files (/proc, /sys, ...).
/// Walking them reads endless, changing or private data, so folder walks leave them out.
class CPseudoFileSystem {
public:
  /// The short name ("proc", "sysfs", ...) of the pseudo file system holding the open
  /// descriptor `fd` (an O_PATH descriptor will do), or nullptr when it holds ordinary
  /// files or cannot be asked.
  static const char* NameOf(int fd);
};
