#include "utilcore/SystemUtils.h"

#include <cerrno>
#include <cstring>

std::string CSystemUtils::GetLastError(int errorCode) {
  const int code = errorCode != 0 ? errorCode : errno;
  // strerrordesc_np is thread-safe and independent of the locale, unlike strerror.
  const char* text = ::strerrordesc_np(code);
  if (text == nullptr) {
    return "Unknown error " + std::to_string(code);
  }
  return text;
}
