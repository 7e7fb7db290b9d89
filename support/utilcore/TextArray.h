#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// An ordered array of UTF-8 strings, copied by value.
///
/// Sort, Find and RemoveDuplicates share one order, chosen by the same flags:
/// - ascending: smallest first (false: largest first);
/// - caseSensitive: compare code points as they are (false: compare them case-folded,
///   so "Apple" and "apple" are equal);
/// - naturalNumbers: runs of ASCII digits compare by their value ("page2" before
///   "page10"); entries that differ only in leading zeros still differ.
/// Without naturalNumbers and with caseSensitive the order is that of the UTF-8 bytes.
class TextArray {
public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  TextArray() = default;
  TextArray(std::initializer_list<std::string> items) : m_items(items) {}
  explicit TextArray(std::vector<std::string> items) : m_items(std::move(items)) {}

  /// Appends `text` and returns its index.
  std::size_t Add(std::string text);
  /// A copy of entry `index`; the empty string when there is none.
  std::string GetAt(std::size_t index) const;
  /// Entry `index`, which must exist.
  const std::string& operator[](std::size_t index) const { return m_items[index]; }
  std::size_t GetCount() const { return m_items.size(); }
  bool IsEmpty() const { return m_items.empty(); }
  void DeleteAll() { m_items.clear(); }
  /// Replaces entry `index`; false (and no change) when there is no such entry.
  bool Replace(std::size_t index, std::string text);

  /// Copies every entry, in order, into `lines` (its old content is dropped).
  void CopyToList(std::vector<std::string>& lines) const;
  /// Copies every entry, in order, into `out` (its old content is dropped).
  void CopyToStringArray(std::vector<std::string>& out) const;

  /// Sorts by the order described above. `stable` keeps entries that compare equal in
  /// the order they had.
  void Sort(bool ascending, bool caseSensitive, bool naturalNumbers, bool stable);
  /// Leaves one entry of every set of entries that compare equal, the first one, and
  /// keeps the order of the rest. `sorted` says the array is sorted with the same
  /// caseSensitive and naturalNumbers flags (so equal entries are neighbours), which
  /// makes this one linear pass; otherwise equal entries are found wherever they are.
  void RemoveDuplicates(bool caseSensitive, bool naturalNumbers, bool sorted);
  /// Binary search of an array sorted with the same flags: sets `found` and returns the
  /// index of the entry, or the index where it would be inserted. With `firstMatch` the
  /// first of several equal entries is returned, otherwise any of them. Allocates
  /// nothing.
  std::size_t Find(std::string_view text, bool ascending, bool& found, bool caseSensitive,
                   bool naturalNumbers, bool firstMatch) const;
  /// Index of the first entry that contains `text` (case-sensitive); sets `found`.
  /// npos when there is none or `text` is empty.
  std::size_t FindWithin(std::string_view text, bool& found) const;

  /// The entries themselves, for callers that iterate or edit in place.
  const std::vector<std::string>& Items() const { return m_items; }
  std::vector<std::string>& Items() { return m_items; }
  std::vector<std::string>::const_iterator begin() const { return m_items.begin(); }
  std::vector<std::string>::const_iterator end() const { return m_items.end(); }
  std::size_t size() const { return m_items.size(); }

  bool operator==(const TextArray&) const = default;

private:
  std::vector<std::string> m_items;
};
