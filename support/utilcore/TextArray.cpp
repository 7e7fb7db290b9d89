#include "utilcore/TextArray.h"

#include "utilcore/Utf8.h"

#include <algorithm>
#include <numeric>

namespace {

/// The order shared by Sort, Find and RemoveDuplicates.
struct COrder {
  bool caseSensitive;
  bool naturalNumbers;

  int operator()(std::string_view a, std::string_view b) const {
    if (caseSensitive && !naturalNumbers) {
      const int bytes = a.compare(b);
      return (bytes > 0) - (bytes < 0);
    }
    const int result = CUtf8::Compare(a, b, !caseSensitive, naturalNumbers);
    if (result != 0 || !naturalNumbers) {
      return result;
    }
    // Equal by value ("a01", "a1") but not the same text: the plain order decides.
    return CUtf8::Compare(a, b, !caseSensitive, false);
  }
};

} // namespace

std::size_t TextArray::Add(std::string text) {
  m_items.push_back(std::move(text));
  return m_items.size() - 1;
}

std::string TextArray::GetAt(std::size_t index) const {
  return index < m_items.size() ? m_items[index] : std::string();
}

bool TextArray::Replace(std::size_t index, std::string text) {
  if (index >= m_items.size()) {
    return false;
  }
  m_items[index] = std::move(text);
  return true;
}

void TextArray::CopyToList(std::vector<std::string>& lines) const {
  lines = m_items;
}

void TextArray::CopyToStringArray(std::vector<std::string>& out) const {
  out = m_items;
}

void TextArray::Sort(bool ascending, bool caseSensitive, bool naturalNumbers, bool stable) {
  const COrder order{caseSensitive, naturalNumbers};
  const auto before = [&](const std::string& a, const std::string& b) {
    const int result = order(a, b);
    return ascending ? result < 0 : result > 0;
  };
  if (stable) {
    std::stable_sort(m_items.begin(), m_items.end(), before);
  } else {
    std::sort(m_items.begin(), m_items.end(), before);
  }
}

void TextArray::RemoveDuplicates(bool caseSensitive, bool naturalNumbers, bool sorted) {
  const COrder order{caseSensitive, naturalNumbers};
  if (sorted) {
    const auto same = [&](const std::string& a, const std::string& b) { return order(a, b) == 0; };
    m_items.erase(std::unique(m_items.begin(), m_items.end(), same), m_items.end());
    return;
  }
  // Sorting indices stably groups equal entries with the earliest index first.
  std::vector<std::size_t> indices(m_items.size());
  std::iota(indices.begin(), indices.end(), std::size_t{0});
  std::stable_sort(indices.begin(), indices.end(),
                   [&](std::size_t a, std::size_t b) { return order(m_items[a], m_items[b]) < 0; });
  std::vector<bool> drop(m_items.size(), false);
  for (std::size_t k = 1; k < indices.size(); ++k) {
    if (order(m_items[indices[k - 1]], m_items[indices[k]]) == 0) {
      drop[indices[k]] = true;
    }
  }
  std::size_t kept = 0;
  for (std::size_t k = 0; k < m_items.size(); ++k) {
    if (!drop[k]) {
      if (kept != k) {
        m_items[kept] = std::move(m_items[k]);
      }
      ++kept;
    }
  }
  m_items.resize(kept);
}

std::size_t TextArray::Find(std::string_view text, bool ascending, bool& found, bool caseSensitive,
                            bool naturalNumbers, bool firstMatch) const {
  const COrder order{caseSensitive, naturalNumbers};
  const auto compare = [&](std::string_view entry) {
    const int result = order(entry, text);
    return ascending ? result : -result;
  };
  std::size_t low = 0;
  std::size_t high = m_items.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const int result = compare(m_items[middle]);
    if (result < 0) {
      low = middle + 1;
    } else if (result > 0 || firstMatch) {
      high = middle;
    } else {
      found = true;
      return middle;
    }
  }
  found = low < m_items.size() && compare(m_items[low]) == 0;
  return low;
}

std::size_t TextArray::FindWithin(std::string_view text, bool& found) const {
  found = false;
  if (text.empty()) {
    return npos;
  }
  for (std::size_t index = 0; index < m_items.size(); ++index) {
    if (m_items[index].find(text) != std::string::npos) {
      found = true;
      return index;
    }
  }
  return npos;
}
