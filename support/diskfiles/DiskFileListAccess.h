#pragma once

#include "diskfiles/DiskFileList.h"
#include "mtcore/ReaderAccess.h"

/// Holds reader access to a file list for the scope of the object.
class CDiskFileListAccess {
public:
  explicit CDiskFileListAccess(const CDiskFileList& list) : m_access(list.GetLock()) {}

private:
  CReaderAccess m_access;
};
