#include "diskfiles/FileExtMgr.h"

#include "diskfiles/ExtensionSet.h"

FileExtMgr* FileExtMgr::GetInstance() {
  static FileExtMgr instance;
  return &instance;
}

std::string FileExtMgr::GetOpenerApp(std::string_view extension, bool ignoreCase) const {
  return Get(extension, ignoreCase, &Apps::opener);
}

std::string FileExtMgr::GetEditorApp(std::string_view extension, bool ignoreCase) const {
  return Get(extension, ignoreCase, &Apps::editor);
}

bool FileExtMgr::SetOpenerApp(std::string_view extension, std::string_view app, bool addIfMissing,
                              bool keepExisting) {
  return Set(extension, app, addIfMissing, keepExisting, &Apps::opener);
}

bool FileExtMgr::SetEditorApp(std::string_view extension, std::string_view app, bool addIfMissing,
                              bool keepExisting) {
  return Set(extension, app, addIfMissing, keepExisting, &Apps::editor);
}

void FileExtMgr::GetApplications(std::vector<std::string>& extensions, bool includeUnset) const {
  extensions.clear();
  const std::lock_guard guard(m_lock);
  for (const auto& [extension, apps] : m_apps) {
    if (includeUnset || !apps.opener.empty() || !apps.editor.empty()) {
      extensions.push_back(extension);
    }
  }
}

std::vector<FileExtMgr::SEntry> FileExtMgr::GetAll() const {
  std::vector<SEntry> entries;
  const std::lock_guard guard(m_lock);
  entries.reserve(m_apps.size());
  for (const auto& [extension, apps] : m_apps) {
    entries.push_back({extension, apps.opener, apps.editor});
  }
  return entries;
}

void FileExtMgr::RestoreAll(const std::vector<SEntry>& entries) {
  const std::lock_guard guard(m_lock);
  m_apps.clear();
  for (const SEntry& entry : entries) {
    std::string key = CExtensionSet::Normalize(entry.extension);
    if (!key.empty()) {
      m_apps[std::move(key)] = Apps{entry.opener, entry.editor};
    }
  }
}

void FileExtMgr::RemoveAll() {
  const std::lock_guard guard(m_lock);
  m_apps.clear();
}

std::string FileExtMgr::Get(std::string_view extension, bool ignoreCase,
                            std::string Apps::*app) const {
  const std::string key = ignoreCase ? CExtensionSet::Normalize(extension) : std::string(extension);
  const std::lock_guard guard(m_lock);
  const auto found = m_apps.find(key);
  return found == m_apps.end() ? std::string() : found->second.*app;
}

bool FileExtMgr::Set(std::string_view extension, std::string_view app, bool addIfMissing,
                     bool keepExisting, std::string Apps::*field) {
  std::string key = CExtensionSet::Normalize(extension);
  if (key.empty()) {
    return false;
  }
  const std::lock_guard guard(m_lock);
  auto found = m_apps.find(key);
  if (found == m_apps.end()) {
    if (!addIfMissing) {
      return false;
    }
    found = m_apps.emplace(std::move(key), Apps{}).first;
  } else if (keepExisting && !(found->second.*field).empty()) {
    return false;
  }
  found->second.*field = app;
  return true;
}
