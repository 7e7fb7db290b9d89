#include "dictionaries/HunspellFinder.h"

#include "speller/dictionaries/HunspellSamples.h"

#include "testkit/LogCapture.h"
#include "testkit/ScopedEnv.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Folders = CHunspellFinder::EMissingFolders;
using hunspelltest::kEnglishAff;
using hunspelltest::kEnglishDic;

constexpr const char* kLogUnpaired = "{A6C458C2-5701-401A-B07B-3B953F92B6C1}";
constexpr const char* kLogFolder = "{56346047-73BE-4DD7-A98C-988424520283}";
constexpr const char* kLogNotAFile = "{3F37BC7A-383E-42CF-869F-4F28FC67CC08}";

struct SRow {
  std::string name;
  std::string tag;
  std::string language;
  std::string dicPath;
  bool operator==(const SRow&) const = default;
};

std::vector<SRow> Rows(const std::vector<SHunspellFile>& files) {
  std::vector<SRow> rows;
  for (const SHunspellFile& file : files) {
    rows.push_back({file.name, file.tag, file.language, file.dicPath});
  }
  return rows;
}

void PrintTo(const SRow& row, std::ostream* out) {
  *out << row.name << " | " << row.tag << " | " << row.language << " | " << row.dicPath;
}

TEST(HunspellFinderTest, NamesLanguagesInEnglishWithTheirTags) {
  const struct {
    std::string stem;
    std::string tag;
    std::string language;
    std::string name;
  } cases[] = {
      {"en_GB", "en_GB", "en_GB", "English (United Kingdom) en_GB"},
      {"en-GB", "en_GB", "en_GB", "English (United Kingdom) en_GB"},
      {"de_DE", "de_DE", "de_DE", "German (Germany) de_DE"},
      {"de_DE_frami", "de_DE_frami", "de_DE", "German (Germany, FRAMI) de_DE_frami"},
      {"sr_Latn_RS", "sr_Latn_RS", "sr_Latn_RS", "Serbian (Latin, Serbia) sr_Latn_RS"},
      {"fr", "fr", "fr", "French fr"},
      {"en_US-large", "en_US_large", "en_US", "English (United States, LARGE) en_US_large"},
      // No language ICU knows: the tag alone.
      {"xq_QQ", "xq_QQ", "xq_QQ", "xq_QQ"},
      {"hyph_de_DE", "hyph_de_DE", "", "hyph_de_DE"},
      {"words", "words", "", "words"},
  };
  for (const auto& c : cases) {
    SHunspellFile file;
    CHunspellFinder::Describe(c.stem, file);
    EXPECT_EQ(file.tag, c.tag) << c.stem;
    EXPECT_EQ(file.language, c.language) << c.stem;
    EXPECT_EQ(file.name, c.name) << c.stem;
  }
}

TEST(HunspellFinderTest, KeepsOnePairPerRealFileAndPerName) {
  const ScopedTempDir user;
  const ScopedTempDir system;
  hunspelltest::WriteSamples(system.Path());
  // Aliases: "en-GB" and "en_IE" are links to en_GB, whose real name wins; "de_BE"
  // and "de_LU" only link to de_DE.
  for (const char* extension : {".aff", ".dic"}) {
    fs::create_symlink(std::string("en_GB") + extension, system.Sub("en-GB") + extension);
    fs::create_symlink(std::string("en_GB") + extension, system.Sub("en_IE") + extension);
    fs::create_symlink(std::string("de_DE") + extension, system.Sub("de_LU") + extension);
  }
  // The user's own en_GB shadows the system's; a link in the user's folder to the
  // system's de_DE is the same real file as the system's de_DE.
  hunspelltest::WritePair(user.Path(), "en_GB", kEnglishAff, kEnglishDic);
  fs::create_symlink(system.Sub("de_DE.aff"), user.Sub("de_AT.aff"));
  fs::create_symlink(system.Sub("de_DE.dic"), user.Sub("de_AT.dic"));

  const LogCapture log;
  const std::vector<SHunspellFile> found =
      CHunspellFinder::Find({user.Path(), system.Path()}, Folders::kLogged);
  EXPECT_EQ(Rows(found),
            (std::vector<SRow>{
                {"English (United Kingdom) en_GB", "en_GB", "en_GB", user.Sub("en_GB.dic")},
                {"German (Germany) de_DE", "de_DE", "de_DE", system.Sub("de_DE.dic")},
            }));
  EXPECT_EQ(found.front().affPath, user.Sub("en_GB.aff"));
  EXPECT_EQ(log.Lines(), std::vector<std::string>{});
}

