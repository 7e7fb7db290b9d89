#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

/// The page of a set of locations: its folder and name, held once and shared by every
/// location recorded from it, so that a large site's findings carry no copy of them.
/// It also holds the excerpts of those locations back to back, each location keeping
/// only where its own lies: one block for a page's excerpts instead of one each.
/// Folder and name never change; excerpts are only appended (under the lock of the
/// list that records them), so a location's excerpt stays where it was put.
class CBadWordFile {
public:
  /// Where an excerpt lies in the file's excerpt bytes.
  struct SExcerpt {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };

  CBadWordFile(std::string_view directory, std::string_view fileName)
      : m_directory(directory), m_fileName(fileName) {}

  static std::shared_ptr<CBadWordFile> Make(std::string_view directory, std::string_view fileName) {
    return std::make_shared<CBadWordFile>(directory, fileName);
  }

  const std::string& GetDirectory() const { return m_directory; }
  const std::string& GetFileName() const { return m_fileName; }
  bool Is(std::string_view directory, std::string_view fileName) const {
    return m_directory == directory && m_fileName == fileName;
  }

  /// Room for `bytes` more excerpt bytes, so a page's excerpts take one exact block.
  void ReserveExcerpts(std::size_t bytes) { m_excerpts.reserve(m_excerpts.size() + bytes); }
  /// Appends an excerpt and tells where it lies.
  SExcerpt AddExcerpt(std::string_view text) {
    const SExcerpt added{static_cast<std::uint32_t>(m_excerpts.size()),
                         static_cast<std::uint32_t>(text.size())};
    m_excerpts.append(text);
    return added;
  }
  std::string_view GetExcerpt(SExcerpt excerpt) const {
    return std::string_view(m_excerpts).substr(excerpt.offset, excerpt.length);
  }

private:
  std::string m_directory; ///< ending in "/"
  std::string m_fileName;  ///< with extension
  std::string m_excerpts;
};
