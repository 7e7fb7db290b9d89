#pragma once

#include "diskfiles/DiskFileList.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

/// A project's files: every entry that the collector adds is a CHTMLFile waiting to be
/// checked.
class CHTMLFileList : public CDiskFileList {
public:
  CHTMLFileList();
  ~CHTMLFileList() override;

  /// Marks every CHTMLFile pending. Takes reader access.
  void MarkAllPending();
  /// The full path of the entry at the 0-based `index`; empty when there is none.
  /// Takes reader access.
  std::string FullPathAt(int index) const;

protected:
  std::unique_ptr<CDiskFile> CreateDiskFile(std::string_view fullPath) override;
};
