#pragma once

#include "checking/BadWordLoc.h"

#include <list>
#include <utility>

/// The locations of one word, held in the nodes of a doubly linked list (one block
/// each) so that sorting relinks the nodes without allocating.
class CBadWordsLocList {
public:
  using Items = std::list<CBadWordLoc>;
  using iterator = Items::iterator;
  using const_iterator = Items::const_iterator;

  CBadWordsLocList() = default;
  CBadWordsLocList(const CBadWordsLocList&) = delete;
  CBadWordsLocList& operator=(const CBadWordsLocList&) = delete;

  const_iterator begin() const { return m_items.begin(); }
  const_iterator end() const { return m_items.end(); }
  int GetCount() const { return static_cast<int>(m_items.size()); }
  bool IsEmpty() const { return m_items.empty(); }

  void AddTail(CBadWordLoc location) { m_items.push_back(std::move(location)); }
  /// Moves the nodes of `run` to the end, in their order, allocating nothing.
  void SpliceTail(Items& run) { m_items.splice(m_items.end(), run); }

private:
  friend class CBadWord; // removes and sorts in place

  Items m_items;
};
