#pragma once

#include "utilcore/StorageException.h"

#include <string>

/// A file that cannot be opened, read or written.
class CFileException : public CStorageException {
public:
  using CStorageException::CStorageException;

  /// The exception for a failed system call: the message is the text of `errorCode`
  /// (0: the current errno), so it must be built before anything else changes errno.
  static CFileException FromErrno(std::string fileName, int errorCode = 0);
};
