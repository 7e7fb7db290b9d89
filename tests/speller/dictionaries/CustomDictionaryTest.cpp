#include "dictionaries/CustomDictionary.h"

#include "utilcore/FileUtils.h"
#include "utilcore/FileWriteFaults.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using Words = std::vector<std::string>;

class CustomDictionaryTest : public testing::Test {
protected:
  void TearDown() override { CFileWriteFaults::Clear(); }

  std::string Path(const std::string& name = "words.dic") const { return m_dir.Sub(name); }

  Words WordsOf(const CCustomDictionary& dictionary) const {
    TextArray words;
    dictionary.GetWords(words);
    return words.Items();
  }

  ScopedTempDir m_dir;
};

TEST_F(CustomDictionaryTest, LoadTrimsLowerCasesSortsAndMerges) {
  testkit::WriteBytes(Path(), "Apple\n banana \napple\n");
  CCustomDictionary dictionary(4, "words", Path());
  ASSERT_TRUE(dictionary.Load());
  EXPECT_TRUE(dictionary.IsLoaded());
  EXPECT_TRUE(dictionary.IsCustom());
  EXPECT_EQ(WordsOf(dictionary), (Words{"apple", "banana"}));
  EXPECT_TRUE(dictionary.Contains(" APPLE "));
  EXPECT_TRUE(dictionary.Contains("Banana"));
  EXPECT_FALSE(dictionary.Contains("cherry"));
  EXPECT_FALSE(dictionary.Contains("appl"));
}

TEST_F(CustomDictionaryTest, NormalizeKeepsBlankEntriesAsTheyWere) {
  TextArray words{"B", "  ", "a", "b", "Ä"};
  CCustomDictionary::NormalizeWords(words);
  EXPECT_EQ(words.Items(), (Words{"  ", "a", "b", "ä"}));
}

TEST_F(CustomDictionaryTest, ReadsUtf16AndWindows1252Files) {
  const struct {
    std::string bytes;
    Words words;
  } cases[] = {
      // UTF-16 LE with BOM, as Microsoft Word writes its dictionaries.
      {std::string("\xFF\xFE"
                   "C\0a\0f\0\xE9\0\r\0\n\0Z\0o\0o\0\r\0\n\0",
                   22),
       {"café", "zoo"}},
      {std::string("\xFE\xFF\0N\0a\0\xEF\0v\0e\0\n", 14), {"naïve"}},
      {"Fa\xE7"
       "ade\n",
       {"façade"}},
      {"\xEF\xBB\xBFR\xC3\xA9sum\xC3\xA9\n", {"résumé"}},
  };
  for (const auto& c : cases) {
    testkit::WriteBytes(Path(), c.bytes);
    CCustomDictionary dictionary(1, "words", Path());
    ASSERT_TRUE(dictionary.Load());
    EXPECT_EQ(WordsOf(dictionary), c.words);
    EXPECT_TRUE(dictionary.Contains(c.words.front()));
  }
}

TEST_F(CustomDictionaryTest, NonAsciiAndLongWordsAreFoundCaseInsensitively) {
  const std::string longWord(100, 'q');
  CCustomDictionary dictionary(1, "words", Path());
  dictionary.SetWords(TextArray{"Élan", longWord, "straße"});
  EXPECT_TRUE(dictionary.Contains("ÉLAN"));
  EXPECT_TRUE(dictionary.Contains("élan"));
  EXPECT_TRUE(dictionary.Contains(std::string(100, 'Q')));
  EXPECT_TRUE(dictionary.Contains("STRAßE"));
  EXPECT_FALSE(dictionary.Contains(std::string(99, 'q')));
}

TEST_F(CustomDictionaryTest, TypographicApostrophesMatchTheAsciiOne) {
  CCustomDictionary dictionary(1, "words", Path());
  dictionary.SetWords(TextArray{"don't", "o\xE2\x80\x99neill"});
  dictionary.AddWord("Ma\xCA\xBCo");
  const char* found[] = {"don't",   "don\xE2\x80\x99t",   "don\xCA\xBCt",
                         "O'Neill", "o\xE2\x80\x99neill", "O\xCA\xBCNeill",
                         "ma'o",    "Ma\xE2\x80\x99o"};
  for (const char* word : found) {
    EXPECT_TRUE(dictionary.Contains(word)) << word;
  }
  EXPECT_FALSE(dictionary.Contains("dont"));
  EXPECT_FALSE(dictionary.Contains("don\xE2\x80\x98t")); // the left quote is no apostrophe
  // The words keep the apostrophes they were given.
  EXPECT_EQ(WordsOf(dictionary), (Words{"don't", "ma\xCA\xBCo", "o\xE2\x80\x99neill"}));
}

