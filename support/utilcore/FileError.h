#pragma once

#include <string>
#include <string_view>

/// Error texts of file operations, e.g. `cannot read "/a/b.txt": Permission denied`.
class CFileError {
public:
  static std::string Describe(std::string_view action, std::string_view path, int errnum);
  static std::string Describe(std::string_view action, std::string_view path,
                              std::string_view reason);
};
