#include "dictionaries/HunspellDictionary.h"

#include "speller/dictionaries/HunspellSamples.h"

#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kLogRefused = "{F917DAE6-F8CF-4E03-AABB-D88CDC83D9A0}";

class HunspellDictionaryTest : public testing::Test {
protected:
  void SetUp() override { hunspelltest::WriteSamples(m_dir.Path()); }

  SHunspellFile File(const std::string& stem) const {
    SHunspellFile file;
    file.dicPath = m_dir.Sub(stem + ".dic");
    file.affPath = m_dir.Sub(stem + ".aff");
    file.language = stem;
    return file;
  }

  ScopedTempDir m_dir;
};

TEST_F(HunspellDictionaryTest, RecognisesWordsInEveryCaseTheirEntryAllows) {
  CHunspellDictionary english(5, "English", File("en_GB"));
  CHunspellDictionary german(6, "German", File("de_DE"));
  ASSERT_TRUE(english.Load());
  ASSERT_TRUE(german.Load());
  EXPECT_TRUE(english.IsLoaded());
  const struct {
    const CHunspellDictionary& dictionary;
    std::string word;
    bool known;
  } cases[] = {
      {english, "colour", true},
      {english, "colours", true},
      {english, "Colour", true},
      {english, "COLOURS", true},
      {english, "London", true},
      {english, "LONDON", true},
      {english, "cOLOUR", true},
      // Capitals never matter, but a listed capital does: "center" is American, however
      // en_GB lists the place "Center".
      {english, "Center", true},
      {english, "CENTER", true},
      {english, "center", false},
      {english, "london", false},
      {english, "lONDON", false},
      {english, "don't", true},
      {english, "don\xE2\x80\x99t", true},
      {english, "don\xCA\xBCt", true},
      {english, "well-known", true},
      {english, "color", false},
      {english, "colourss", false},
      {english, "", false},
      {english, std::string(CHunspellDictionary::kMaxWordBytes + 1, 'a'), false},
      // The German files are ISO 8859-1; words come in UTF-8.
      {german, "Haus", true},
      {german, "Hauses", true},
      {german, "H\xC3\xA4user", true},
      {german, "H\xC3\xA4usern", true},
      {german,
       "Stra\xC3\x9F"
       "e",
       true},
      {german, "HAUS", true},
      {german, "haus", false},
      // "ä" written as "a" and a combining diaeresis, as some pages do.
      {german, "Ha\xCC\x88user", true},
      {german, "Hauser", false},
      {german, "colour", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.dictionary.Contains(c.word), c.known) << c.word;
  }
  EXPECT_EQ(english.GetKind(), EDictionaryKind::kHunspell);
  EXPECT_FALSE(english.IsCustom());
  EXPECT_EQ(german.GetLanguage(), "de_DE");
}

TEST_F(HunspellDictionaryTest, AppendsItsSuggestionsInTheMisspellingsCase) {
  CHunspellDictionary english(5, "English", File("en_GB"));
  ASSERT_TRUE(english.Load());
  std::vector<std::string> suggestions{"kept"};
  english.Suggest("Colur", suggestions);
  ASSERT_GE(suggestions.size(), 2U);
  EXPECT_EQ(suggestions[0], "kept");
  EXPECT_EQ(suggestions[1], "Colour");
}

// Tokens with symbols no word holds are refused before nuspell is asked; those that a
// word, an IGNORE line or a number holds still reach it.
TEST_F(HunspellDictionaryTest, SymbolsOfItsOwnWordsStillReachTheDictionary) {
  hunspelltest::WritePair(m_dir.Path(), "code", "SET UTF-8\nIGNORE _\n",
                          "4\nC++\nfoobar\nw\\/o\nAT&T\n");
  CHunspellDictionary code(10, "Code", File("code"));
  CHunspellDictionary english(5, "English", File("en_GB"));
  ASSERT_TRUE(code.Load());
  ASSERT_TRUE(english.Load());
  const struct {
    const CHunspellDictionary& dictionary;
    std::string word;
    bool known;
  } cases[] = {
      {code, "C++", true},         {code, "AT&T", true},       {code, "w/o", true},
      {code, "foo_bar", true},     {code, "foobar.", true},    {code, "1,000.5", true},
      {code, "foobar()", false},   {code, "foobar;", false},   {english, "C++", false},
      {english, "colour_", false}, {english, "1,000.5", true}, {english, "colour.", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.dictionary.Contains(c.word), c.known) << c.word;
  }
  std::vector<std::string> suggestions;
  english.Suggest("colour()", suggestions);
  EXPECT_EQ(suggestions, std::vector<std::string>{});
  code.Suggest("C+", suggestions);
  EXPECT_EQ(suggestions, std::vector<std::string>{"C++"});
}

