#pragma once

#include "checking/BadWordLoc.h"

#include <list>
#include <memory>

/// The locations of one word, owned and kept in a doubly linked list so that sorting
/// relinks the nodes without allocating.
class CBadWordsLocList {
  using Items = std::list<std::unique_ptr<CBadWordLoc>>;

public:
  using iterator = Items::iterator;
  using const_iterator = Items::const_iterator;

  CBadWordsLocList() = default;
  CBadWordsLocList(const CBadWordsLocList&) = delete;
  CBadWordsLocList& operator=(const CBadWordsLocList&) = delete;

  const_iterator begin() const { return m_items.begin(); }
  const_iterator end() const { return m_items.end(); }
  int GetCount() const { return static_cast<int>(m_items.size()); }
  bool IsEmpty() const { return m_items.empty(); }

  /// Appends a location and takes ownership; a null location is ignored.
  void AddTail(std::unique_ptr<CBadWordLoc> location);

private:
  friend class CBadWord; // removes and sorts in place

  Items m_items;
};
