#pragma once

#include <memory>
#include <string>
#include <string_view>

/// The page of a set of locations: its folder and name, held once and shared by every
/// location recorded from it, so that a large site's findings carry no copy of them.
/// Never changed once made.
class CBadWordFile {
public:
  CBadWordFile(std::string_view directory, std::string_view fileName)
      : m_directory(directory), m_fileName(fileName) {}

  static std::shared_ptr<const CBadWordFile> Make(std::string_view directory,
                                                  std::string_view fileName) {
    return std::make_shared<const CBadWordFile>(directory, fileName);
  }

  const std::string& GetDirectory() const { return m_directory; }
  const std::string& GetFileName() const { return m_fileName; }
  bool Is(std::string_view directory, std::string_view fileName) const {
    return m_directory == directory && m_fileName == fileName;
  }

private:
  std::string m_directory; ///< ending in "/"
  std::string m_fileName;  ///< with extension
};
