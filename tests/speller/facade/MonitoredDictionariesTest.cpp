#include "speller/facade/SpellerFixture.h"

#include "spellcore/SpellChecker.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

namespace {

namespace fs = std::filesystem;
using spellertest::CDictChangedRecorder;
using spellertest::SpellerTest;

// The speller's own monitors at work: real files and Wine's registry file change, and
// the user interface thread pumps its messages until the registry has caught up.
class MonitoredDictionariesTest : public SpellerTest {
protected:
  void SetUp() override {
    SpellerTest::SetUp();
    WriteDic("a.dic", "alpha\n");
  }

  int IdOf(const std::string& name) const {
    return CSpellChecker::GetInstance()->GetDictionaryID(name);
  }
  bool WasNoticed(int id, long parameter) const {
    return std::find(m_recorder.notices.begin(), m_recorder.notices.end(),
                     std::make_pair(id, parameter)) != m_recorder.notices.end();
  }

  CDictChangedRecorder m_recorder;
};

TEST_F(MonitoredDictionariesTest, FolderChangesAddAndDropDictionaries) {
  CSpellChecker& speller = StartSpeller();
  speller.SetMsgWindow(m_recorder.GetSafeHwnd(), 3);
  ASSERT_EQ(IdOf("a"), 1);
  ASSERT_EQ(IdOf("ZEB Custom"), 2);

  fs::remove(CustomFolder() + "a.dic");
  EXPECT_TRUE(PumpUntil([&] { return IdOf("a") == -1 && WasNoticed(1, 3); }));

  WriteDic("b.dic", "beta\n");
  EXPECT_TRUE(PumpUntil([&] { return IdOf("b") != -1; }));
  EXPECT_EQ(IdOf("b"), 3);
  EXPECT_TRUE(speller.LookUp("Beta", {3}));

  fs::rename(CustomFolder() + "b.dic", CustomFolder() + "c_d.dic");
  EXPECT_TRUE(PumpUntil([&] { return IdOf("b") == -1 && IdOf("c d") != -1; }));
  EXPECT_GT(IdOf("c d"), 3);
  EXPECT_TRUE(PumpUntil([&] { return WasNoticed(3, 3); }));
  EXPECT_EQ(IdOf("ZEB Custom"), 2);
}

TEST_F(MonitoredDictionariesTest, SavedEditsAndOutsideEditsAreReported) {
  CSpellChecker& speller = StartSpeller();
  speller.SetMsgWindow(m_recorder.GetSafeHwnd(), 11);
  speller.AddWord(2, "gamma");
  EXPECT_TRUE(PumpUntil([&] { return WasNoticed(2, 11); }));

  ASSERT_TRUE(speller.LookUp("alpha", {1}));
  WriteDic("a.dic", "alpha\nchanged\n");
  EXPECT_TRUE(PumpUntil([&] { return WasNoticed(1, 11); }));
  // The words in memory are not read again; the program decides what to do.
  EXPECT_FALSE(speller.LookUp("changed", {1}));
}

TEST_F(MonitoredDictionariesTest, WordListChangesAddAndDropWordDictionaries) {
  WriteFile(ConfigDir() + "Microsoft/Proof/MINE.DIC", "mine\n");
  WriteFile(ConfigDir() + "Microsoft/Proof/NEW.DIC", "newer\n");
  WriteUserReg("\"1\"=\"MINE.DIC\"");
  CSpellChecker& speller = StartSpeller();
  speller.SetMsgWindow(m_recorder.GetSafeHwnd(), 0);
  const int mine = IdOf("Microsoft Word MINE");
  ASSERT_NE(mine, -1);

  WriteUserReg("\"1\"=\"NEW.DIC\"\n\"2\"=\"C:\\\\nowhere\\\\GONE.DIC\"");
  EXPECT_TRUE(PumpUntil(
      [&] { return IdOf("Microsoft Word NEW") != -1 && IdOf("Microsoft Word MINE") == -1; }));
  EXPECT_TRUE(PumpUntil([&] { return WasNoticed(mine, 0); }));
  EXPECT_TRUE(speller.LookUp("Newer", {IdOf("Microsoft Word NEW")}));
}

} // namespace
