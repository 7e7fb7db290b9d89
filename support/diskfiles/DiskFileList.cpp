#include "diskfiles/DiskFileList.h"

#include "mtcore/WriterAccess.h"

#include <algorithm>

namespace {
/// Folder and name are hashed apart and combined, so that an entry (which keeps them
/// apart) and a full path (split at its last "/") hash alike without building strings.
std::size_t HashParts(std::string_view folder, std::string_view name) {
  const std::hash<std::string_view> hash;
  return hash(folder) * 31 + hash(name);
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(const CDiskFile& file, std::string_view path) {
  const std::string& folder = file.GetPath();
  const std::string& name = file.GetName();
  if (path.size() != folder.size() + name.size()) {
    return false;
  }
  const auto same = [](char a, char b) { return AsciiLower(a) == AsciiLower(b); };
  return std::equal(folder.begin(), folder.end(), path.begin(), same) &&
         std::equal(name.begin(), name.end(),
                    path.begin() + static_cast<std::ptrdiff_t>(folder.size()), same);
}

} // namespace

std::size_t CDiskFileList::PathHash::operator()(std::string_view fullPath) const {
  const std::size_t slash = fullPath.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  return HashParts(fullPath.substr(0, nameStart), fullPath.substr(nameStart));
}

std::size_t CDiskFileList::PathHash::operator()(const CDiskFile* file) const {
  return HashParts(file->GetPath(), file->GetName());
}

CDiskFileList::CDiskFileList() = default;

CDiskFileList::~CDiskFileList() {
  RemoveAllLocked();
}

CDiskFile* CDiskFileList::GetNext(POSITION& position) const {
  CDiskFile* file = GetAt(position);
  position = (file != nullptr && position < m_files.size()) ? position + 1 : 0;
  return file;
}

CDiskFile* CDiskFileList::GetAt(POSITION position) const {
  return (position == 0 || position > m_files.size()) ? nullptr : m_files[position - 1].get();
}

CDiskFile* CDiskFileList::Find(std::string_view fullPath, bool ignoreCase) const {
  if (ignoreCase) {
    const auto found = std::find_if(m_files.begin(), m_files.end(), [&](const auto& file) {
      return EqualsNoCase(*file, fullPath);
    });
    return found == m_files.end() ? nullptr : found->get();
  }
  const auto found = m_index.find(fullPath);
  return found == m_index.end() ? nullptr : *found;
}

CDiskFile* CDiskFileList::Add(std::string_view fullPath) {
  const CWriterAccess access(m_lock);
  return AddLocked(fullPath);
}

bool CDiskFileList::Remove(std::string_view fullPath) {
  const CWriterAccess access(m_lock);
  const auto found = m_index.find(fullPath);
  if (found == m_index.end()) {
    return false;
  }
  const CDiskFile* target = *found;
  RemoveIfLocked([target](const CDiskFile& file) { return &file == target; });
  return true;
}

void CDiskFileList::RemoveAll() {
  const CWriterAccess access(m_lock);
  RemoveAllLocked();
}

std::unique_ptr<CDiskFile> CDiskFileList::CreateDiskFile(std::string_view fullPath) {
  return std::make_unique<CDiskFile>(fullPath);
}

CDiskFile* CDiskFileList::AddLocked(std::string_view fullPath) {
  if (const auto found = m_index.find(fullPath); found != m_index.end()) {
    return *found;
  }
  std::unique_ptr<CDiskFile> file = CreateDiskFile(fullPath);
  if (!file) {
    return nullptr;
  }
  CDiskFile* added = file.get();
  m_files.push_back(std::move(file));
  m_index.insert(added);
  return added;
}

void CDiskFileList::ReserveLocked(std::size_t more) {
  m_files.reserve(m_files.size() + more);
  m_index.reserve(m_files.size() + more);
}

void CDiskFileList::RemoveIfLocked(const std::function<bool(const CDiskFile&)>& remove) {
  bool removedAny = false;
  for (auto& file : m_files) {
    if (remove(*file)) {
      m_index.erase(file.get());
      file.reset();
      removedAny = true;
    }
  }
  if (removedAny) {
    std::erase(m_files, nullptr);
  }
}

void CDiskFileList::RemoveAllLocked() {
  m_index.clear();
  m_files.clear();
}
