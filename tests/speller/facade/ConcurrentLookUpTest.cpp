#include "facade/DictionaryMsgWnd.h"
#include "facade/DictionaryRegistry.h"
#include "facade/WordPreprocessor.h"

#include "speller/facade/SpellerFixture.h"
#include "testkit/LogCapture.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using spellertest::SpellerTest;

// Checking threads look words up while the user interface thread edits a dictionary
// and the folder is re-scanned, as when a site is checked while the user adds words.
// Half of them hold their look-ups for a few words at a time: the edits still get in
// between, and no look-up inside misses.
TEST_F(SpellerTest, LookUpsRunWhileDictionariesAreEditedAndRescanned) {
  WriteDic("stable.dic", "Anchor\n");
  WriteDic("edited.dic", "");
  CDictionaryRegistry registry;
  registry.SetAppPath(AppDir());
  const int stable = registry.GetDictionaryID("stable");
  const int edited = registry.GetDictionaryID("edited");
  ASSERT_GT(stable, 0);
  ASSERT_GT(edited, 0);

  std::atomic<bool> stop{false};
  std::atomic<int> misses{0};
  std::vector<std::jthread> checkers;
  for (int t = 0; t < 4; ++t) {
    checkers.emplace_back([&, t] {
      const std::vector<int> ids{0, edited, 99, stable, stable + 100};
      while (!stop.load()) {
        // Held for the round, as a checking thread holds them for a line.
        const auto release = [](CDictionaryRegistry* held) { held->ReleaseLookups(); };
        CDictionaryRegistry* hold = t >= 2 ? &registry : nullptr;
        if (hold != nullptr) {
          hold->HoldLookups();
        }
        const std::unique_ptr<CDictionaryRegistry, decltype(release)> held(hold, release);
        std::string word = t % 2 == 0 ? "\xE2\x80\x98"
                                        "anchor\xE2\x80\x99"
                                      : "ANCHOR's";
        if (!CWordPreprocessor::PreprocessWord(word) || !registry.LookUp(word, ids)) {
          ++misses;
        }
        registry.LookUp("word" + std::to_string(t), ids);
        std::vector<int> all;
        registry.GetDictionaries(all, true, true);
      }
    });
  }

  for (int round = 0; round < 20; ++round) {
    registry.AddWord(edited, "word" + std::to_string(round));
    const std::string file = "temp" + std::to_string(round % 3) + ".dic";
    if (round % 2 == 0) {
      WriteDic(file, "temporary\n");
    } else {
      std::filesystem::remove(CustomFolder() + file);
    }
    ASSERT_TRUE(PostMessage(registry.GetMsgWindowHandle(),
                            CDictionaryMsgWnd::MSG_CUSTOM_DIR_CHANGED, 0, 0));
    CMessageLoop::PumpPending();
  }
  registry.SetWords(edited, TextArray{"final"});
  stop = true;
  checkers.clear();

  EXPECT_EQ(misses.load(), 0);
  EXPECT_TRUE(registry.LookUp("Final", {edited}));
  EXPECT_EQ(registry.GetDictionaryID("stable"), stable);
}

// Checking threads that all find a word list refused (binary) each try its load again
// on every look-up; the log hears of it once, and the other dictionaries still answer.
TEST_F(SpellerTest, ARefusedWordListIsLoggedOnceWhileThreadsLookUp) {
  WriteDic("stable.dic", "Anchor\n");
  WriteDic("binary.dic", std::string(64, '\0'));
  CDictionaryRegistry registry;
  registry.SetAppPath(AppDir());
  const int binary = registry.GetDictionaryID("binary");
  const std::vector<int> ids{binary, registry.GetDictionaryID("stable")};
  ASSERT_GT(binary, 0);
  const LogCapture log;
  std::atomic<int> misses{0};
  {
    std::vector<std::jthread> checkers;
    for (int t = 0; t < 4; ++t) {
      checkers.emplace_back([&] {
        for (int i = 0; i < 50; ++i) {
          misses += registry.LookUp("anchor", ids) ? 0 : 1;
        }
      });
    }
  }
  EXPECT_EQ(misses.load(), 0);
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"{CCB2C72D-A322-4A52-B722-2123D2B6B47C} - " +
                                                  CustomFolder() + "binary.dic - binary file"});
}

} // namespace
