// The main dictionary that the build compiles into the program folder.
#include "dictionaries/MainDictionary.h"

#include "utilcore/DirUtils.h"

#include <gtest/gtest.h>

#include <string>

TEST(BuiltMainDictionary, LoadsAndKnowsEnglish) {
  CMainDictionary dictionary(0, CDirUtils::GetAppPath() + CMainDictionary::kFileName);
  ASSERT_TRUE(dictionary.Load()) << dictionary.GetPath();
  for (const std::string word : {"the", "The", "recognize", "dictionary", "don't", "don’t",
                                 "websites", "1990s", "2nd", "3,000", "ice"}) {
    EXPECT_TRUE(dictionary.Contains(word)) << word;
  }
  for (const std::string word : {"teh", "recieve", "seperate", "definately", "occured",
                                 "accomodate", "untill", "wierd", "thier"}) {
    EXPECT_FALSE(dictionary.Contains(word)) << word;
  }
}

// Rare two-letter entries that are mostly slips for everyday words are gone; the
// two-letter words and abbreviations in use stay, in any letter case.
TEST(BuiltMainDictionary, RefusesTwoLetterSlipsAndKeepsTwoLetterWords) {
  CMainDictionary dictionary(0, CDirUtils::GetAppPath() + CMainDictionary::kFileName);
  ASSERT_TRUE(dictionary.Load()) << dictionary.GetPath();
  const struct {
    const char* word;
    bool known;
  } cases[] = {
      {"af", false}, {"fo", false}, {"ot", false}, {"ti", false}, {"pu", false},
      {"of", true},  {"to", true},  {"it", true},  {"ok", true},  {"OK", true},
      {"eg", true},  {"ie", true},  {"Mr", true},  {"TV", true},  {"UK", true},
      {"IP", true},  {"ul", true},  {"id", true},  {"os", true},  {"io", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dictionary.Contains(c.word), c.known) << c.word;
  }
}
