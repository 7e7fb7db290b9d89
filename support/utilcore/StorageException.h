#pragma once

#include <exception>
#include <string>

/// Common base of the archive and file errors: what went wrong with which file, so
/// that a reader can catch one type and log " - <file> - <message>".
class CStorageException : public std::exception {
public:
  CStorageException(std::string fileName, std::string message);

  /// The file being read or written; empty when the bytes did not come from a file.
  const std::string& GetFileName() const noexcept { return m_fileName; }
  const std::string& GetMessage() const noexcept { return m_message; }
  const char* what() const noexcept override { return m_message.c_str(); }

private:
  std::string m_fileName;
  std::string m_message;
};
