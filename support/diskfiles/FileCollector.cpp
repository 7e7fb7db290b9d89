#include "diskfiles/FileCollector.h"

#include "mtcore/WriterAccess.h"

#include <algorithm>
#include <new>

const UINT CFileCollector::MSG_FC_BEGIN =
    RegisterWindowMessageA("5E3B1C52-8E0D-4C1B-9F67-2B0A1D9C4E10");
const UINT CFileCollector::MSG_FC_DONE =
    RegisterWindowMessageA("A7C2D9F4-3B61-4E8A-B5D0-6F1E2C7A9B83");

namespace {
bool StartsWithAny(const CDiskFile& file, const std::vector<std::string>& folders) {
  return std::any_of(folders.begin(), folders.end(),
                     [&](const std::string& folder) { return file.GetPath().starts_with(folder); });
}
} // namespace

CFileCollector::CFileCollector(std::string_view root, bool recursive,
                               const std::vector<std::string>& extensions,
                               const std::vector<std::string>& exclusions, CDiskFileList* list,
                               HWND window, LPARAM lParam, bool startNow)
    : m_list(list), m_window(window), m_lParam(lParam), m_recursive(recursive),
      m_extensions(extensions), m_exclusions(exclusions), m_root(root), m_refresh(startNow) {
  if (m_list != nullptr) {
    m_valid = Start([this] { Run(); });
  }
}

CFileCollector::~CFileCollector() {
  StopAndJoin();
}

void CFileCollector::SetDir(std::string_view root) {
  const std::lock_guard guard(m_mutex);
  m_root = root;
}

void CFileCollector::Refresh() {
  {
    const std::lock_guard guard(m_mutex);
    m_refresh = true;
  }
  m_wake.notify_one();
}

void CFileCollector::OnStopRequested() {
  // Taking the mutex orders the stop before the waiter's next look at its condition.
  { const std::lock_guard guard(m_mutex); }
  m_wake.notify_all();
}

CFileChanges CFileCollector::TakeChanges() {
  const std::lock_guard guard(m_mutex);
  return std::exchange(m_changes, CFileChanges());
}

std::vector<CDirScan::Skipped> CFileCollector::GetSkipped() const {
  const std::lock_guard guard(m_mutex);
  std::vector<CDirScan::Skipped> skipped = m_skipped;
  if (m_outOfMemory) {
    skipped.push_back({m_passRoot, CDirScan::SkipReason::OutOfMemory, {}});
  }
  return skipped;
}

bool CFileCollector::WaitForRequest(std::string& root) {
  std::unique_lock lock(m_mutex);
  m_wake.wait(lock, [this] { return m_refresh || IsStopped(); });
  if (IsStopped()) {
    return false;
  }
  m_refresh = false;
  root = m_root;
  m_passRoot = m_root;
  return true;
}

void CFileCollector::Run() {
  const std::function<bool()> stopRequested = [this] { return IsStopped(); };
  std::string root;
  for (;;) {
    try {
      if (!WaitForRequest(root)) {
        return;
      }
      PostMessage(m_window, MSG_FC_BEGIN, 0, m_lParam);
      if (!Pass(root, stopRequested)) {
        return;
      }
    } catch (const std::bad_alloc&) {
      // The pass ends, not the thread: whoever waits for the list hears that it is done,
      // and GetSkipped says the root was not walked whole.
      const std::lock_guard guard(m_mutex);
      m_outOfMemory = true;
    }
    PostMessage(m_window, MSG_FC_DONE, 0, m_lParam);
  }
}

bool CFileCollector::Pass(const std::string& root, const std::function<bool()>& stopRequested) {
  CDirScan scan(root, m_recursive, m_extensions, m_exclusions);
  if (!scan.Run(stopRequested)) {
    return false;
  }
  CFileChanges changes;
  Merge(scan, changes);
  const std::lock_guard guard(m_mutex);
  m_changes.Merge(std::move(changes));
  m_skipped = scan.GetSkipped();
  m_outOfMemory = false;
  return true;
}

void CFileCollector::Merge(CDirScan& scan, CFileChanges& changes) {
  std::vector<CDirScan::Entry> files = scan.TakeFiles();
  const auto& kept = scan.GetKeptFolders();
  // The entries the pass saw, sorted by address: what is not among them is gone.
  std::vector<const CDiskFile*> seen;
  seen.reserve(files.size());
  const CWriterAccess access(m_list->GetLock());
  m_list->ReserveLocked(files.size());
  for (auto& entry : files) {
    CDiskFile* file = m_list->Find(entry.path, false);
    if (file == nullptr) {
      file = m_list->AddLocked(entry.path);
      if (file == nullptr) {
        continue;
      }
      changes.added.push_back(std::move(entry.path));
    } else if (file->GetSize() != entry.size || file->GetModifiedTime() != entry.modified) {
      changes.modified.push_back(std::move(entry.path));
    }
    file->SetState(entry.size, entry.modified);
    seen.push_back(file);
  }
  std::sort(seen.begin(), seen.end());
  m_list->RemoveIfLocked([&](const CDiskFile& file) {
    if (std::binary_search(seen.begin(), seen.end(), &file) || StartsWithAny(file, kept)) {
      return false;
    }
    changes.removed.push_back(file.GetFullPath());
    return true;
  });
  std::sort(changes.removed.begin(), changes.removed.end());
}
