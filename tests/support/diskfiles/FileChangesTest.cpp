#include "diskfiles/FileChanges.h"

#include <gtest/gtest.h>

namespace {
using Paths = std::vector<std::string>;

CFileChanges Make(Paths added, Paths modified, Paths removed) {
  CFileChanges changes;
  changes.added = std::move(added);
  changes.modified = std::move(modified);
  changes.removed = std::move(removed);
  return changes;
}

struct MergeCase {
  const char* what;
  CFileChanges first;
  CFileChanges later;
  Paths added;
  Paths modified;
  Paths removed;
};

void PrintTo(const MergeCase& merge, std::ostream* out) {
  *out << merge.what;
}

class FileChangesMerge : public testing::TestWithParam<MergeCase> {};

TEST_P(FileChangesMerge, EveryChangeIsReportedOnce) {
  MergeCase merge = GetParam();
  merge.first.Merge(std::move(merge.later));
  EXPECT_EQ(merge.first.added, merge.added);
  EXPECT_EQ(merge.first.modified, merge.modified);
  EXPECT_EQ(merge.first.removed, merge.removed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileChangesMerge,
    testing::Values(
        MergeCase{"nothing before",
                  Make({}, {}, {}),
                  Make({"b", "a"}, {"c"}, {"d"}),
                  {"b", "a"},
                  {"c"},
                  {"d"}},
        MergeCase{"unrelated files",
                  Make({"a"}, {"m"}, {"r"}),
                  Make({"b"}, {"n"}, {"s"}),
                  {"a", "b"},
                  {"m", "n"},
                  {"r", "s"}},
        MergeCase{"added then removed", Make({"a"}, {}, {}), Make({}, {}, {"a"}), {}, {}, {"a"}},
        MergeCase{"modified then removed", Make({}, {"a"}, {}), Make({}, {}, {"a"}), {}, {}, {"a"}},
        MergeCase{"removed then added", Make({}, {}, {"a"}), Make({"a"}, {}, {}), {"a"}, {}, {"a"}},
        MergeCase{"added then modified", Make({"a"}, {}, {}), Make({}, {"a"}, {}), {"a"}, {}, {}},
        MergeCase{"modified twice", Make({}, {"a"}, {}), Make({}, {"a"}, {}), {}, {"a"}, {}},
        MergeCase{"removed, added, modified",
                  Make({}, {"a"}, {"a"}),
                  Make({}, {"a"}, {}),
                  {},
                  {"a"},
                  {"a"}}));
} // namespace

TEST(FileChanges, ThreePassesInARow) {
  CFileChanges changes = Make({"a"}, {}, {});
  changes.Merge(Make({}, {}, {"a"}));
  changes.Merge(Make({"a"}, {}, {}));
  EXPECT_EQ(changes.added, Paths{"a"});
  EXPECT_EQ(changes.removed, Paths{"a"});
  EXPECT_TRUE(changes.modified.empty());
  EXPECT_FALSE(changes.IsEmpty());
}
