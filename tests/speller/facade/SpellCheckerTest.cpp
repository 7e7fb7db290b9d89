#include "speller/facade/SpellerFixture.h"

#include "spellcore/SpellChecker.h"

#include "utilcore/DirUtils.h"

#include <string>
#include <vector>

namespace {

using spellertest::SpellerTest;
using Ids = std::vector<int>;
using Words = std::vector<std::string>;

using spellertest::kLogNoThunderbird;
using spellertest::kLogNoWordKey;
using spellertest::kMainName;

class SpellCheckerTest : public SpellerTest {
protected:
  std::string NameOf(int id) const {
    std::string name = "stale";
    CSpellChecker::GetInstance()->GetDictionaryName(id, name);
    return name;
  }
  Words Names() const {
    Ids ids;
    CSpellChecker::GetInstance()->GetDictionaries(ids, true, true);
    Words names;
    for (const int id : ids) {
      names.push_back(NameOf(id));
    }
    return names;
  }
  Words WordsOf(int id) const {
    TextArray words;
    CSpellChecker::GetInstance()->GetWords(id, words);
    return words.Items();
  }
};

TEST_F(SpellCheckerTest, MessageNameIsRegisteredAtLoad) {
  EXPECT_GE(CSpellChecker::MSG_DICT_CHANGED, 0xC000U);
  EXPECT_EQ(CSpellChecker::MSG_DICT_CHANGED,
            RegisterWindowMessageA("9F0C18A8-759F-48c3-979A-5D42A937A0CB"));
}

TEST_F(SpellCheckerTest, StartUpRegistersMainFolderAndDefaultDictionaries) {
  WriteDic("my_terms.dic", "Zebu\n");
  CSpellChecker& speller = StartSpeller();

  EXPECT_EQ(Names(), (Words{kMainName, "my terms", "ZEB Custom"}));
  Ids ids{42};
  speller.GetDictionaries(ids, true, false);
  EXPECT_EQ(ids, (Ids{42, 0}));
  ids.clear();
  speller.GetDictionaries(ids, false, true);
  EXPECT_EQ(ids, (Ids{1, 2}));
  speller.GetDictionaries(ids, false, false);
  EXPECT_EQ(ids, (Ids{1, 2}));

  EXPECT_EQ(speller.GetDictionaryID(kMainName), 0);
  EXPECT_EQ(speller.GetDictionaryID("ZEB u.s. english"), -1);
  EXPECT_EQ(speller.GetDictionaryID("my terms"), 1);
  EXPECT_EQ(speller.GetDictionaryID("ZEB Custom"), 2);
  EXPECT_EQ(NameOf(3), "");
  EXPECT_EQ(NameOf(-1), "");
  // The default is created empty; nothing is loaded during start-up.
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "ZEB_Custom.dic"), "");
  EXPECT_EQ(LogCount(kLogNoWordKey), 1);
  EXPECT_EQ(LogCount(kLogNoThunderbird), 1);
}

TEST_F(SpellCheckerTest, ExistingDefaultGivesExactlyOne) {
  WriteDic("ZEB_Custom.dic", "kept\n");
  CSpellChecker& speller = StartSpeller();
  EXPECT_EQ(Names(), (Words{kMainName, "ZEB Custom"}));
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "ZEB_Custom.dic"), "kept\n");
  EXPECT_TRUE(speller.LookUp("Kept", {1}));
}

TEST_F(SpellCheckerTest, SecondStartUpChangesNothing) {
  CSpellChecker& speller = StartSpeller();
  speller.SetAppPath(AppDir());
  EXPECT_EQ(Names(), (Words{kMainName, "ZEB Custom"}));
}

TEST_F(SpellCheckerTest, AddCustomDictionaryRefusesBlankAndTakenNames) {
  CSpellChecker& speller = StartSpeller();
  for (const char* name : {"", "   ", "\xE2\x80\x8B", kMainName, "ZEB Custom"}) {
    EXPECT_FALSE(speller.AddCustomDictionary(name)) << name;
  }
  EXPECT_EQ(Names(), (Words{kMainName, "ZEB Custom"}));
  EXPECT_FALSE(Exists(CustomFolder() + kMainName + std::string(".dic")));
  EXPECT_FALSE(Exists(CustomFolder() + ".dic"));
}

