#include "utilcore/TextArray.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedTempDir.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST(TextArray, BasicOperationsAndOutOfRangeAccess) {
  TextArray array;
  EXPECT_TRUE(array.IsEmpty());
  EXPECT_EQ(array.Add("a"), 0u);
  EXPECT_EQ(array.Add("b"), 1u);
  EXPECT_EQ(array.GetCount(), 2u);
  EXPECT_EQ(array.GetAt(1), "b");
  EXPECT_EQ(array.GetAt(2), "");
  EXPECT_TRUE(array.Replace(0, "z"));
  EXPECT_FALSE(array.Replace(5, "y"));
  EXPECT_EQ(array.Items(), (Strings{"z", "b"}));

  TextArray copy = array;
  copy.Add("c");
  EXPECT_EQ(array.GetCount(), 2u);
  copy = array;
  EXPECT_EQ(copy, array);

  Strings list = {"old"};
  array.CopyToList(list);
  EXPECT_EQ(list, (Strings{"z", "b"}));
  Strings out;
  array.CopyToStringArray(out);
  EXPECT_EQ(out, list);

  array.DeleteAll();
  EXPECT_TRUE(array.IsEmpty());
}

struct SortCase {
  std::string name;
  bool ascending;
  bool caseSensitive;
  bool naturalNumbers;
  Strings in;
  Strings out;
};

class TextArraySort : public testing::TestWithParam<SortCase> {};

