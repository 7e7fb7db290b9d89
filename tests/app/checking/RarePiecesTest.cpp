#include "checking/RarePieces.h"
#include "checking/BadWordsList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

/// One word of a page: its text and, written like code, its unknown pieces.
struct SPageWord {
  std::string text;
  std::string pieces;
};

void RecordPage(CBadWordsList& list, const std::string& page, const std::vector<SPageWord>& words,
                int duplicate = 0) {
  std::vector<CBadWordsList::SFileFindings> found;
  for (const SPageWord& word : words) {
    CBadWordsList::SFileFindings& finding = found.emplace_back();
    finding.text = word.text;
    finding.pieces = word.pieces;
    finding.duplicate = duplicate;
    finding.locations.emplace_back().line = 1;
  }
  list.RecordFileFindings("/site/", page, found);
}

std::set<std::string> Shown(const CBadWordsList& list) {
  std::set<std::string> shown;
  // Walked as callers do, until the position ends: hidden words leave no gap in it.
  for (CBadWordsList::POSITION position = list.GetHeadPosition(); position != 0;) {
    const CBadWord* word = list.GetNext(position);
    if (word == nullptr) {
      ADD_FAILURE() << "a position that names no word";
      break;
    }
    shown.insert(word->GetWord());
  }
  EXPECT_EQ(static_cast<int>(shown.size()), list.GetWordCount());
  return shown;
}

const SPageWord kAutoVaccum{"auto_vaccum", "vaccum\n"};
const SPageWord kVaccumX{"vaccum_x", "vaccum\n"};
const SPageWord kMyVaccum{"my.vaccum", "vaccum\n"};
const SPageWord kPlainVaccum{"Vaccum", ""};
const SPageWord kTwoPieces{"vaccum_setlk", "vaccum\nsetlk\n"};

TEST(RarePieces, AWordWrittenLikeCodeShowsWhileOneOfItsPiecesIsRare) {
  const struct {
    const char* what;
    std::vector<std::vector<SPageWord>> pages;
    std::set<std::string> shown;
  } cases[] = {
      {"one piece in two words", {{kAutoVaccum}, {kVaccumX}}, {"auto_vaccum", "vaccum_x"}},
      {"one piece in three words", {{kAutoVaccum}, {kVaccumX, kMyVaccum}}, {}},
      {"three words on one page", {{kAutoVaccum, kVaccumX, kMyVaccum}}, {}},
      {"the same word on many pages counts once",
       {{kAutoVaccum}, {kAutoVaccum}, {kAutoVaccum}, {kVaccumX}},
       {"auto_vaccum", "vaccum_x"}},
      {"a plain word that is the piece counts, and always shows",
       {{kPlainVaccum}, {kAutoVaccum, kVaccumX}},
       {"Vaccum"}},
      {"the plain word found after the code words counts too",
       {{kAutoVaccum, kVaccumX}, {kPlainVaccum}},
       {"Vaccum"}},
      {"another rare piece keeps a word shown",
       {{kAutoVaccum, kVaccumX, kTwoPieces}},
       {"vaccum_setlk"}},
      {"plain words without code", {{{"teh", ""}, {"wrold", ""}}}, {"teh", "wrold"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CBadWordsList list;
    for (std::size_t page = 0; page < c.pages.size(); ++page) {
      RecordPage(list, "p" + std::to_string(page) + ".html", c.pages[page]);
    }
    EXPECT_EQ(Shown(list), c.shown);
  }
}

TEST(RarePieces, ARecheckMakesAPieceRareOrCommonAgain) {
  CBadWordsList list;
  RecordPage(list, "a.html", {kAutoVaccum});
  RecordPage(list, "b.html", {kVaccumX});
  RecordPage(list, "c.html", {kMyVaccum, {"teh", ""}});
  EXPECT_EQ(Shown(list), std::set<std::string>{"teh"});
  // c.html is checked again and no longer holds the identifier: the piece is rare.
  list.RemoveFileLocations("/site/c.html");
  RecordPage(list, "c.html", {{"teh", ""}});
  EXPECT_EQ(Shown(list), (std::set<std::string>{"auto_vaccum", "vaccum_x", "teh"}));
  // ... and a plain "VACCUM" on a new page makes it common again.
  RecordPage(list, "d.html", {{"VACCUM", ""}});
  EXPECT_EQ(Shown(list), (std::set<std::string>{"VACCUM", "teh"}));
  list.RemoveFileLocations("/site/d.html");
  EXPECT_EQ(Shown(list), (std::set<std::string>{"auto_vaccum", "vaccum_x", "teh"}));
}

TEST(RarePieces, RemovalsClearsAndTakingKeepTheCountsRight) {
  CBadWordsList list;
  RecordPage(list, "a.html", {kAutoVaccum, kVaccumX, kMyVaccum});
  EXPECT_EQ(list.GetWordCount(), 0);
  // The user removes a hidden word (ignored elsewhere): the two left are rare.
  EXPECT_TRUE(list.RemoveWord("my.vaccum", 0));
  EXPECT_EQ(Shown(list), (std::set<std::string>{"auto_vaccum", "vaccum_x"}));
  list.ClearWords();
  EXPECT_EQ(list.GetWordCount(), 0);
  RecordPage(list, "a.html", {kAutoVaccum, kVaccumX, kMyVaccum});
  RecordPage(list, "a.html", {{"auto_vaccum", ""}}, 1);
  // A repeated word never counts and always shows.
  EXPECT_EQ(Shown(list), std::set<std::string>{"auto_vaccum"});
  const std::vector<std::unique_ptr<CBadWord>> taken = list.TakeWords();
  EXPECT_EQ(taken.size(), 4U);
  EXPECT_EQ(
      std::count_if(taken.begin(), taken.end(), [](const auto& word) { return word->IsHidden(); }),
      3);
  EXPECT_EQ(list.GetWordCount(), 0);
  RecordPage(list, "b.html", {kAutoVaccum});
  EXPECT_EQ(Shown(list), std::set<std::string>{"auto_vaccum"});
}

} // namespace
