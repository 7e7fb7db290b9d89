#include "projects/HTMLFileList.h"

#include "projects/HTMLFile.h"

#include "diskfiles/DiskFileListAccess.h"

CHTMLFileList::CHTMLFileList() = default;

CHTMLFileList::~CHTMLFileList() = default;

void CHTMLFileList::MarkAllPending() {
  CDiskFileListAccess access(*this);
  for (POSITION position = GetHeadPosition(); position != 0;) {
    if (auto* file = dynamic_cast<CHTMLFile*>(GetNext(position))) {
      file->SetCheckPending(true);
    }
  }
}

std::string CHTMLFileList::FullPathAt(int index) const {
  if (index < 0) {
    return {};
  }
  CDiskFileListAccess access(*this);
  const CDiskFile* file = GetAt(FindIndex(static_cast<std::size_t>(index)));
  return file == nullptr ? std::string() : file->GetFullPath();
}

std::unique_ptr<CDiskFile> CHTMLFileList::CreateDiskFile(std::string_view fullPath) {
  return std::make_unique<CHTMLFile>(fullPath, true);
}