// Every way words come in (a load, a whole list, one word at a time, past the sizes
// the look-up filter was made for) leaves each of them found and no other word.
TEST_F(CustomDictionaryTest, EveryWordInIsFoundHoweverItCameAndNoOther) {
  const auto word = [](const char* stem, int k) { return stem + std::to_string(k); };
  CCustomDictionary dictionary(1, "words", Path());
  EXPECT_FALSE(dictionary.Contains("anything")) << "an empty list holds nothing";
  dictionary.SetWords(TextArray{"first", "second"});
  for (int k = 0; k < 3000; ++k) {
    dictionary.AddWord(word("Added", k));
  }
  for (int k = 0; k < 3000; ++k) {
    ASSERT_TRUE(dictionary.Contains(word("added", k))) << k;
    EXPECT_FALSE(dictionary.Contains(word("absent", k))) << k;
  }
  EXPECT_TRUE(dictionary.Contains("First"));
  EXPECT_TRUE(dictionary.Contains("second"));

  testkit::WriteBytes(Path(), "loaded\nMa\xE2\x80\x99o\n");
  CCustomDictionary loaded(2, "words", Path());
  ASSERT_TRUE(loaded.Load());
  for (const char* held : {"loaded", "ma'o", "Ma\xE2\x80\x99o"}) {
    EXPECT_TRUE(loaded.Contains(held)) << held;
  }
  EXPECT_FALSE(loaded.Contains("load"));
  loaded.SetWords(TextArray{"replaced"});
  EXPECT_FALSE(loaded.Contains("loaded")) << "a new list leaves the old words out";
  EXPECT_TRUE(loaded.Contains("replaced"));
}

TEST_F(CustomDictionaryTest, AddWordKeepsTheListSortedAndSingle) {
  CCustomDictionary dictionary(1, "words", Path());
  for (const char* word : {"Zebra ", "apple", "  ", "mango", "APPLE", ""}) {
    dictionary.AddWord(word);
  }
  EXPECT_EQ(WordsOf(dictionary), (Words{"apple", "mango", "zebra"}));
}

TEST_F(CustomDictionaryTest, SetWordsSavesNormalizedAndReadsBack) {
  CCustomDictionary dictionary(1, "words", Path());
  dictionary.SetWords(TextArray{"b", "A", "b"});
  ASSERT_TRUE(dictionary.Save());
  EXPECT_EQ(testkit::ReadBytes(Path()), "a\nb\n");

  CCustomDictionary again(2, "words", Path());
  ASSERT_TRUE(again.Load());
  again.AddWord("Zebra ");
  again.AddWord("c");
  ASSERT_TRUE(again.Save());
  EXPECT_EQ(testkit::ReadBytes(Path()), "a\nb\nc\nzebra\n");
}

TEST_F(CustomDictionaryTest, SaveKeepsTheFilesEncodingAndLineEnds) {
  testkit::WriteBytes(Path(), std::string("\xFF\xFE"
                                          "b\0\r\0\n\0",
                                          8));
  CCustomDictionary dictionary(1, "words", Path());
  ASSERT_TRUE(dictionary.Load());
  dictionary.AddWord("a");
  ASSERT_TRUE(dictionary.Save());
  EXPECT_EQ(testkit::ReadBytes(Path()), std::string("\xFF\xFE"
                                                    "a\0\r\0\n\0b\0\r\0\n\0",
                                                    14));
}

TEST_F(CustomDictionaryTest, MissingFileLeavesItUnloadedAndSaveCreatesIt) {
  CCustomDictionary dictionary(1, "words", Path());
  EXPECT_FALSE(dictionary.Load());
  EXPECT_FALSE(dictionary.IsLoaded());
  dictionary.AddWord("fresh");
  ASSERT_TRUE(dictionary.Save());
  EXPECT_EQ(testkit::ReadBytes(Path()), "fresh\n");
}