TEST(HunspellFinderTest, HalfPairsBrokenLinksAndMissingFoldersAreLoggedAndLeftOut) {
  const ScopedTempDir folder;
  hunspelltest::WritePair(folder.Path(), "en_GB", kEnglishAff, kEnglishDic);
  testkit::WriteBytes(folder.Sub("fr_FR.dic"), "1\nbonjour\n");
  testkit::WriteBytes(folder.Sub("it_IT.aff"), "SET UTF-8\n");
  fs::create_symlink("gone.dic", folder.Sub("nl_NL.dic"));
  testkit::WriteBytes(folder.Sub("nl_NL.aff"), "SET UTF-8\n");
  fs::create_directory(folder.Sub("pt_PT.dic"));
  testkit::WriteBytes(folder.Sub("README.txt"), "not a dictionary\n");
  const std::string missing = folder.Sub("missing");

  const LogCapture log;
  const std::vector<SHunspellFile> found =
      CHunspellFinder::Find({folder.Path(), missing}, Folders::kLogged);
  ASSERT_EQ(found.size(), 1U);
  EXPECT_EQ(found[0].tag, "en_GB");
  std::vector<std::string> lines = log.Lines();
  std::sort(lines.begin(), lines.end());
  const std::string dash = " - ";
  // One line each: nl_NL's .aff is not blamed for its broken .dic.
  std::vector<std::string> expected{
      kLogFolder + dash + missing + " - No such file or directory",
      kLogNotAFile + dash + folder.Sub("nl_NL.dic") + " - No such file or directory",
      kLogNotAFile + dash + folder.Sub("pt_PT.dic") + " - not a regular file",
      kLogUnpaired + dash + folder.Sub("fr_FR.dic") + " - no .aff file beside it",
      kLogUnpaired + dash + folder.Sub("it_IT.aff") + " - no .dic file beside it",
  };
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(lines, expected);

  // The default search names folders most desktops lack: those say nothing.
  const LogCapture quiet;
  EXPECT_TRUE(CHunspellFinder::Find({missing}, Folders::kSkipped).empty());
  EXPECT_EQ(quiet.Lines(), std::vector<std::string>{});
}

TEST(HunspellFinderTest, TheVariableReplacesTheDefaultFolders) {
  Folders missing = Folders::kSkipped;
  {
    const CScopedEnv given(CHunspellFinder::kPathVariable, "/one::/two/:");
    EXPECT_EQ(CHunspellFinder::SearchFolders(missing), (std::vector<std::string>{"/one", "/two/"}));
    EXPECT_EQ(missing, Folders::kLogged);
  }
  {
    const CScopedEnv none(CHunspellFinder::kPathVariable, "");
    EXPECT_TRUE(CHunspellFinder::SearchFolders(missing).empty());
  }
  std::vector<std::string> defaults;
  {
    // Unset for the while: the test runner sets it empty for every test.
    const CScopedEnv restored(CHunspellFinder::kPathVariable, "");
    unsetenv(CHunspellFinder::kPathVariable);
    defaults = CHunspellFinder::SearchFolders(missing);
  }
  EXPECT_EQ(missing, Folders::kSkipped);
  EXPECT_NE(std::find(defaults.begin(), defaults.end(), "/usr/share/hunspell"), defaults.end());
}

} // namespace
