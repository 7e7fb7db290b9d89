#include "utilcore/ZebUtils.h"

#include "utilcore/DirUtils.h"
#include "utilcore/ExeUtils.h"

std::string CZebUtils::GetCustomDictionaryPath() {
  const std::string appData = CDirUtils::GetSpecialFolder(CDirUtils::kApplicationData);
  if (appData.empty()) {
    return {};
  }
  std::string folder = appData + "ZEB/Custom Dictionaries/";
  // A folder that cannot be made shows later, when its files cannot be written.
  CDirUtils::CreateDirectoryA(folder);
  return folder;
}

bool CZebUtils::LaunchWebSite() {
  std::string error;
  return CExeUtils::ShellLaunchApp(kWebSite, "", "", true, 0, CExeUtils::kShowNormal, error);
}
