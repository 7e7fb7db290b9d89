#include "diskfiles/DiskFileList.h"
#include "diskfiles/DiskFileListAccess.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {
/// A derived entry type, as a program's own list makes them.
class TaggedFile : public CDiskFile {
public:
  explicit TaggedFile(std::string_view path) : CDiskFile(path) {}
  bool pending = true;
};

class TaggedList : public CDiskFileList {
public:
  int made = 0;
  bool refuse = false;

protected:
  std::unique_ptr<CDiskFile> CreateDiskFile(std::string_view fullPath) override {
    if (refuse) {
      return nullptr;
    }
    ++made;
    return std::make_unique<TaggedFile>(fullPath);
  }
};

std::vector<std::string> Paths(const CDiskFileList& list) {
  std::vector<std::string> paths;
  const CDiskFileListAccess access(list);
  for (auto position = list.GetHeadPosition(); position != 0;) {
    paths.push_back(list.GetNext(position)->GetFullPath());
  }
  return paths;
}
} // namespace

TEST(DiskFileList, AddUsesTheFactoryOncePerPathAndKeepsTheOrder) {
  TaggedList list;
  EXPECT_EQ(list.GetHeadPosition(), 0u);
  CDiskFile* first = list.Add("/site/b.html");
  ASSERT_NE(first, nullptr);
  EXPECT_NE(dynamic_cast<TaggedFile*>(first), nullptr);
  list.Add("/site/a.html");
  EXPECT_EQ(list.Add("/site/b.html"), first) << "no second entry for a path";
  EXPECT_EQ(list.made, 2);
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"/site/b.html", "/site/a.html"}));
  list.refuse = true;
  EXPECT_EQ(list.Add("/site/c.html"), nullptr);
  EXPECT_EQ(list.GetCount(), 2u);
}

TEST(DiskFileList, PositionsAndIndexes) {
  CDiskFileList list;
  for (const char* path : {"/s/0.html", "/s/1.html", "/s/2.html"}) {
    list.Add(path);
  }
  const CDiskFileListAccess access(list);
  EXPECT_EQ(list.GetAt(list.FindIndex(1))->GetName(), "1.html");
  EXPECT_EQ(list.FindIndex(3), 0u);
  EXPECT_EQ(list.GetAt(0), nullptr);
  EXPECT_EQ(list.GetAt(4), nullptr);
  auto position = list.FindIndex(2);
  EXPECT_EQ(list.GetNext(position)->GetName(), "2.html");
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(list.GetNext(position), nullptr) << "past the end stays there";
}

TEST(DiskFileList, FindByPathExactlyOrWithoutCase) {
  CDiskFileList list;
  list.Add("/Site/Index.html");
  list.Add("/site/index.html");
  const CDiskFileListAccess access(list);
  EXPECT_EQ(list.Find("/Site/Index.html", false)->GetPath(), "/Site/");
  EXPECT_EQ(list.Find("/SITE/INDEX.HTML", false), nullptr);
  EXPECT_EQ(list.Find("/SITE/INDEX.HTML", true)->GetPath(), "/Site/") << "the first of both";
  EXPECT_EQ(list.Find("/Site/Index.htm", true), nullptr);
  EXPECT_EQ(list.Find("/Site/", false), nullptr);
  EXPECT_EQ(list.Find("", false), nullptr);
}

TEST(DiskFileList, RemoveAndRemoveAllKeepTheIndexRight) {
  CDiskFileList list;
  for (int i = 0; i < 1000; ++i) {
    list.Add("/s/" + std::to_string(i) + ".html");
  }
  EXPECT_TRUE(list.Remove("/s/10.html"));
  EXPECT_FALSE(list.Remove("/s/10.html"));
  {
    const CDiskFileListAccess access(list);
    EXPECT_EQ(list.GetCount(), 999u);
    EXPECT_EQ(list.Find("/s/10.html", false), nullptr);
    EXPECT_EQ(list.Find("/s/999.html", false)->GetName(), "999.html");
    EXPECT_EQ(list.GetAt(list.FindIndex(10))->GetName(), "11.html");
  }
  list.RemoveAll();
  EXPECT_EQ(list.GetCount(), 0u);
  EXPECT_EQ(list.Add("/s/1.html")->GetName(), "1.html");
  const CDiskFileListAccess access(list);
  EXPECT_EQ(list.Find("/s/2.html", false), nullptr);
}

TEST(DiskFileList, ReadersAndAWriterTogether) {
  CDiskFileList list;
  std::thread writer([&] {
    for (int i = 0; i < 500; ++i) {
      list.Add("/s/" + std::to_string(i) + ".html");
      if (i % 3 == 0) {
        list.Remove("/s/" + std::to_string(i / 2) + ".html");
      }
    }
  });
  for (int round = 0; round < 200; ++round) {
    const CDiskFileListAccess access(list);
    std::size_t seen = 0;
    for (auto position = list.GetHeadPosition(); position != 0; ++seen) {
      ASSERT_NE(list.GetNext(position), nullptr);
    }
    EXPECT_EQ(seen, list.GetCount());
  }
  writer.join();
}
