#include "checking/BadWordsList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

/// Adds a word with locations in the given files (full paths) through the list.
CBadWord* AddWord(CBadWordsList& list, const std::string& text,
                  const std::vector<std::string>& paths) {
  list.AppendWord(std::make_unique<CBadWord>(text));
  CBadWord* word = list.FindWord(text);
  int line = 0;
  for (const std::string& path : paths) {
    list.AddLocation(word, path, line++, 0, 3, "ctx");
  }
  return word;
}

std::vector<std::string> Words(const CBadWordsList& list) {
  std::vector<std::string> words;
  for (auto position = list.GetHeadPosition(); position != 0;) {
    words.push_back(list.GetNext(position)->GetWord());
  }
  return words;
}

using Key = std::tuple<std::string, std::string, int, int>;

std::vector<Key> Keys(const CBadWord& word) {
  std::vector<Key> keys;
  for (const auto& loc : word.GetLocations()) {
    keys.emplace_back(loc.GetDirectory(), loc.GetFileName(), loc.line, loc.start);
  }
  return keys;
}

} // namespace

TEST(BadWordsList, FindsWordsByExactText) {
  CBadWordsList list;
  AddWord(list, "teh", {"/s/a.htm"});
  EXPECT_EQ(list.FindWord("Teh"), nullptr);
  ASSERT_NE(list.FindWord("teh"), nullptr);
  EXPECT_EQ(list.FindWord("teh")->GetWord(), "teh");
  // A second word of the same text is dropped, not listed twice.
  list.AppendWord(std::make_unique<CBadWord>("teh"));
  list.AppendWord(nullptr);
  EXPECT_EQ(list.GetWordCount(), 1);
}

TEST(BadWordsList, RemoveFileLocationsDropsOnlyWordsLeftWithoutFiles) {
  const struct {
    std::vector<std::string> paths;
    std::string removed;
    int filesLeft; // -1: the word is deleted
  } cases[] = {
      {{"/s/a.htm"}, "/s/a.htm", -1},
      {{"/s/a.htm", "/s/a.htm"}, "/s/a.htm", -1},
      {{"/s/a.htm", "/s/b.htm"}, "/s/a.htm", 1},
      {{"/s/a.htm"}, "", 1},
      {{"/s/a.htm"}, "/s/A.htm", 1},
      {{"/s/a.htm"}, "/s/", 1},
  };
  for (const auto& c : cases) {
    CBadWordsList list;
    AddWord(list, "first", {"/s/other.htm"});
    AddWord(list, "teh", c.paths);
    AddWord(list, "last", {"/s/other.htm"});
    list.RemoveFileLocations(c.removed);
    CBadWord* word = list.FindWord("teh");
    if (c.filesLeft < 0) {
      EXPECT_EQ(word, nullptr) << c.removed;
      EXPECT_EQ(Words(list), (std::vector<std::string>{"first", "last"}));
    } else {
      ASSERT_NE(word, nullptr) << c.removed;
      EXPECT_EQ(word->CountFiles(), c.filesLeft) << c.removed;
      EXPECT_FALSE(word->HasFile(c.removed));
      EXPECT_EQ(Words(list), (std::vector<std::string>{"first", "teh", "last"}));
    }
  }
}

// Locations added to a word before it is listed, or after it was sorted, are still
// found when their file's locations are removed.
TEST(BadWordsList, RemoveFileLocationsSeesEveryWayALocationArrives) {
  CBadWordsList list;
  auto word = std::make_unique<CBadWord>("early");
  word->AddLocation("/s/a.htm", 1, 0, 5, "");
  list.AppendWord(std::move(word));
  CBadWord* late = AddWord(list, "late", {"/s/b.htm"});
  list.SortLocations(late);
  list.RecordLocation("late", "/s/", "a.htm", 2, 0, 4, "");
  list.RemoveFileLocations("/s/a.htm");
  EXPECT_EQ(Words(list), (std::vector<std::string>{"late"}));
  EXPECT_EQ(list.FindWord("late")->GetLocations().GetCount(), 1);
  // Removing the same file again, or a file never seen, changes nothing.
  list.RemoveFileLocations("/s/a.htm");
  list.RemoveFileLocations("/s/none.htm");
  EXPECT_EQ(list.GetWordCount(), 1);
}

