#include "guess/EditDistance.h"

#include "utilcore/Utf8.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace {

constexpr double kSwap = 0.5;
constexpr double kDoubling = 0.5;
constexpr double kVowelForVowel = 0.75;

bool IsVowel(UChar32 c) {
  return c < 0x80 &&
         std::string_view("aeiouy").find(static_cast<char>(c)) != std::string_view::npos;
}

/// The cost of inserting (or deleting) `chars[at]`: half when it doubles a neighbour.
double InsertCost(const std::vector<UChar32>& chars, std::size_t at) {
  const bool doubles = (at > 0 && chars[at - 1] == chars[at]) ||
                       (at + 1 < chars.size() && chars[at + 1] == chars[at]);
  return doubles ? kDoubling : 1.0;
}

double ReplaceCost(UChar32 a, UChar32 b) {
  if (a == b) {
    return 0.0;
  }
  return IsVowel(a) && IsVowel(b) ? kVowelForVowel : 1.0;
}

} // namespace

void CEditDistance::LowerChars(std::string_view text, std::vector<UChar32>& chars) {
  chars.clear();
  for (std::size_t i = 0; i < text.size();) {
    const UChar32 c = CUtf8::Next(text, i);
    chars.push_back(CUtf8::IsValid(c) ? u_tolower(c) : c);
  }
}

bool CEditDistance::IsWithin(const std::vector<UChar32>& a, const std::vector<UChar32>& b,
                             int limit) {
  const std::size_t n = a.size();
  const std::size_t m = b.size();
  if (limit < 0 || std::max(n, m) - std::min(n, m) > static_cast<std::size_t>(limit)) {
    return false;
  }
  // Three rows of the table (the one before last for swaps), each filled only within
  // `limit` of its diagonal: a cell further off costs more than the limit, and stands
  // for any such cost as `past`. A row whose every cell is past the limit ends the search.
  const int past = limit + 1;
  const auto reach = static_cast<std::size_t>(limit);
  thread_local std::vector<int> rows;
  rows.assign(3 * (m + 2), past);
  int* before = rows.data();
  int* previous = before + (m + 2);
  int* current = previous + (m + 2);
  for (std::size_t j = 0; j <= std::min(m, reach); ++j) {
    previous[j] = static_cast<int>(j);
  }
  for (std::size_t i = 1; i <= n; ++i) {
    const std::size_t low = i > reach ? i - reach : 1;
    const std::size_t high = std::min(m, i + reach);
    current[low - 1] = i <= reach ? static_cast<int>(i) : past;
    int rowBest = current[low - 1];
    for (std::size_t j = low; j <= high; ++j) {
      int cell = std::min(
          {previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        cell = std::min(cell, before[j - 2] + 1);
      }
      current[j] = cell;
      rowBest = std::min(rowBest, cell);
    }
    // The next row reads one cell further right in this one.
    current[high + 1] = past;
    if (rowBest > limit) {
      return false;
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[m] <= limit;
}

double CEditDistance::Weighted(const std::vector<UChar32>& from, const std::vector<UChar32>& to) {
  const std::size_t n = from.size();
  const std::size_t m = to.size();
  std::vector<double> table((n + 1) * (m + 1), 0.0);
  const auto at = [&](std::size_t i, std::size_t j) -> double& { return table[i * (m + 1) + j]; };
  for (std::size_t i = 1; i <= n; ++i) {
    at(i, 0) = at(i - 1, 0) + InsertCost(from, i - 1);
  }
  for (std::size_t j = 1; j <= m; ++j) {
    at(0, j) = at(0, j - 1) + InsertCost(to, j - 1);
  }
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      double cell =
          std::min({at(i - 1, j) + InsertCost(from, i - 1), at(i, j - 1) + InsertCost(to, j - 1),
                    at(i - 1, j - 1) + ReplaceCost(from[i - 1], to[j - 1])});
      if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1] &&
          from[i - 1] != from[i - 2]) {
        cell = std::min(cell, at(i - 2, j - 2) + kSwap);
      }
      at(i, j) = cell;
    }
  }
  return at(n, m);
}
