#include "projects/DictionarySelection.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Dictionaries = std::vector<CDictionarySelection::SDictionary>;

// The speller's list as the settings window gets it: the main dictionary (id 0, no
// words to add), custom ones, an unnamed id, two projects' ignore dictionaries and a
// language's Hunspell dictionary (read-only).
const Dictionaries kSpeller = {{0, "ZEB U.S. English"},
                               {1, "ZEB Custom"},
                               {2, ""},
                               {3, "Shop Ignore"},
                               {4, "Site Words"},
                               {5, "my IGNORE"},
                               {6, "English (United Kingdom) en_GB", false}};

std::vector<std::string> Names(const CDictionarySelection& selection) {
  std::vector<std::string> names;
  for (const auto& row : selection.Rows()) {
    names.push_back(row.name);
  }
  return names;
}

TEST(DictionarySelection, OffersEveryNamedDictionaryButIgnoreListsCheckedAsTheProjectHasThem) {
  CDictionarySelection selection(kSpeller, {0, 1, 3}, 1);
  EXPECT_EQ(Names(selection),
            (std::vector<std::string>{"ZEB U.S. English", "ZEB Custom", "Site Words",
                                      "English (United Kingdom) en_GB"}));
  const struct {
    bool active;
    bool canAddTo;
    bool addTo;
  } rows[] = {
      {true, false, false}, {true, true, true}, {false, true, false}, {false, false, false}};
  for (std::size_t row = 0; row < std::size(rows); ++row) {
    EXPECT_EQ(selection.IsActive(row), rows[row].active) << row;
    EXPECT_EQ(selection.CanAddTo(row), rows[row].canAddTo) << row;
    EXPECT_EQ(selection.IsAddTo(row), rows[row].addTo) << row;
  }
  EXPECT_EQ(selection.ActiveIds(), (std::vector<int>{0, 1}));
  selection.SetActive(0, false);
  selection.SetActive(2, true);
  EXPECT_EQ(selection.ActiveIds(), (std::vector<int>{1, 4})) << "in the rows' order";
}

// The "Add To Dictionary" radios as the user works them: (row, chosen) steps after
// checking the rows of `active`, then what the window reads back.
TEST(DictionarySelection, TheAddToChoiceIsOneRadioGroupThatFallsBackToTheProjects) {
  const struct {
    const char* what;
    int addToId;
    std::vector<int> active;
    std::vector<std::pair<std::size_t, bool>> steps;
    std::optional<std::size_t> chosenRow;
    int expectedId;
    bool isActive;
    bool changed;
  } cases[] = {
      {"kept", 1, {0, 1}, {}, 1, 1, true, false},
      {"left unchecked", 1, {0}, {}, 1, 1, false, false},
      {"another chosen", 1, {0, 1}, {{2, true}}, 2, 4, false, true},
      {"another chosen and checked", 1, {0, 4}, {{2, true}, {1, true}}, 1, 1, false, false},
      {"the main dictionary takes no words", 1, {0, 1}, {{0, true}}, 1, 1, true, false},
      {"none at all", -1, {0}, {}, std::nullopt, -1, true, false},
      {"not offered, so never among the checked", 3, {0, 3}, {}, std::nullopt, 3, false, false},
      {"dropped falls back", 1, {0, 1}, {{2, true}, {2, false}}, std::nullopt, 1, true, false},
      {"dropping another keeps it", 1, {0, 1}, {{2, false}}, 1, 1, true, false},
  };
  for (const auto& c : cases) {
    CDictionarySelection selection(kSpeller, c.active, c.addToId);
    for (const auto& [row, chosen] : c.steps) {
      EXPECT_EQ(selection.SetAddTo(row, chosen), selection.CanAddTo(row)) << c.what;
    }
    for (std::size_t row = 0; row < selection.Rows().size(); ++row) {
      EXPECT_EQ(selection.IsAddTo(row), c.chosenRow == row) << c.what << " row " << row;
    }
    EXPECT_EQ(selection.AddToId(), c.expectedId) << c.what;
    EXPECT_EQ(selection.IsAddToActive(), c.isActive) << c.what;
    EXPECT_EQ(selection.IsAddToChanged(), c.changed) << c.what;
  }
}

} // namespace
