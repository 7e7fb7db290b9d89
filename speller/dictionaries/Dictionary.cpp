#include "dictionaries/Dictionary.h"

bool CDictionary::EnsureLoaded() {
  if (IsLoaded()) {
    return true;
  }
  std::lock_guard lock(m_loadMutex);
  return IsLoaded() || Load();
}
