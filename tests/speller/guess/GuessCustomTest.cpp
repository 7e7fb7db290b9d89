#include "speller/facade/SpellerFixture.h"

#include "guess/GuessCustom.h"

#include "utilcore/FileWriteFaults.h"

#include <string>
#include <vector>

namespace {

using spellertest::SpellerTest;
using Words = std::vector<std::string>;

constexpr const char* kLogMissing = "{FA9A205F-C83D-4C55-ACEE-33DB205395D7}";
constexpr const char* kLogEmpty = "{A1A7C73A-FFBA-4963-AEFA-99D966414AC2}";
constexpr const char* kLogFormat = "{BB412687-5950-455A-851B-29AC5C89870B}";
constexpr const char* kLogWrite = "{25B7EE25-BAB1-4604-A5CF-19277C4A7653}";

std::string U32(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) {
    bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return bytes;
}
std::string Str(const std::string& text) {
  return static_cast<char>(text.size()) + text;
}
std::string Version(int version) {
  return {static_cast<char>(version), '\0'};
}

/// {"recieve": ["receive"], "teh": ["the", "tea"]} in the current form.
const std::string kTwoEntries = Version(2) + U32(2) + Str("recieve") + U32(1) + Str("receive") +
                                Str("teh") + U32(2) + Str("the") + Str("tea");

class GuessCustomTest : public SpellerTest {
protected:
  std::string FilePath() const { return CustomFolder() + "common_custom_guess.dat"; }
  void WriteGuesses(const std::string& bytes) const { WriteFile(FilePath(), bytes); }
  std::string FileBytes() const { return testkit::ReadBytes(FilePath()); }
  static Words Suggest(CGuessCustom& guess, const std::string& word) {
    Words out;
    guess.MakeGuesses(word, {}, out, false, nullptr);
    return out;
  }
};

TEST_F(GuessCustomTest, MissingAndEmptyFilesAreEmptyTables) {
  CGuessCustom missing;
  EXPECT_TRUE(missing.Load());
  EXPECT_TRUE(missing.GetTable().empty());
  EXPECT_EQ(LogCount(kLogMissing), 1);

  WriteGuesses("");
  CGuessCustom empty;
  EXPECT_TRUE(empty.Load());
  EXPECT_TRUE(empty.GetTable().empty());
  EXPECT_EQ(LogCount(kLogEmpty), 1);
}

TEST_F(GuessCustomTest, SavesTheKnownBytesAndReadsThemBack) {
  CGuessCustom guess;
  guess.AddGuess("Teh", "The");
  guess.AddGuess("RECIEVE", "receive");
  guess.AddGuess("teh", "TEA");
  EXPECT_EQ(FileBytes(), kTwoEntries);

  CGuessCustom again;
  EXPECT_TRUE(again.Load());
  EXPECT_EQ(again.GetTable(), guess.GetTable());
  EXPECT_EQ(Suggest(again, "Teh"), (Words{"The", "Tea"}));
  EXPECT_EQ(Suggest(again, "RECIEVE"), Words{"RECEIVE"});
  EXPECT_TRUE(Suggest(again, "other").empty());
}

TEST_F(GuessCustomTest, LoadKeepsTheListsOfKeysAlreadyLearned) {
  CGuessCustom guess;
  guess.AddGuess("teh", "ten");
  WriteGuesses(kTwoEntries);
  EXPECT_TRUE(guess.Load());
  EXPECT_EQ(guess.GetTable().at("teh"), Words{"ten"});
  EXPECT_EQ(guess.GetTable().at("recieve"), Words{"receive"});
}

TEST_F(GuessCustomTest, VersionOneKeepsTheLastReplacementAndIsRewrittenAsTwo) {
  WriteGuesses(Version(1) + U32(1) + Str("teh") + U32(2) + Str("tea") + Str("the"));
  CGuessCustom guess;
  EXPECT_TRUE(guess.Load());
  EXPECT_EQ(guess.GetTable().at("teh"), Words{"the"});
  EXPECT_EQ(FileBytes(), Version(2) + U32(1) + Str("teh") + U32(1) + Str("the"));
}

TEST_F(GuessCustomTest, VersionZeroHoldsKeysOnly) {
  WriteGuesses(Version(0) + U32(2) + Str("abc") + Str("teh"));
  CGuessCustom guess;
  EXPECT_TRUE(guess.Load());
  EXPECT_EQ(guess.GetTable(), (CGuessCustom::Table{{"abc", {}}, {"teh", {}}}));
}

TEST_F(GuessCustomTest, LaterVersionsReadLikeTwo) {
  std::string bytes = kTwoEntries;
  bytes[0] = 7;
  WriteGuesses(bytes);
  CGuessCustom guess;
  EXPECT_TRUE(guess.Load());
  EXPECT_EQ(guess.GetTable().at("teh"), (Words{"the", "tea"}));
  EXPECT_EQ(FileBytes(), bytes); // only version 1 is rewritten
}

TEST_F(GuessCustomTest, SixteenBitStringsAreRead) {
  const std::string wide("\xFF\xFE\xFF\x03t\0e\0h\0", 10);
  WriteGuesses(Version(2) + U32(1) + wide + U32(1) + std::string("\xFF\xFE\xFF\x03", 4) +
               std::string("t\0h\0\xE9\0", 6));
  CGuessCustom guess;
  EXPECT_TRUE(guess.Load());
  EXPECT_EQ(guess.GetTable().at("teh"), Words{"th\xC3\xA9"});
}

// Found by fuzzing: a 16-bit key holding two double-struck capital P (U+2119), which
// have no lower case, is its own lower case, yet its replacements came back in capitals
// as if the word had been typed so.
TEST_F(GuessCustomTest, KeyOfCapitalsWithoutSmallFormsGivesItsReplacementsAsRead) {
  static constexpr char kFuzzed[] =
      "\x02\x20\x01\x00\x00\x00\xFF\xFE\xFF\x26\xFF\x74\x68\x61\x03\x00"
      "\x03\x6F\x00\x00\x00\x00\x00\xFF\xFE\xFF\x06\x53\x19\x19\x19\x11"
      "\x19\x19\xF1\x19\x19\x19\x19\x19\x19\x19\x19\x19\x19\x19\x19\x19"
      "\x19\x19\x19\x19\x19\x19\x19\x19\x19\x19\x19\x19\x19\x21\x19\x19"
      "\x19\x19\x19\x19\x19\x19\x19\x21\x19\x19\x19\x19\x19\x19\x19\x19"
      "\x19\x19\x19\x19\x01\x00\x02\x00\x00\x00\x03\x74\x65\x68\x02\x1C"
      "\x1C\x1C\x1C\x1C\x19\x19\x19\x19\x19\x1C\x19";
  const std::string plain = "\u2119\u2119";
  for (const std::string& bytes :
       {std::string(kFuzzed, sizeof kFuzzed - 1),
        Version(2) + U32(1) + Str(plain) + U32(2) + Str("teh") + Str("tea")}) {
    WriteGuesses(bytes);
    CGuessCustom guess;
    ASSERT_TRUE(guess.Load());
    ASSERT_EQ(guess.GetTable().size(), 1U);
    const auto& [key, replacements] = *guess.GetTable().begin();
    EXPECT_EQ(Suggest(guess, key), replacements);
  }
  CGuessCustom guess;
  EXPECT_EQ(Suggest(guess, plain), (Words{"teh", "tea"}));
}

TEST_F(GuessCustomTest, TruncatedAnywhereKeepsWholeEntriesReadBefore) {
  for (std::size_t size = 1; size < kTwoEntries.size(); ++size) {
    WriteGuesses(kTwoEntries.substr(0, size));
    CGuessCustom guess;
    EXPECT_FALSE(guess.Load()) << size;
    const bool firstWhole = size >= 2 + 4 + 8 + 4 + 8;
    EXPECT_EQ(guess.GetTable().size(), firstWhole ? 1U : 0U) << size;
    EXPECT_EQ(LogCount(kLogFormat), static_cast<int>(size)) << size;
  }
}

TEST_F(GuessCustomTest, HugeCountsAreRefusedWithoutAllocating) {
  for (const std::string& bytes :
       {Version(2) + U32(0xFFFFFFFF) + Str("teh"),
        Version(2) + U32(1) + Str("teh") + U32(0xFFFFFFFF) + Str("the"),
        Version(2) + U32(1) + std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7) + "teh"}) {
    WriteGuesses(bytes);
    CGuessCustom guess;
    EXPECT_FALSE(guess.Load());
    EXPECT_TRUE(guess.GetTable().empty());
  }
  EXPECT_EQ(LogCount(kLogFormat), 3);
}

