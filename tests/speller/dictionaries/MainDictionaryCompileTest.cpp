// Compiling "Dictionary.txt" and "CommonWords.txt": what goes in, and every failure
// with its log line, leaving no file behind and the old dictionary whole.
#include "MainDictionaryFixture.h"

#include "utilcore/FileWriteFaults.h"

#include "testkit/FileBytes.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr const char* kCannotReplace = "{E5DF1186-4BCE-420C-BDCA-064B63D44B5F}";
constexpr const char* kNoWords = "{94468C29-0E8D-4B37-B860-1C7C4D436DFE}";
constexpr const char* kNoCommonWords = "{E6569740-E80C-4AFE-8B5B-DECB5882C287}";
constexpr const char* kCreate = "{C18A927D-633E-40DF-AC01-8CAFEAC29DB7}";
constexpr const char* kMismatch = "{CEEBF3AB-EB67-4C37-A2DE-2889081EF05D}";
constexpr const char* kFinish = "{DBCA370B-7770-4A45-9D25-3CDD9B5AB988}";

using EStage = CFileWriteFaults::EStage;

class MainDictionaryCompile : public MainDictionaryFixture {
protected:
  // Runs a compile that must fail, and returns its only log line.
  std::string FailedSave() {
    NewLogTexts();
    CMainDictionary dictionary(0, FdcPath());
    EXPECT_FALSE(dictionary.Save());
    EXPECT_FALSE(dictionary.IsLoaded());
    return OneNewLogText();
  }
  std::set<std::string> FolderNames() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  const std::set<std::string> m_listsOnly = {"CommonWords.txt", "Dictionary.txt"};
};

} // namespace

TEST_F(MainDictionaryCompile, MissingOrEmptyListsFail) {
  EXPECT_EQ(FailedSave(), kNoWords);
  testkit::WriteBytes(Folder() + "Dictionary.txt", "");
  EXPECT_EQ(FailedSave(), kNoWords);
  testkit::WriteBytes(Folder() + "Dictionary.txt", "apple\n");
  EXPECT_EQ(FailedSave(), kNoCommonWords);
  testkit::WriteBytes(Folder() + "CommonWords.txt", "");
  EXPECT_EQ(FailedSave(), kNoCommonWords);
  EXPECT_FALSE(std::filesystem::exists(FdcPath()));
}

TEST_F(MainDictionaryCompile, LineWithOuterBlanksFailsAndLeavesNoFile) {
  for (const std::string line : {"banana ", " banana", "banana\t", "banana\xC2\xA0"}) {
    WriteLists({"apple", line, "cherry"}, {"the"});
    EXPECT_EQ(FailedSave(), kMismatch) << line;
    EXPECT_EQ(FolderNames(), m_listsOnly) << line;
  }
}

TEST_F(MainDictionaryCompile, FailedCompileKeepsTheOldDictionary) {
  const std::string good = Compile({"apple", "banana"}, {"the"});
  WriteLists({"apple ", "cherry"}, {"the"});
  EXPECT_EQ(FailedSave(), kMismatch);
  EXPECT_EQ(testkit::ReadBytes(FdcPath()), good);
  EXPECT_TRUE(Loaded()->Contains("banana"));
}

TEST_F(MainDictionaryCompile, CompileReplacesTheOldDictionary) {
  Compile({"apple"}, {"the"});
  Compile({"banana"}, {"the"});
  const auto dictionary = Loaded();
  EXPECT_TRUE(dictionary->Contains("banana"));
  EXPECT_FALSE(dictionary->Contains("apple"));
  EXPECT_EQ(FolderNames().size(), 3U);
}

TEST_F(MainDictionaryCompile, MappedDictionaryIsNotReplaced) {
  const std::string good = Compile({"apple"}, {"the"});
  const auto dictionary = Loaded();
  WriteLists({"banana"}, {"the"});
  NewLogTexts();
  EXPECT_FALSE(dictionary->Save());
  EXPECT_EQ(OneNewLogText(), std::string(kCannotReplace) + "Device or resource busy");
  EXPECT_EQ(testkit::ReadBytes(FdcPath()), good);
  EXPECT_TRUE(dictionary->Contains("apple"));
}