TEST_F(CustomDictionaryTest, FailedSaveLeavesTheOldFileWhole) {
  testkit::WriteBytes(Path(), "old\nwords\n");
  CCustomDictionary dictionary(1, "words", Path());
  ASSERT_TRUE(dictionary.Load());
  dictionary.AddWord("new");
  for (const auto stage : {CFileWriteFaults::EStage::Open, CFileWriteFaults::EStage::Write,
                           CFileWriteFaults::EStage::Sync, CFileWriteFaults::EStage::Rename}) {
    CFileWriteFaults::Inject(stage, 3);
    EXPECT_FALSE(dictionary.Save());
    CFileWriteFaults::Clear();
    EXPECT_EQ(testkit::ReadBytes(Path()), "old\nwords\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
  }
  EXPECT_TRUE(dictionary.Contains("new")); // still changed in memory
}

TEST_F(CustomDictionaryTest, UnreadableFileIsNeverOverwritten) {
  // A folder where the file should be, and a file too large to be a word list.
  std::filesystem::create_directory(Path("folder.dic"));
  CCustomDictionary folder(1, "folder", Path("folder.dic"));
  EXPECT_FALSE(folder.Load());
  folder.AddWord("lost");
  EXPECT_FALSE(folder.Save());
  EXPECT_TRUE(std::filesystem::is_directory(Path("folder.dic")));

  testkit::WriteBytes(Path("big.dic"), "");
  const auto tooLarge = CFileUtils::kMaxTextFileBytes + 1; // sparse: costs no disk
  std::filesystem::resize_file(Path("big.dic"), tooLarge);
  CCustomDictionary big(2, "big", Path("big.dic"));
  EXPECT_FALSE(big.Load());
  big.AddWord("lost");
  EXPECT_FALSE(big.Save());
  EXPECT_EQ(std::filesystem::file_size(Path("big.dic")), tooLarge);
}

// A word list that is there but refused leaves one log line naming it and the reason,
// however often look-ups try the load again; a sound one leaves none.
TEST_F(CustomDictionaryTest, ARefusedFileIsLoggedOnceWithItsReason) {
  const std::string id = "{CCB2C72D-A322-4A52-B722-2123D2B6B47C}";
  const struct {
    const char* file;
    void (*make)(const std::string& path);
    const char* reason; ///< "" for a file that loads
  } cases[] = {
      {"sound.dic", [](const std::string& path) { testkit::WriteBytes(path, "word\n"); }, ""},
      {"huge.dic",
       [](const std::string& path) {
         testkit::WriteBytes(path, "word\n");
         std::filesystem::resize_file(path, CFileUtils::kMaxTextFileBytes + 1); // sparse
       },
       "larger than 128 MiB"},
      {"image.dic",
       [](const std::string& path) {
         testkit::WriteBytes(path, std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR word\n", 22));
       },
       "binary file"},
      {"nuls.dic",
       [](const std::string& path) { testkit::WriteBytes(path, std::string(4096, '\0')); },
       "binary file"},
      {"folder.dic", [](const std::string& path) { std::filesystem::create_directory(path); },
       "Is a directory"},
  };
  for (const auto& c : cases) {
    const std::string path = Path(c.file);
    c.make(path);
    const LogCapture log;
    CCustomDictionary dictionary(1, "words", path);
    for (int attempt = 0; attempt < 3; ++attempt) {
      EXPECT_EQ(dictionary.EnsureLoaded(), *c.reason == '\0') << c.file;
    }
    const std::vector<std::string> expected =
        *c.reason == '\0' ? std::vector<std::string>{}
                          : std::vector<std::string>{id + " - " + path + " - " + c.reason};
    EXPECT_EQ(log.Lines(), expected) << c.file;
  }
}

TEST_F(CustomDictionaryTest, EmptyFileLoadsEmpty) {
  testkit::WriteBytes(Path(), "");
  CCustomDictionary dictionary(1, "words", Path());
  ASSERT_TRUE(dictionary.Load());
  EXPECT_TRUE(WordsOf(dictionary).empty());
  EXPECT_FALSE(dictionary.Contains("a"));
  EXPECT_FALSE(dictionary.Contains(""));
}

} // namespace

// Found by fuzzing: lower-casing these Windows-1252 words would write bytes that read
// back as UTF-8 or UTF-16, other words. The save is refused and the file keeps its words.
TEST_F(CustomDictionaryTest, SaveNeverTurnsAWindows1252WordIntoAnother) {
  const struct {
    std::string bytes;
    Words words;
  } cases[] = {
      {"\xC2\xBF\x80n", {"\xC3\xA2\xC2\xBF\xE2\x82\xACn"}},
      {"\x9F\xFE\xFFQ\x01"
       "0=\t\n",
       {"\xC3\xBF\xC3\xBE\xC3\xBFq\x01"
        "0="}},
  };
  for (const auto& c : cases) {
    testkit::WriteBytes(Path(), c.bytes);
    CCustomDictionary dictionary(1, "words", Path());
    ASSERT_TRUE(dictionary.Load());
    EXPECT_EQ(WordsOf(dictionary), c.words);
    EXPECT_FALSE(dictionary.Save());
    EXPECT_EQ(testkit::ReadBytes(Path()), c.bytes);
  }
  testkit::WriteBytes(Path(), "\xC2\xBF\x80n");
  CCustomDictionary dictionary(1, "words", Path());
  ASSERT_TRUE(dictionary.Load());
  dictionary.AddWord("Caf\xC3\xA9"); // E9 alone is no UTF-8: the file can be written
  ASSERT_TRUE(dictionary.Save());
  CCustomDictionary again(2, "words", Path());
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(WordsOf(again), WordsOf(dictionary));
}