CBadWordsList::SFileFindings FileWord(const std::string& text, const std::vector<int>& lines) {
  CBadWordsList::SFileFindings found{text, {}};
  for (const int line : lines) {
    CBadWordsList::SFoundLocation& location = found.locations.emplace_back();
    location.line = line;
    location.start = 2;
    location.end = 5;
    location.column = 1;
    location.endColumn = 4;
    location.context = "ctx " + std::to_string(line);
  }
  return found;
}

// A file's findings recorded in one go: new words in the order given, known words
// extended, every word's locations sorted, and all of them removable with their file.
TEST(BadWordsList, RecordFileFindingsAppendsSortsAndIndexes) {
  CBadWordsList list;
  AddWord(list, "old", {"/s/z.htm"});
  std::vector<CBadWordsList::SFileFindings> found = {FileWord("new", {7, 3}), FileWord("none", {}),
                                                     FileWord("old", {4, 1}),
                                                     FileWord("next", {0})};
  list.RecordFileFindings("/s/", "b.htm", found);
  EXPECT_EQ(Words(list), (std::vector<std::string>{"old", "new", "next"}));
  EXPECT_EQ(Keys(*list.FindWord("new")),
            (std::vector<Key>{{"/s/", "b.htm", 3, 2}, {"/s/", "b.htm", 7, 2}}));
  EXPECT_EQ(
      Keys(*list.FindWord("old")),
      (std::vector<Key>{{"/s/", "b.htm", 1, 2}, {"/s/", "b.htm", 4, 2}, {"/s/", "z.htm", 0, 0}}));
  const CBadWordLoc& first = *list.FindWord("new")->GetLocations().begin();
  EXPECT_EQ(first.GetContext(), "ctx 3");
  EXPECT_EQ(first.column, 1);
  EXPECT_EQ(first.endColumn, 4);
  EXPECT_EQ(first.end, 5);
  // One record of the file serves all its locations, whatever their word.
  EXPECT_EQ(first.file, (*list.FindWord("old")->GetLocations().begin()).file);

  list.RemoveFileLocations("/s/b.htm");
  EXPECT_EQ(Words(list), (std::vector<std::string>{"old"}));
  EXPECT_EQ(list.FindWord("old")->GetLocations().GetCount(), 1);
}

// Kept as recorded, each word's locations stay in the order they were recorded;
// sorted, they follow file and line. Removing a page works either way.
TEST(BadWordsList, LocationsSortedOrAsRecorded) {
  using Order = CBadWordsList::ELocationOrder;
  const struct {
    Order order;
    std::vector<Key> keys;
  } cases[] = {
      {Order::kSorted, {{"/s/", "a.htm", 2, 2}, {"/s/", "a.htm", 5, 2}, {"/s/", "z.htm", 1, 2}}},
      {Order::kAsRecorded,
       {{"/s/", "z.htm", 1, 2}, {"/s/", "a.htm", 5, 2}, {"/s/", "a.htm", 2, 2}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.order));
    CBadWordsList list;
    list.SetLocationOrder(c.order);
    std::vector<CBadWordsList::SFileFindings> z = {FileWord("teh", {1})};
    std::vector<CBadWordsList::SFileFindings> a = {FileWord("teh", {5, 2})};
    list.RecordFileFindings("/s/", "z.htm", z);
    list.RecordFileFindings("/s/", "a.htm", a);
    EXPECT_EQ(Keys(*list.FindWord("teh")), c.keys);
    list.RemoveFileLocations("/s/a.htm");
    EXPECT_EQ(Keys(*list.FindWord("teh")), (std::vector<Key>{{"/s/", "z.htm", 1, 2}}));
  }
}

// Each location keeps its own excerpt while its page's excerpts grow (one at a time),
// while other pages come and go, and after its page is removed and checked again.
TEST(BadWordsList, ExcerptsStayWithTheirLocations) {
  CBadWordsList list;
  std::vector<CBadWordsList::SFileFindings> first = {FileWord("one", {2, 1}), FileWord("two", {0})};
  list.RecordFileFindings("/s/", "a.htm", first);
  std::vector<CBadWordsList::SFileFindings> other = {FileWord("two", {5})};
  list.RecordFileFindings("/s/", "b.htm", other);
  list.RecordLocation("one", "/s/", "c.htm", 3, 0, 3, "c short");
  list.RecordLocation("two", "/s/", "c.htm", 4, 0, 3, std::string(300, 'x'));
  list.RecordLocation("one", "/s/", "c.htm", 6, 0, 3, "c last");
  list.RemoveFileLocations("/s/a.htm");
  std::vector<CBadWordsList::SFileFindings> again = {FileWord("three", {8}), FileWord("two", {9})};
  list.RecordFileFindings("/s/", "a.htm", again);

  std::vector<std::string> seen;
  for (const std::string& text : Words(list)) {
    for (const auto& loc : list.FindWord(text)->GetLocations()) {
      seen.push_back(text + " " + loc.GetFileName() + ":" + std::to_string(loc.line) + " " +
                     std::string(loc.GetContext().substr(0, 8)));
    }
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"one c.htm:3 c short", "one c.htm:6 c last",
                                            "two a.htm:9 ctx 9", "two b.htm:5 ctx 5",
                                            "two c.htm:4 xxxxxxxx", "three a.htm:8 ctx 8"}));
  EXPECT_EQ(list.FindWord("two")->GetContextInFile("/s/c.htm"), std::string(300, 'x'));
}

