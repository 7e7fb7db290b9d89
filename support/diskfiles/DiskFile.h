#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// One file on disk, known by its full path. Lists of files derive their own entry
/// types from it; the collector keeps the size and modification time it last saw.
class CDiskFile {
public:
  /// Size and modification time of an entry that no collection pass has seen yet.
  static constexpr std::int64_t UNKNOWN = -1;

  explicit CDiskFile(std::string_view fullPath);
  virtual ~CDiskFile();
  CDiskFile(const CDiskFile&) = delete;
  CDiskFile& operator=(const CDiskFile&) = delete;

  /// The folder, ending in "/" (empty for a bare name).
  const std::string& GetPath() const { return m_path; }
  const std::string& GetName() const { return m_name; }
  std::string GetFullPath() const;
  /// Whether GetPath() + GetName() equals `fullPath`, without building the full path.
  bool HasFullPath(std::string_view fullPath) const;

  /// Size in bytes when last collected, or UNKNOWN.
  std::int64_t GetSize() const { return m_size; }
  /// Modification time in nanoseconds since the epoch when last collected, or UNKNOWN.
  std::int64_t GetModifiedTime() const { return m_modified; }
  void SetState(std::int64_t size, std::int64_t modified);

private:
  std::string m_path;
  std::string m_name;
  std::int64_t m_size = UNKNOWN;
  std::int64_t m_modified = UNKNOWN;
};
