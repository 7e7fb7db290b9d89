#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

/// The dictionaries the project settings window offers and what the user makes of
/// them: which ones the project checks its pages against, and which one the "Add To
/// Dictionary" button adds words to. That last choice is a radio group over the
/// dictionaries that take words (a positive id): choosing one clears the one before.
class CDictionarySelection {
public:
  struct SDictionary {
    int id = -1;
    std::string name;
    /// Whether words can be added to it (a word list, not a language's dictionary).
    bool takesWords = true;
  };

  /// Offers `dictionaries` in their order but the unnamed ones and the projects'
  /// ignore dictionaries (each only ever its own project's): those in `activeIds`
  /// checked, the one of `addToId` chosen for the button.
  CDictionarySelection(const std::vector<SDictionary>& dictionaries,
                       const std::vector<int>& activeIds, int addToId);

  /// The offered dictionaries, one a row.
  const std::vector<SDictionary>& Rows() const { return m_rows; }

  bool IsActive(std::size_t row) const { return m_active.at(row); }
  void SetActive(std::size_t row, bool active) { m_active.at(row) = active; }

  /// Whether the row's dictionary can be the button's (it takes words).
  bool CanAddTo(std::size_t row) const {
    return m_rows.at(row).id > 0 && m_rows.at(row).takesWords;
  }
  bool IsAddTo(std::size_t row) const { return m_addTo == row; }
  /// Chooses (or, with false, drops) the row's dictionary as the button's; choosing
  /// clears the one before. False, changing nothing, for a row that cannot be chosen.
  bool SetAddTo(std::size_t row, bool chosen);

  /// The checked dictionaries' ids, in the rows' order.
  std::vector<int> ActiveIds() const;
  /// The chosen dictionary's id; with none chosen (the project's was not offered), the
  /// one the selection started with.
  int AddToId() const;
  /// Whether the button's dictionary is among the checked ones, or there is none (-1)
  /// and so nothing to add words to.
  bool IsAddToActive() const;
  /// Whether the button's dictionary is another than the one the selection started with.
  bool IsAddToChanged() const { return AddToId() != m_initialAddTo; }

private:
  std::vector<SDictionary> m_rows;
  std::vector<bool> m_active;
  std::optional<std::size_t> m_addTo;
  int m_initialAddTo;
};
