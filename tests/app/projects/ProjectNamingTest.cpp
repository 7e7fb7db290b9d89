#include "projects/ProjectNaming.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What each name becomes on disk: the characters no file name holds turn into "_", and
// a data file or backup folder is never hidden.
TEST(ProjectNaming, ANameGivesItsDataFileAndIgnoreDictionary) {
  const struct {
    std::string name;
    std::string dataFile;
    std::string ignoreDictionary;
  } cases[] = {
      {"My Site", "My Site.plx", "My Site Ignore"},
      {"a/b:c", "a_b_c.plx", "a_b_c Ignore"},
      {"What? \"Me\"", "What_ _Me_.plx", "What_ _Me_ Ignore"},
      {".hidden", "_hidden.plx", ".hidden Ignore"},
      {"..", "__.plx", ".. Ignore"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CProjectNaming::DataFileName(c.name), c.dataFile) << c.name;
    EXPECT_EQ(CProjectNaming::FileStem(c.name) + ".plx", c.dataFile) << c.name;
    EXPECT_EQ(CProjectNaming::IgnoreDictionaryName(c.name), c.ignoreDictionary) << c.name;
    EXPECT_TRUE(CProjectNaming::IsIgnoreDictionaryName(c.ignoreDictionary)) << c.name;
    EXPECT_TRUE(CProjectNaming::IsDataFilePath("/data/" + c.dataFile)) << c.name;
  }
  EXPECT_FALSE(CProjectNaming::IsDataFilePath("/data/"));
  EXPECT_FALSE(CProjectNaming::IsIgnoreDictionaryName("Ignored"));
}

TEST(ProjectNaming, NamesCollideWhenTheyWouldShareAFile) {
  const struct {
    std::string name;
    std::string other;
    bool collide;
  } cases[] = {
      {"Shop", "Shop", true},
      {"a/b", "a_b", true},
      {"x:y", "x?y", true},
      {".a", "_a", true},
      {"Shop", "shop", false},
      {"a-b", "a/b", false},
      {"Shop", "Shop ", false},
      // Two data files ("_..plx", "__.plx") but one ignore dictionary ("_. Ignore").
      {"_.", ":.", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CProjectNaming::Collide(c.name, c.other), c.collide) << c.name << " " << c.other;
    EXPECT_EQ(CProjectNaming::Collide(c.other, c.name), c.collide) << c.other << " " << c.name;
  }
}

} // namespace
