#include "checking/ProjectFilter.h"

#include "diskfiles/DiskFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FilterCase {
  std::string fullPath;
  std::vector<CProjectFilter> filters;
  bool included;
};

constexpr const char* kRoot = "/site/";

} // namespace

TEST(ProjectFilter, DecidesWhichFilesAreChecked) {
  using F = CProjectFilter;
  const FilterCase cases[] = {
      {"/site/index.htm", {}, true},
      {"/site/index.htm", {{F::FILE, "INDEX.HTM"}}, false},
      {"/site/sub/index.htm", {{F::FILE, "INDEX.HTM"}}, true},
      {"/site/sub/index.htm", {{F::FILE, "sub/index.htm"}}, false},
      {"/site/old/a.htm", {{F::SUB_DIRECTORY, "old/"}}, false},
      {"/site/OLD/a.htm", {{F::SUB_DIRECTORY, "old/"}}, false},
      {"/site/older/a.htm", {{F::SUB_DIRECTORY, "old/"}}, true},
      {"/site/a/b/c.php", {{F::CUSTOM, "*.php"}}, false},
      {"/site/a/b/c.php", {{F::CUSTOM, "a/?/*.PHP"}}, false},
      {"/site/a/b/c.html", {{F::CUSTOM, "*.php"}}, true},
      {"/site/a.htm", {{F::CUSTOM, "*.php"}, {F::FILE, "a.htm"}}, false},
      {"/site/a.htm", {{7, "a.htm"}}, true},
      // A root no shorter than the path leaves the whole path, without its slash, to match.
      {"/s.htm", {{F::FILE, "s.htm"}}, false},
      // Names that begin with punctuation are matched as they are written.
      {"/site/_draft.htm", {{F::FILE, "draft.htm"}}, true},
      {"/site/_draft.htm", {{F::FILE, "_draft.htm"}}, false},
      {"/site/_drafts/a.htm", {{F::SUB_DIRECTORY, "_drafts/"}}, false},
      {"/site/.well-known/b.html", {{F::SUB_DIRECTORY, ".well-known/"}}, false},
      {"/site/-old-.htm", {{F::CUSTOM, "-*-.htm"}}, false},
  };
  for (const FilterCase& c : cases) {
    const CDiskFile file(c.fullPath);
    EXPECT_EQ(CProjectFilter::IsFileIncluded(kRoot, c.filters, &file), c.included) << c.fullPath;
  }
  EXPECT_FALSE(CProjectFilter::IsFileIncluded(kRoot, {}, nullptr));
  const CDiskFile empty("");
  EXPECT_FALSE(CProjectFilter::IsFileIncluded(kRoot, {{CProjectFilter::FILE, "x"}}, &empty));
}
