#include "dictionaries/Dictionary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class CountingDictionary : public CDictionary {
public:
  CountingDictionary() : CDictionary(3, "Counting", "/nowhere/counting.dic") {}
  bool Load() override {
    ++loads;
    std::this_thread::yield();
    if (failFirst && loads == 1) {
      return false;
    }
    SetLoaded();
    return true;
  }
  bool Save() override { return true; }
  bool Contains(std::string_view) const override { return false; }
  void AddWord(const std::string&) override {}
  void SetWords(const TextArray&) override {}
  void GetWords(TextArray&) const override {}
  bool IsCustom() const override { return true; }

  std::atomic<int> loads{0};
  bool failFirst = false;
};

} // namespace

TEST(Dictionary, FirstLoadRunsOnceWhenManyThreadsReachIt) {
  CountingDictionary dictionary;
  std::vector<std::jthread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] { EXPECT_TRUE(dictionary.EnsureLoaded()); });
  }
  threads.clear();
  EXPECT_EQ(dictionary.loads, 1);
  EXPECT_TRUE(dictionary.IsLoaded());
}

TEST(Dictionary, FailedLoadIsTriedAgainOnNextUse) {
  CountingDictionary dictionary;
  dictionary.failFirst = true;
  EXPECT_FALSE(dictionary.EnsureLoaded());
  EXPECT_TRUE(dictionary.EnsureLoaded());
  EXPECT_EQ(dictionary.loads, 2);
  EXPECT_EQ(dictionary.GetID(), 3);
  EXPECT_EQ(dictionary.GetName(), "Counting");
}
