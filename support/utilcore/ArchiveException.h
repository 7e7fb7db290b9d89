#pragma once

#include "utilcore/StorageException.h"

/// A damaged or truncated archive, or a value the archive form cannot hold.
class CArchiveException : public CStorageException {
public:
  using CStorageException::CStorageException;
};
