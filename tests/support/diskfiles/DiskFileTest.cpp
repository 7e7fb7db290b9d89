#include "diskfiles/DiskFile.h"

#include <gtest/gtest.h>

TEST(DiskFile, SplitsFolderAndName) {
  const CDiskFile file("/site/docs/index.html");
  EXPECT_EQ(file.GetPath(), "/site/docs/");
  EXPECT_EQ(file.GetName(), "index.html");
  EXPECT_EQ(file.GetFullPath(), "/site/docs/index.html");
  EXPECT_TRUE(file.HasFullPath("/site/docs/index.html"));
  EXPECT_FALSE(file.HasFullPath("/site/docs/index.htm"));
  EXPECT_FALSE(file.HasFullPath("/site/docsindex.html"));
  EXPECT_EQ(file.GetSize(), CDiskFile::UNKNOWN);
  EXPECT_EQ(file.GetModifiedTime(), CDiskFile::UNKNOWN);
}

TEST(DiskFile, BareNameAndFolderOnly) {
  const CDiskFile bare("index.html");
  EXPECT_EQ(bare.GetPath(), "");
  EXPECT_EQ(bare.GetName(), "index.html");
  const CDiskFile folder("/site/");
  EXPECT_EQ(folder.GetPath(), "/site/");
  EXPECT_EQ(folder.GetName(), "");
}