TEST_F(HunspellDictionaryTest, LeavesPiecesOfCompoundsOutOfItsSuggestions) {
  // German lists "-straße" and "Haus-" for compounds; nuspell offers them as words.
  hunspelltest::WritePair(m_dir.Path(), "pieces", "SET UTF-8\nTRY esianrtolcdu-\n",
                          "3\ncolour\ncolour-\n-colour\n");
  CHunspellDictionary pieces(9, "Pieces", File("pieces"));
  ASSERT_TRUE(pieces.Load());
  std::vector<std::string> suggestions;
  pieces.Suggest("colours", suggestions);
  EXPECT_EQ(suggestions, std::vector<std::string>{"colour"});
}

TEST_F(HunspellDictionaryTest, BadFilesAreLoggedOnceAndLeftUnloaded) {
  const std::string aff = hunspelltest::kEnglishAff;
  const std::string dic = hunspelltest::kEnglishDic;
  const std::string binary("SET UTF-8\n\0\x01\x02\xFF", 14);
  struct Case {
    std::optional<std::string> aff; ///< nullopt: no such file
    std::optional<std::string> dic;
    std::string blamed; ///< "aff" or "dic"
    std::string why;
  };
  const Case cases[] = {
      {"", dic, "aff", "empty file"},
      {aff, "", "dic", "empty file"},
      {binary, dic, "aff", "binary file, not a Hunspell dictionary"},
      {aff, binary, "dic", "binary file, not a Hunspell dictionary"},
      {std::nullopt, dic, "aff", "No such file or directory"},
      {aff, std::nullopt, "dic", "No such file or directory"},
      {aff, "colour\nfavour\n", "dic",
       "Nuspell error: while parsing first line of .dic file. There is no number."},
      {"SET KOI-99\n", dic, "aff",
       "Nuspell error: could not parse affix file. 1: SET KOI-99 Nuspell error: Invalid "
       "identifier of encoding."},
  };
  for (const Case& c : cases) {
    const std::string affPath = m_dir.Sub("bad.aff");
    const std::string dicPath = m_dir.Sub("bad.dic");
    std::filesystem::remove(affPath);
    std::filesystem::remove(dicPath);
    if (c.aff) {
      testkit::WriteBytes(affPath, *c.aff);
    }
    if (c.dic) {
      testkit::WriteBytes(dicPath, *c.dic);
    }
    const LogCapture log;
    CHunspellDictionary dictionary(7, "Bad", File("bad"));
    EXPECT_FALSE(dictionary.Load()) << c.why;
    // Every look-up tries the load again: unchanged files are neither read nor logged.
    EXPECT_FALSE(dictionary.EnsureLoaded()) << c.why;
    EXPECT_FALSE(dictionary.IsLoaded());
    EXPECT_FALSE(dictionary.Contains("colour"));
    const std::string blamed = c.blamed == "aff" ? affPath : dicPath;
    EXPECT_EQ(log.Lines(),
              std::vector<std::string>{std::string(kLogRefused) + " - " + blamed + " - " + c.why});
    // Mended, the pair loads on the next try.
    testkit::WriteBytes(affPath, aff);
    testkit::WriteBytes(dicPath, dic);
    EXPECT_TRUE(dictionary.EnsureLoaded()) << c.why;
    EXPECT_TRUE(dictionary.Contains("colours")) << c.why;
  }
}

TEST_F(HunspellDictionaryTest, AHugeFileIsRefusedUnread) {
  const std::string dicPath = m_dir.Sub("huge.dic");
  testkit::WriteBytes(m_dir.Sub("huge.aff"), hunspelltest::kEnglishAff);
  // Sparse: the size is there without the disk space.
  testkit::WriteBytes(dicPath, "1\ncolour\n");
  std::filesystem::resize_file(dicPath, CHunspellDictionary::kMaxFileBytes + 1);
  const LogCapture log;
  CHunspellDictionary dictionary(8, "Huge", File("huge"));
  EXPECT_FALSE(dictionary.Load());
  EXPECT_EQ(log.Lines(), std::vector<std::string>{std::string(kLogRefused) + " - " + dicPath +
                                                  " - larger than 64 MiB"});
}

} // namespace
