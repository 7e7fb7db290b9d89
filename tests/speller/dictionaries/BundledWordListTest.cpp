#include "dictionaries/BundledWordList.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* kLogMissing = "{A097B72A-B3B3-4590-BE99-1DCF32A4331A}";
constexpr const char* kLogRefused = "{CCB2C72D-A322-4A52-B722-2123D2B6B47C}";

class BundledWordListTest : public testing::Test {
protected:
  std::string Path(const std::string& name = "TechnicalTerms.txt") const { return m_dir.Sub(name); }

  ScopedTempDir m_dir;
};

TEST_F(BundledWordListTest, ReadsItsWordsAndIsNoUserWordList) {
  testkit::WriteBytes(Path(), "datatypes\nsubshell\n");
  CBundledWordList list(3, CBundledWordList::kTechnicalTermsName, Path());
  ASSERT_TRUE(list.EnsureLoaded());
  EXPECT_TRUE(list.Contains("Datatypes"));
  EXPECT_TRUE(list.Contains("SUBSHELL"));
  EXPECT_FALSE(list.Contains("subshel"));
  EXPECT_EQ(list.GetKind(), EDictionaryKind::kWordList);
  EXPECT_FALSE(list.IsCustom());
  EXPECT_TRUE(list.IsReadOnly());
  EXPECT_TRUE(list.GetLanguage().empty());
}

// However a caller tries to change it, neither the words nor the file change.
TEST_F(BundledWordListTest, EditsChangeNeitherTheWordsNorTheFile) {
  const std::string bytes = "datatypes\nsubshell\n";
  testkit::WriteBytes(Path(), bytes);
  CBundledWordList list(3, CBundledWordList::kTechnicalTermsName, Path());
  ASSERT_TRUE(list.EnsureLoaded());
  list.AddWord("teh");
  list.SetWords(TextArray{"recieve"});
  EXPECT_FALSE(list.Save());
  EXPECT_FALSE(list.Contains("teh"));
  EXPECT_FALSE(list.Contains("recieve"));
  EXPECT_TRUE(list.Contains("datatypes"));
  EXPECT_EQ(testkit::ReadBytes(Path()), bytes);
}

// A missing or damaged file: one log line, however often look-ups come, and an empty
// list that counts as loaded, so that no look-up waits for it or tries it again.
TEST_F(BundledWordListTest, AnUnreadableFileLeavesItEmptyWithOneLogLine) {
  const struct {
    const char* file;
    void (*make)(const std::string& path);
    std::string logged;
  } cases[] = {
      {"missing.txt", [](const std::string&) {},
       std::string(kLogMissing) + " - PATH - the shipped word list is missing"},
      {"binary.txt",
       [](const std::string& path) {
         testkit::WriteBytes(path, std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR word\n", 22));
       },
       std::string(kLogRefused) + " - PATH - binary file"},
      {"folder.txt", [](const std::string& path) { std::filesystem::create_directory(path); },
       std::string(kLogRefused) + " - PATH - Is a directory"},
  };
  for (const auto& c : cases) {
    const std::string path = Path(c.file);
    c.make(path);
    const LogCapture log;
    CBundledWordList list(3, CBundledWordList::kTechnicalTermsName, path);
    for (int attempt = 0; attempt < 3; ++attempt) {
      EXPECT_TRUE(list.EnsureLoaded()) << c.file;
      EXPECT_FALSE(list.Contains("word")) << c.file;
    }
    std::string expected = c.logged;
    expected.replace(expected.find("PATH"), 4, path);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{expected}) << c.file;
    EXPECT_FALSE(list.Save()) << c.file;
    EXPECT_EQ(std::filesystem::exists(path), std::string(c.file) != "missing.txt") << c.file;
  }
}

} // namespace
