#include "projects/DocSettings.h"

#include "utilcore/DirUtils.h"

std::string CDocSettings::GetDefaultProjectDataDirectory() {
  const std::string appData = CDirUtils::GetSpecialFolder(CDirUtils::kApplicationData);
  return appData.empty() ? std::string() : appData + "Pagelint/";
}
