#include "projects/HTMLFileList.h"
#include "projects/HTMLFile.h"

#include <gtest/gtest.h>

TEST(HTMLFileList, MakesPendingFilesAndMarksThemAgain) {
  CHTMLFileList list;
  auto* a = dynamic_cast<CHTMLFile*>(list.Add("/site/a.htm"));
  auto* b = dynamic_cast<CHTMLFile*>(list.Add("/site/sub/b.htm"));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(a->IsCheckPending());
  a->SetCheckPending(false);
  b->SetCheckPending(false);
  list.MarkAllPending();
  EXPECT_TRUE(a->IsCheckPending());
  EXPECT_TRUE(b->IsCheckPending());
}

TEST(HTMLFileList, FullPathAtIndex) {
  CHTMLFileList list;
  list.Add("/site/a.htm");
  list.Add("/site/sub/b.htm");
  const struct {
    int index;
    const char* path;
  } cases[] = {{0, "/site/a.htm"}, {1, "/site/sub/b.htm"}, {2, ""}, {-1, ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(list.FullPathAt(c.index), c.path) << c.index;
  }
}