// Locations recorded one at a time share their page's record while the page stays
// the same, whatever their word.
TEST(BadWordsList, RecordLocationSharesThePageOfTheLastLocation) {
  CBadWordsList list;
  const CBadWord* teh = list.RecordLocation("teh", "/s/", "a.htm", 0, 0, 3, "");
  const CBadWord* wrod = list.RecordLocation("wrod", "/s/", "a.htm", 1, 0, 4, "");
  list.RecordLocation("teh", "/s/", "b.htm", 2, 0, 3, "");
  const auto& tehLocations = teh->GetLocations();
  const CBadWordLoc& first = *tehLocations.begin();
  const CBadWordLoc& other = *std::next(tehLocations.begin());
  EXPECT_EQ(first.file, (*wrod->GetLocations().begin()).file);
  EXPECT_NE(first.file, other.file);
  EXPECT_EQ(other.GetFullPath(), "/s/b.htm");
  EXPECT_TRUE(
      first.IsInFileOf(CBadWordLoc{0, 0, 0, -1, -1, {}, 0, CBadWordFile::Make("/s/", "a.htm")}));
  EXPECT_EQ(CBadWordLoc().GetFullPath(), "");
}

// Taking the words hands over every word in list order with its locations and leaves
// an empty, usable list; a taken word no longer reports its files to the list.
TEST(BadWordsList, TakeWordsMovesThemOutInOrderAndEmptiesTheList) {
  CBadWordsList list;
  AddWord(list, "b", {"/s/a.htm", "/s/c.htm"});
  AddWord(list, "a", {"/s/a.htm"});
  std::vector<std::unique_ptr<CBadWord>> taken = list.TakeWords();
  std::vector<std::string> seen;
  for (const std::unique_ptr<CBadWord>& word : taken) {
    seen.push_back(word->GetWord() + ":" + std::to_string(word->GetLocations().GetCount()));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"b:2", "a:1"}));
  EXPECT_EQ(list.GetWordCount(), 0);
  EXPECT_EQ(list.FindWord("a"), nullptr);
  taken[0]->AddLocation("/s/d.htm", 0, 0, 1, "");
  list.RemoveFileLocations("/s/d.htm");
  list.RemoveFileLocations("/s/a.htm");
  AddWord(list, "a", {"/s/a.htm"});
  EXPECT_EQ(Words(list), (std::vector<std::string>{"a"}));
  EXPECT_EQ(taken[0]->GetLocations().GetCount(), 3);
}

TEST(BadWordsList, PointersFromCallersAreCheckedBeforeUse) {
  CBadWordsList list;
  CBadWord* kept = AddWord(list, "kept", {"/s/a.htm"});
  CBadWord stranger("stranger");
  list.RemoveWord(&stranger);
  list.RemoveWord(nullptr);
  list.AddLocation(&stranger, "/s/a.htm", 0, 0, 1, "");
  list.SortLocations(&stranger);
  EXPECT_EQ(stranger.GetLocations().GetCount(), 0);
  list.RemoveWord(kept);
  EXPECT_EQ(list.GetWordCount(), 0);
  EXPECT_EQ(list.FindWord("kept"), nullptr);
}

