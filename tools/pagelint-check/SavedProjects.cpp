#include "pagelint-check/SavedProjects.h"

#include "projects/DocSettings.h"
#include "projects/ProjectNaming.h"
#include "projects/WebProject.h"

#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <algorithm>

std::string CSavedProjects::GetDataDirectory() {
  return CDocSettings::GetDefaultProjectDataDirectory();
}

std::vector<CSavedProjects::Entry> CSavedProjects::List(const std::string& directory) {
  std::vector<Entry> entries;
  std::vector<std::string> files;
  if (directory.empty() || !CFileUtils::GetFileList(directory, {CProjectNaming::kDataFileExtension},
                                                    false, files, false, false, true)) {
    return entries;
  }
  for (const std::string& file : files) {
    const std::unique_ptr<CWebProject> project = Load(file);
    if (project == nullptr) {
      continue;
    }
    entries.push_back(Entry{project->GetName(), project->GetRootDirectory(), file});
    project->StopProject();
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return CStringUtils::CompareNoCase(a.name, b.name) < 0;
  });
  return entries;
}

const CSavedProjects::Entry* CSavedProjects::Find(const std::vector<Entry>& entries,
                                                  const std::string& name) {
  const Entry* folded = nullptr;
  int foldedCount = 0;
  for (const Entry& entry : entries) {
    if (entry.name == name) {
      return &entry;
    }
    if (CStringUtils::CompareNoCase(entry.name, name) == 0) {
      folded = &entry;
      ++foldedCount;
    }
  }
  return foldedCount == 1 ? folded : nullptr;
}

std::unique_ptr<CWebProject> CSavedProjects::Load(const std::string& dataFile) {
  auto project = std::make_unique<CWebProject>();
  project->SetDataPath(dataFile);
  if (!project->LoadProject()) {
    project->StopProject();
    return nullptr;
  }
  return project;
}
