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