TEST(BadWordsList, WalkSurvivesRemovalsBetweenSteps) {
  CBadWordsList list;
  for (const char* text : {"a", "b", "c", "d"}) {
    AddWord(list, text, {"/s/x.htm"});
  }
  auto position = list.GetHeadPosition();
  std::vector<std::string> seen;
  while (position != 0) {
    CBadWord* word = list.GetNext(position);
    seen.push_back(word->GetWord());
    if (seen.size() == 1) {
      list.RemoveWord(list.FindWord("d"));
    }
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
  list.ClearWords();
  position = 1;
  EXPECT_EQ(list.GetNext(position), nullptr);
  EXPECT_EQ(position, 0U);
}

// Recorders find listed words under reader access and append under writer access while
// the user removes words and files: ThreadSanitizer sees any look-up made outside the
// lock, and no word may end up listed twice or left without a location.
TEST(BadWordsList, RecordersAndRemovalsInterleaveSafely) {
  CBadWordsList list;
  const std::vector<std::string> texts = {"a", "b", "c", "d", "e", "f"};
  const auto record = [&](int thread) {
    for (int page = 0; page < 400; ++page) {
      std::vector<CBadWordsList::SFileFindings> found;
      for (std::size_t k = 0; k < texts.size(); k += 1 + static_cast<std::size_t>(page % 2)) {
        found.push_back(FileWord(texts[k], {page}));
      }
      list.RecordFileFindings("/s/", std::to_string(thread) + "-" + std::to_string(page) + ".htm",
                              found);
    }
  };
  {
    const std::jthread first(record, 1);
    const std::jthread second(record, 2);
    for (int round = 0; round < 400; ++round) {
      list.RemoveWord(list.FindWord(texts[static_cast<std::size_t>(round) % texts.size()]));
      if (round % 50 == 0) {
        list.RemoveFileLocations("/s/1-" + std::to_string(round) + ".htm");
      }
    }
  }
  std::vector<std::string> listed = Words(list);
  for (const std::string& text : listed) {
    EXPECT_FALSE(list.FindWord(text)->GetLocations().IsEmpty()) << text;
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end());
}

TEST(BadWord, AddLocationSplitsThePathAndTellsWhetherTheFileWasThere) {
  CBadWord word("teh");
  EXPECT_FALSE(word.AddLocation("/site/sub/page.htm", 3, 4, 7, "a teh b"));
  EXPECT_TRUE(word.AddLocation("/site/sub/page.htm", 5, 0, 3, "teh"));
  EXPECT_FALSE(word.AddLocation("/site/page.htm", 0, 0, 3, ""));
  const CBadWordLoc& first = *word.GetLocations().begin();
  EXPECT_EQ(first.GetDirectory(), "/site/sub/");
  EXPECT_EQ(first.GetFileName(), "page.htm");
  EXPECT_EQ(first.GetFullPath(), "/site/sub/page.htm");
  EXPECT_EQ(word.GetContextInFile("/site/sub/page.htm"), "a teh b");
  EXPECT_EQ(word.GetContextInFile("/site/sub/PAGE.htm"), "");
  EXPECT_EQ(word.CountFiles(), 2);
}

TEST(BadWord, CountFilesAndNextFileWalkPathsExactly) {
  const struct {
    std::vector<std::string> paths;
    int count;
    std::vector<std::string> walk;
  } cases[] = {
      {{"x", "y", "x"}, 2, {"x", "y", "x"}},
      {{"x", "x", "y", "x"}, 2, {"x", "y", "x"}},
      {{"/d/a.htm", "/d/A.htm"}, 2, {"/d/a.htm", "/d/A.htm"}},
      {{}, 0, {}},
  };
  for (const auto& c : cases) {
    CBadWord word("w");
    for (const std::string& path : c.paths) {
      word.AddLocation(path, 0, 0, 1, "");
    }
    EXPECT_EQ(word.CountFiles(), c.count);
    std::vector<std::string> walk;
    auto cursor = word.GetLocations().begin();
    for (std::string path = word.NextFile(cursor); !path.empty(); path = word.NextFile(cursor)) {
      walk.push_back(path);
    }
    EXPECT_EQ(walk, c.walk);
    EXPECT_EQ(word.NextFile(cursor), "");
  }
}

TEST(BadWord, SortsTenReversedLocationsByFolderNameLineAndStart) {
  CBadWord word("w");
  std::vector<Key> expected;
  for (int k = 0; k < 10; ++k) {
    const std::string dir = k < 5 ? "/a/" : "/B/";
    const std::string name = k % 5 < 3 ? "x.htm" : "Y.htm";
    expected.emplace_back(dir, name, k % 3, k);
  }
  std::sort(expected.begin(), expected.end(), [](const Key& a, const Key& b) {
    return std::make_tuple(std::get<0>(a) == "/B/", std::get<1>(a) == "Y.htm", std::get<2>(a),
                           std::get<3>(a)) < std::make_tuple(std::get<0>(b) == "/B/",
                                                             std::get<1>(b) == "Y.htm",
                                                             std::get<2>(b), std::get<3>(b));
  });
  for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
    word.AddLocation(std::get<0>(*it) + std::get<1>(*it), std::get<2>(*it), std::get<3>(*it), 0,
                     "");
  }
  word.SortLocations();
  EXPECT_EQ(Keys(word), expected);
}