TEST_F(GuessCustomTest, FailedLoadIsTriedAgainOnTheNextGuess) {
  WriteGuesses(kTwoEntries.substr(0, 10));
  CGuessCustom guess;
  EXPECT_TRUE(Suggest(guess, "teh").empty());
  WriteGuesses(kTwoEntries);
  EXPECT_EQ(Suggest(guess, "teh"), (Words{"the", "tea"}));
}

TEST_F(GuessCustomTest, FailedSaveKeepsTheOldFile) {
  WriteGuesses(kTwoEntries);
  CGuessCustom guess;
  ASSERT_TRUE(guess.Load());
  for (const auto stage : {CFileWriteFaults::EStage::Open, CFileWriteFaults::EStage::Write,
                           CFileWriteFaults::EStage::Rename}) {
    CFileWriteFaults::Inject(stage, 3);
    guess.AddGuess("wierd", "weird");
    CFileWriteFaults::Clear();
    EXPECT_EQ(FileBytes(), kTwoEntries);
  }
  EXPECT_EQ(LogCount(kLogWrite), 3);
  // The table still holds what was learned; the next save writes all of it.
  guess.AddGuess("adn", "and");
  CGuessCustom again;
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.GetTable().at("wierd"), (Words{"weird", "weird", "weird"}));
}

} // namespace