TEST_F(SpellCheckerTest, AddCustomDictionaryCreatesAndRegistersAnEmptyFile) {
  CSpellChecker& speller = StartSpeller();
  ASSERT_TRUE(speller.AddCustomDictionary("My Words"));
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "My Words.dic"), "");
  EXPECT_EQ(speller.GetDictionaryID("My Words"), 2);
  ASSERT_TRUE(speller.AddCustomDictionary("a/b:c"));
  EXPECT_TRUE(Exists(CustomFolder() + "a_b_c.dic"));
  EXPECT_EQ(speller.GetDictionaryID("a/b:c"), 3);
  EXPECT_FALSE(speller.AddCustomDictionary("My Words"));
}

TEST_F(SpellCheckerTest, AddCustomDictionaryTakesOverAnUnregisteredFileWithItsWords) {
  CSpellChecker& speller = StartSpeller();
  // As when a renamed project's ignore dictionary was moved in and the folder
  // monitor has not reported it yet.
  WriteDic("Site Ignore.dic", "Qwerty\n");
  ASSERT_TRUE(speller.AddCustomDictionary("Site Ignore"));
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "Site Ignore.dic"), "Qwerty\n");
  EXPECT_TRUE(speller.LookUp("qwerty", {speller.GetDictionaryID("Site Ignore")}));
}

TEST_F(SpellCheckerTest, AddCustomDictionaryRefusesAFileHeldByAnother) {
  WriteDic("a_b.dic", "mine\n");
  CSpellChecker& speller = StartSpeller();
  ASSERT_EQ(speller.GetDictionaryID("a b"), 1);
  EXPECT_FALSE(speller.AddCustomDictionary("a:b"));
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "a_b.dic"), "mine\n");
  EXPECT_EQ(speller.GetDictionaryID("a:b"), -1);
}

TEST_F(SpellCheckerTest, LookUpAsksTheListedDictionariesOnly) {
  WriteDic("colours.dic", "Colour\n");
  WriteDic("shapes.dic", "circle\n");
  CSpellChecker& speller = StartSpeller();
  const int colours = speller.GetDictionaryID("colours");
  const int shapes = speller.GetDictionaryID("shapes");
  EXPECT_TRUE(speller.LookUp("Colour", {colours}));
  EXPECT_TRUE(speller.LookUp("colour", {shapes, colours}));
  EXPECT_TRUE(speller.LookUp("COLOUR", {0, 99, -1, colours}));
  EXPECT_FALSE(speller.LookUp("colour", {shapes}));
  EXPECT_FALSE(speller.LookUp("colour", {}));
  EXPECT_FALSE(speller.LookUp("colour", {99, -1}));
  EXPECT_TRUE(speller.LookUp("circle", {colours, shapes}));
}

TEST_F(SpellCheckerTest, EditsAreSavedAndReadBackAfterANewStart) {
  CSpellChecker* speller = &StartSpeller();
  const int id = speller->GetDictionaryID("ZEB Custom");
  speller->AddWord(id, "Zebra ");
  speller->AddWord(id, "apple");
  speller->AddWord(99, "nowhere");
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "ZEB_Custom.dic"), "apple\nzebra\n");
  EXPECT_TRUE(speller->LookUp("Zebra", {id}));

  CSpellChecker::DeleteInstance();
  speller = &StartSpeller();
  EXPECT_EQ(WordsOf(id), (Words{"apple", "zebra"}));
  speller->SetWords(id, TextArray{"b", "A", "b"});
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "ZEB_Custom.dic"), "a\nb\n");
  EXPECT_FALSE(speller->LookUp("zebra", {id}));

  TextArray untouched{"x"};
  speller->GetWords(99, untouched);
  EXPECT_EQ(untouched.Items(), Words{"x"});
}

TEST_F(SpellCheckerTest, AddWordToADictionaryWhoseFileVanishedCreatesItAgain) {
  CSpellChecker& speller = StartSpeller();
  std::filesystem::remove(CustomFolder() + "ZEB_Custom.dic");
  speller.AddWord(1, "again");
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "ZEB_Custom.dic"), "again\n");
  EXPECT_TRUE(speller.LookUp("again", {1}));
}

TEST_F(SpellCheckerTest, FailedSaveKeepsTheOldFileAndTheWordInMemory) {
  WriteDic("ZEB_Custom.dic", "old\n");
  CSpellChecker& speller = StartSpeller();
  CFileWriteFaults::Inject(CFileWriteFaults::EStage::Rename);
  speller.AddWord(1, "new");
  CFileWriteFaults::Clear();
  EXPECT_EQ(testkit::ReadBytes(CustomFolder() + "ZEB_Custom.dic"), "old\n");
  EXPECT_TRUE(speller.LookUp("new", {1}));
}