// "B/" + "a.htm" and "b/" + "A.htm" are equal on the first two keys, so line decides,
// and equal keys keep the order in which they were added.
TEST(BadWord, SortComparesFolderAndNameWithoutCaseAndIsStable) {
  CBadWord word("w");
  word.AddLocation("/s/B/a.htm", 2, 0, 1, "first");
  word.AddLocation("/s/b/A.htm", 1, 0, 1, "");
  word.AddLocation("/s/B/a.htm", 1, 0, 1, "");
  word.AddLocation("/s/b/A.htm", 2, 0, 1, "second");
  word.SortLocations();
  std::vector<std::string> order;
  for (const auto& loc : word.GetLocations()) {
    order.push_back(loc.GetFullPath() + ":" + std::to_string(loc.line) +
                    std::string(loc.GetContext()));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"/s/b/A.htm:1", "/s/B/a.htm:1", "/s/B/a.htm:2first",
                                             "/s/b/A.htm:2second"}));
}

// Sorting after each batch of new locations (merging them in) must give exactly what
// one stable sort of everything gives, whatever was removed in between.
TEST(BadWord, RepeatedSortsEqualOneStableSort) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    CBadWord word("w");
    std::vector<Key> all;
    for (int batch = 0; batch < 6; ++batch) {
      const int count = static_cast<int>(random() % 12);
      for (int k = 0; k < count; ++k) {
        const std::string dir = "/s/" + std::string(1, static_cast<char>('a' + random() % 3)) + "/";
        const std::string name = std::string(1, static_cast<char>('p' + random() % 3)) + ".htm";
        const int line = static_cast<int>(random() % 4);
        const int start = static_cast<int>(random() % 4);
        word.AddLocation(dir + name, line, start, start + 1, "");
        all.emplace_back(dir, name, line, start);
      }
      if (batch == 3) {
        word.RemoveLocationsOfFile("/s/a/p.htm");
        std::erase_if(all, [](const Key& key) {
          return std::get<0>(key) == "/s/a/" && std::get<1>(key) == "p.htm";
        });
      }
      word.SortLocations();
      std::stable_sort(all.begin(), all.end());
      ASSERT_EQ(Keys(word), all) << "round " << round << " batch " << batch;
    }
  }
}

// The scan adds one file's locations at a time; each file finds its place without a
// walk of the whole list. Whatever the order of files, names differing in case only,
// removals and files found again, the result is that of one stable sort of them all.
TEST(BadWord, FileByFileSortsEqualOneStableSort) {
  const std::vector<std::string> dirs = {"/s/", "/s/a/", "/s/A/", "/s/b/", "/s/a/c/"};
  const std::vector<std::string> names = {"p.htm", "P.htm", "q.htm", "a.htm"};
  std::mt19937 random(11);
  for (int round = 0; round < 30; ++round) {
    CBadWord word("w");
    std::vector<std::tuple<std::string, int, int>> added; // path, line, start in add order
    for (int file = 0; file < 25; ++file) {
      const std::string path = dirs[random() % dirs.size()] + names[random() % names.size()];
      if (random() % 5 == 0) {
        word.RemoveLocationsOfFile(path);
        std::erase_if(added, [&](const auto& loc) { return std::get<0>(loc) == path; });
      }
      const int count = 1 + static_cast<int>(random() % 3);
      for (int k = 0; k < count; ++k) {
        const int line = static_cast<int>(random() % 5);
        const int start = static_cast<int>(random() % 5);
        word.AddLocation(path, line, start, start + 1, "");
        added.emplace_back(path, line, start);
      }
      word.SortLocations();
      CBadWord expected("w");
      for (const auto& [p, line, start] : added) {
        expected.AddLocation(p, line, start, start + 1, "");
      }
      expected.SortLocations();
      ASSERT_EQ(Keys(word), Keys(expected)) << "round " << round << " file " << file;
    }
  }
}