TEST_P(TextArraySort, OrdersAndFindsWithTheSameFlags) {
  const SortCase& c = GetParam();
  TextArray array(c.in);
  array.Sort(c.ascending, c.caseSensitive, c.naturalNumbers, true);
  EXPECT_EQ(array.Items(), c.out);
  for (std::size_t k = 0; k < array.GetCount(); ++k) {
    bool found = false;
    const std::size_t index =
        array.Find(array[k], c.ascending, found, c.caseSensitive, c.naturalNumbers, true);
    EXPECT_TRUE(found) << array[k];
    EXPECT_LE(index, k) << array[k];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextArraySort,
    testing::Values(
        // The custom dictionary: bytes, so upper case before lower case.
        SortCase{"Bytes",
                 true,
                 true,
                 false,
                 {"b", "\u00E9", "B", "a", "ab", ""},
                 {"", "B", "a", "ab", "b", "\u00E9"}},
        // The dictionary editor: letters compared case-folded, equal ones kept in order.
        SortCase{"NoCaseStable",
                 true,
                 false,
                 false,
                 {"b", "A", "\u00C9", "a", "B", "\u00E9"},
                 {"A", "a", "b", "B", "\u00C9", "\u00E9"}},
        // File paths: numbers by value, leading zeros still distinct.
        SortCase{"Natural",
                 true,
                 false,
                 true,
                 {"page10.htm", "page2.htm", "Page1.htm", "a1", "a01", "x/9/b", "x/10/a"},
                 {"a01", "a1", "Page1.htm", "page2.htm", "page10.htm", "x/9/b", "x/10/a"}},
        SortCase{"Descending", false, true, false, {"a", "c", "b"}, {"c", "b", "a"}},
        SortCase{"Empty", true, true, false, {}, {}}),
    [](const testing::TestParamInfo<SortCase>& param) { return param.param.name; });

TEST(TextArrayFind, InsertionPointKeepsTheOrderForEveryFlagCombination) {
  std::mt19937 random(7);
  const Strings pieces = {"a", "B", "b", "\u00E9", "\u00C9", "1", "10", "2", "0", "-"};
  const auto make = [&] {
    std::string text;
    const int parts = static_cast<int>(random() % 4);
    for (int k = 0; k < parts; ++k) {
      text += pieces[random() % pieces.size()];
    }
    return text;
  };
  for (int flags = 0; flags < 8; ++flags) {
    const bool ascending = (flags & 1) != 0;
    const bool caseSensitive = (flags & 2) != 0;
    const bool natural = (flags & 4) != 0;
    TextArray array;
    for (int k = 0; k < 60; ++k) {
      array.Add(make());
    }
    array.Sort(ascending, caseSensitive, natural, true);
    for (int probe = 0; probe < 40; ++probe) {
      const std::string text = make();
      bool found = false;
      const std::size_t index = array.Find(text, ascending, found, caseSensitive, natural, true);
      ASSERT_LE(index, array.GetCount());
      // Inserting at the index must leave a sorted array: sorting again changes nothing.
      TextArray inserted = array;
      inserted.Items().insert(inserted.Items().begin() + static_cast<std::ptrdiff_t>(index), text);
      TextArray resorted = inserted;
      resorted.Sort(ascending, caseSensitive, natural, true);
      EXPECT_EQ(resorted, inserted) << "flags " << flags << " probe " << text;
      const bool equalAtIndex =
          index < array.GetCount() &&
          (caseSensitive ? array[index] == text
                         : CStringUtils::CompareNoCase(array[index], text) == 0);
      if (!natural) {
        EXPECT_EQ(found, equalAtIndex) << "flags " << flags << " probe " << text;
      }
    }
  }
}

TEST(TextArrayFind, EmptyArrayAndMissingEntries) {
  TextArray array;
  bool found = true;
  EXPECT_EQ(array.Find("x", true, found, true, false, true), 0u);
  EXPECT_FALSE(found);

  array = TextArray{"apple", "banana", "cherry"};
  EXPECT_EQ(array.Find("banana", true, found, true, false, false), 1u);
  EXPECT_TRUE(found);
  EXPECT_EQ(array.Find("blueberry", true, found, true, false, true), 2u);
  EXPECT_FALSE(found);
  EXPECT_EQ(array.Find("zucchini", true, found, true, false, true), 3u);
  EXPECT_FALSE(found);
  EXPECT_EQ(array.Find("Banana", true, found, true, false, true), 0u);
  EXPECT_FALSE(found);
  EXPECT_EQ(array.Find("Banana", true, found, false, false, true), 1u);
  EXPECT_TRUE(found);
}

TEST(TextArrayFind, FirstMatchAmongEqualEntries) {
  TextArray array{"a", "A", "a", "b"};
  array.Sort(true, false, false, true);
  bool found = false;
  EXPECT_EQ(array.Find("A", true, found, false, false, true), 0u);
  EXPECT_TRUE(found);
}

TEST(TextArrayRemoveDuplicates, AsTheCustomDictionaryAndCountFilesUseIt) {
  TextArray words{"b", "a", "b", "a", "c", "B"};
  words.Sort(true, true, false, true);
  words.RemoveDuplicates(true, false, true);
  EXPECT_EQ(words.Items(), (Strings{"B", "a", "b", "c"}));

  TextArray paths{"/s/x.htm", "/s/y.htm", "/s/x.htm"};
  paths.Sort(true, false, true, true);
  paths.RemoveDuplicates(false, true, true);
  EXPECT_EQ(paths.GetCount(), 2u);

  TextArray numbered{"a01", "a1", "a1"};
  numbered.Sort(true, false, true, true);
  numbered.RemoveDuplicates(false, true, true);
  EXPECT_EQ(numbered.Items(), (Strings{"a01", "a1"}));
}

TEST(TextArrayRemoveDuplicates, UnsortedKeepsFirstOccurrencesInOrder) {
  TextArray words{"b", "a", "B", "c", "a", "b"};
  words.RemoveDuplicates(true, false, false);
  EXPECT_EQ(words.Items(), (Strings{"b", "a", "B", "c"}));
  words.RemoveDuplicates(false, false, false);
  EXPECT_EQ(words.Items(), (Strings{"b", "a", "c"}));
}

TEST(TextArrayFindWithin, FirstEntryContainingText) {
  const TextArray paths{"/p/a/prefs.js", "/p/b/persdict.dat", "/p/c/persdict.dat"};
  bool found = false;
  EXPECT_EQ(paths.FindWithin("persdict.dat", found), 1u);
  EXPECT_TRUE(found);
  EXPECT_EQ(paths.FindWithin("PERSDICT.DAT", found), TextArray::npos);
  EXPECT_FALSE(found);
  EXPECT_EQ(paths.FindWithin("", found), TextArray::npos);
  EXPECT_FALSE(found);
}

} // namespace

TEST(TextArray, ReadsAndWritesTextFilesThroughFileUtils) {
  ScopedTempDir dir;
  const std::string path = dir.Sub("words.dic");
  testkit::WriteBytes(path, "alpha\r\nbeta\r\n");
  TextArray lines;
  ASSERT_TRUE(CFileUtils::ReadFileContent(path, lines, false, nullptr));
  EXPECT_EQ(lines, (TextArray{"alpha", "beta"}));
  lines.Replace(1, "gamma");
  ASSERT_TRUE(CFileUtils::WriteFileContent(path, lines, false, nullptr));
  EXPECT_EQ(testkit::ReadBytes(path), "alpha\r\ngamma\r\n");
}