TEST_F(SpellCheckerTest, MainDictionaryIsBuiltAndSearchedThroughTheFacade) {
  WriteFile(AppDir() + "Dictionary.txt", "abc\napple\ncolour\nzebra\n");
  WriteFile(AppDir() + "CommonWords.txt", "the\nand\n");
  WriteDic("extra.dic", "Colour\n");
  CSpellChecker& speller = StartSpeller();
  ASSERT_TRUE(speller.BuildMainDictionary());
  const struct {
    const char* word;
    bool known;
  } cases[] = {{"Colour", true},   {"colour", true}, {"COLOUR", true}, {"The", true},
               {"1,000.50", true}, {"12abc", true},  {"12abd", false}, {"colours", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(speller.LookUp(c.word, {0}), c.known) << c.word;
    EXPECT_EQ(speller.LookUp(c.word, {1, 0}), c.known) << c.word;
  }
  // The order of the ids changes only the work done, never the answer.
  EXPECT_TRUE(speller.LookUp("colour", {1}));
  EXPECT_TRUE(speller.LookUp("colour", {0, 1}));
}

TEST_F(SpellCheckerTest, MainDictionaryWithoutItsFileRecognisesNothing) {
  CSpellChecker& speller = StartSpeller();
  EXPECT_FALSE(speller.LookUp("the", {0}));
  EXPECT_FALSE(speller.LookUp("1,000", {0}));
  // Each lookup tries to load it again and says so.
  EXPECT_EQ(LogCount("{03C7C9A6-55A3-474E-BE43-6F6241B5E3FA}"), 2);
  speller.AddWord(0, "ignored");
  TextArray words{"kept"};
  speller.GetWords(0, words);
  EXPECT_EQ(words.Items(), Words{"kept"});
}

TEST_F(SpellCheckerTest, PreprocessWordThroughTheFacade) {
  CSpellChecker& speller = StartSpeller();
  std::string word = "\xE2\x80\x98John\xE2\x80\x99s\xE2\x80\x99";
  EXPECT_TRUE(speller.PreprocessWord(word));
  EXPECT_EQ(word, "John");
  word = "{PRODUCT_NAME}";
  EXPECT_FALSE(speller.PreprocessWord(word));
}

TEST_F(SpellCheckerTest, DeleteInstanceThenGetInstanceStartsEmpty) {
  StartSpeller();
  CSpellChecker::DeleteInstance();
  CSpellChecker::DeleteInstance(); // harmless without an instance
  CSpellChecker* speller = CSpellChecker::GetInstance();
  ASSERT_NE(speller, nullptr);
  EXPECT_EQ(speller, CSpellChecker::GetInstance());
  Ids ids{7};
  speller->GetDictionaries(ids, true, true);
  EXPECT_EQ(ids, Ids{7});
  EXPECT_EQ(speller->GetDictionaryID(kMainName), -1);
  EXPECT_EQ(NameOf(0), "");
  EXPECT_FALSE(speller->LookUp("word", {0, 1}));
  EXPECT_FALSE(speller->BuildMainDictionary());
  speller->SetAppPath(AppDir());
  EXPECT_EQ(speller->GetDictionaryID(kMainName), 0);
}

// The whole road of a page word: preprocessing, then the compiled main dictionary that
// the build puts into the program folder and a custom word list.
TEST_F(SpellCheckerTest, ChecksPageWordsWithTheBuiltMainDictionary) {
  WriteDic("site.dic", "Pagelint\n");
  CSpellChecker* speller = CSpellChecker::GetInstance();
  ASSERT_NE(speller, nullptr);
  speller->SetAppPath(CDirUtils::GetAppPath());
  const Ids ids{0, speller->GetDictionaryID("site")};
  const struct {
    const char* word;
    bool skipped;
    bool known;
  } cases[] = {{"The", false, true},
               {"\xE2\x80\x9Cwebsite\xE2\x80\x9D", false, true},
               {"website\xE2\x80\x99s", false, true},
               {"(color),", false, true},
               {"Pagelint\xE2\x80\x99s", false, true},
               {"don\xE2\x80\x99t", false, true},
               {"1,000.50", false, true},
               {"teh", false, false},
               {"pagelints", false, false},
               {"{SITE_NAME}", true, false},
               {"1024x768", true, false},
               {"\xC2\xAE\xE2\x84\xA2", true, false}};
  for (const auto& c : cases) {
    std::string word = c.word;
    ASSERT_EQ(speller->PreprocessWord(word), !c.skipped) << c.word;
    if (!c.skipped) {
      EXPECT_EQ(speller->LookUp(word, ids), c.known) << c.word;
    }
  }
  EXPECT_EQ(LogCount("{03C7C9A6-55A3-474E-BE43-6F6241B5E3FA}"), 0);
}

} // namespace
