#include "utilcore/FileException.h"

#include "utilcore/SystemUtils.h"

#include <utility>

CFileException CFileException::FromErrno(std::string fileName, int errorCode) {
  std::string message = CSystemUtils::GetLastError(errorCode);
  return CFileException(std::move(fileName), std::move(message));
}
