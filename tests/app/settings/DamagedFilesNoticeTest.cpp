#include "settings/DamagedFilesNotice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kSettings = "/h/.config/Pagelint/Pagelint.settings";
const std::string kLog = "/h/.config/Pagelint/Pagelint.log";
const std::string kSetAside = "The settings file \"" + kSettings +
                              "\" is damaged, and Pagelint starts with the default settings. ";
const std::string kOneProject =
    "This project data file could not be read, so its project is not listed. It is left "
    "where it is, to be mended or removed by hand:";
const std::string kProjects =
    "These project data files could not be read, so their projects are not listed. They are "
    "left where they are, to be mended or removed by hand:";

std::vector<std::string> DataFiles(int count) {
  std::vector<std::string> files;
  for (int i = 0; i < count; ++i) {
    files.push_back("/h/.config/Pagelint/p" + std::to_string(i) + ".plx");
  }
  return files;
}

// One message names every file and what became of it; past ten project files the rest
// are counted, and the log is named last when there is one.
TEST(DamagedFilesNotice, NamesEachFileAndWhatBecameOfIt) {
  const CAppSettings::SDamagedFile none;
  const CAppSettings::SDamagedFile keptAside{kSettings, kSettings + ".bad"};
  const CAppSettings::SDamagedFile notMoved{kSettings, ""};
  std::string twelve = kProjects;
  for (const std::string& file : DataFiles(10)) {
    twelve += "\n" + file;
  }
  twelve += "\nand 2 more in the same folder";
  const struct {
    const char* what;
    CAppSettings::SDamagedFile settings;
    int projects;
    std::string log;
    std::string text; ///< "" when there is nothing to tell
  } cases[] = {
      {"nothing", none, 0, kLog, ""},
      {"settings set aside", keptAside, 0, kLog,
       kSetAside + "It has been set aside as \"" + kSettings + ".bad\".\n\nThe log \"" + kLog +
           "\" says what was wrong."},
      {"settings not moved", notMoved, 0, "",
       kSetAside + "It could not be set aside and will be replaced when Pagelint closes."},
      {"one project", none, 1, "", kOneProject + "\n" + DataFiles(1)[0]},
      {"twelve projects", none, 12, "", twelve},
      {"both", keptAside, 2, kLog,
       kSetAside + "It has been set aside as \"" + kSettings + ".bad\".\n\n" + kProjects + "\n" +
           DataFiles(2)[0] + "\n" + DataFiles(2)[1] + "\n\nThe log \"" + kLog +
           "\" says what was wrong."},
  };
  for (const auto& c : cases) {
    const CDamagedFilesNotice notice(c.settings, DataFiles(c.projects), c.log);
    EXPECT_EQ(notice.IsEmpty(), c.text.empty()) << c.what;
    EXPECT_EQ(notice.GetText(), c.text) << c.what;
  }
}

} // namespace
