#pragma once

#include "diskfiles/DiskFile.h"

#include <atomic>
#include <string_view>

/// A file of a project, with the flag that says it must be (re)checked. The flag is
/// set by the collector's pass and the user interface thread and cleared by the check
/// worker, so it is atomic.
class CHTMLFile : public CDiskFile {
public:
  explicit CHTMLFile(std::string_view fullPath, bool checkPending = true);
  ~CHTMLFile() override;

  bool IsCheckPending() const { return m_checkPending.load(std::memory_order_acquire); }
  void SetCheckPending(bool pending) { m_checkPending.store(pending, std::memory_order_release); }

private:
  std::atomic<bool> m_checkPending;
};
