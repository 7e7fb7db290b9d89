#include "utilcore/FileError.h"

#include <system_error>

std::string CFileError::Describe(std::string_view action, std::string_view path, int errnum) {
  return Describe(action, path, std::generic_category().message(errnum));
}

std::string CFileError::Describe(std::string_view action, std::string_view path,
                                 std::string_view reason) {
  std::string text = "cannot ";
  text.append(action).append(" \"").append(path).append("\": ").append(reason);
  return text;
}