TEST_F(MainDictionaryCompile, TargetThatCannotBeReplacedFails) {
  WriteLists({"apple"}, {"the"});
  std::filesystem::create_directory(FdcPath());
  EXPECT_EQ(FailedSave(), std::string(kCannotReplace) + "Is a directory");
  std::filesystem::remove(FdcPath());

  testkit::WriteBytes(FdcPath(), "old");
  std::filesystem::permissions(FdcPath(), std::filesystem::perms::owner_read);
  EXPECT_EQ(FailedSave(), std::string(kCannotReplace) + "Permission denied");
  EXPECT_EQ(testkit::ReadBytes(FdcPath()), "old");
}

TEST_F(MainDictionaryCompile, WriteFailuresLeaveTheOldFileAndNoTemporary) {
  const std::string good = Compile({"apple"}, {"the"});
  WriteLists({"banana"}, {"the"});
  struct Case {
    EStage stage;
    const char* id;
  };
  for (const Case c : {Case{EStage::Open, kCreate}, Case{EStage::Write, kFinish},
                       Case{EStage::Sync, kFinish}, Case{EStage::Rename, kFinish}}) {
    CFileWriteFaults::Inject(c.stage, 100);
    const std::string line = FailedSave();
    CFileWriteFaults::Clear();
    EXPECT_EQ(line.substr(0, 38), c.id) << line;
    EXPECT_GT(line.size(), 38U) << "an error text follows";
    EXPECT_EQ(testkit::ReadBytes(FdcPath()), good);
    EXPECT_EQ(FolderNames().size(), 3U);
  }
}

TEST_F(MainDictionaryCompile, WordsAreFoldedAsLookupsFoldThemAndTheRestLeftOut) {
  std::string sixteenAccents; // 32 bytes
  for (int i = 0; i < 16; ++i) {
    sixteenAccents += "\xC3\xA9";
  }
  const std::string plain = Compile({"apple", "caf\xC3\xA9", "cherry", "don't", "na\xC3\xAFve"},
                                    {"the", "\xC3\xA9t\xC3\xA9"});
  const std::string mixed =
      Compile({"Apple", "CAF\xC3\x89", std::string(32, 'b'), "CHERRY", "don\xE2\x80\x99t",
               "NAI\xCC\x88VE", sixteenAccents, "tab\there",
               "a\xC2\x85"
               "b"},
              {"The", "E\xCC\x81TE\xCC\x81", std::string(40, 'x'), "x\x7Fy"});
  EXPECT_EQ(mixed, plain);
}

TEST_F(MainDictionaryCompile, BlankLinesAndLineEndingsDoNotMatter) {
  const std::string plain = Compile({"apple", "cherry"}, {"the", "and"});
  testkit::WriteBytes(Folder() + "Dictionary.txt", "\xEF\xBB\xBF"
                                                   "apple\r\n\r\n   \r\ncherry");
  testkit::WriteBytes(Folder() + "CommonWords.txt", "the\r\n\xE2\x80\x8B\r\n\r\nand\r\n");
  CMainDictionary dictionary(0, FdcPath());
  ASSERT_TRUE(dictionary.Save());
  EXPECT_EQ(testkit::ReadBytes(FdcPath()), plain);
}

TEST_F(MainDictionaryCompile, DictionaryStaysUnloadedAfterACompile) {
  WriteLists({"apple"}, {"the"});
  CMainDictionary dictionary(0, FdcPath());
  ASSERT_TRUE(dictionary.Save());
  EXPECT_FALSE(dictionary.IsLoaded());
  EXPECT_TRUE(dictionary.EnsureLoaded());
  EXPECT_TRUE(dictionary.Contains("apple"));
}

// The walk the suggestion searches read: every word once, in list order, across the
// 512-byte blocks (records run on over block ends).
TEST_F(MainDictionaryCompile, EveryWordIsWalkedOnceInOrder) {
  std::vector<std::string> words;
  for (int i = 0; i < 400; ++i) {
    words.push_back("word" + std::string(3 - std::to_string(i).size(), '0') + std::to_string(i));
  }
  words.push_back("zoë");
  Compile(words, {"the"});
  const auto dictionary = Loaded();
  ASSERT_NE(dictionary, nullptr);
  std::vector<std::string> walked;
  dictionary->ForEachWord([&](std::string_view word) { walked.emplace_back(word); });
  EXPECT_EQ(walked, words);
}
