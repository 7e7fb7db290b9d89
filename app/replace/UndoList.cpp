#include "replace/UndoList.h"

#include <utility>

void CUndoList::AddHead(std::unique_ptr<CUndoReplace> entry) {
  if (entry) {
    m_entries.push_front(std::move(entry));
  }
}

std::unique_ptr<CUndoReplace> CUndoList::RemoveHead() {
  if (m_entries.empty()) {
    return nullptr;
  }
  std::unique_ptr<CUndoReplace> head = std::move(m_entries.front());
  m_entries.pop_front();
  return head;
}

CUndoReplace* CUndoList::GetHead() const {
  return m_entries.empty() ? nullptr : m_entries.front().get();
}

void CUndoList::RewriteBackupPaths(const std::string& oldFolder, const std::string& newFolder) {
  for (const auto& entry : m_entries) {
    entry->RewriteBackupPaths(oldFolder, newFolder);
  }
}
