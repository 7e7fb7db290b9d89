#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

/// A Bloom filter over the exact bytes of a set of words, so that a look-up can
/// tell at one memory read that most words it is asked about are not held. Each word
/// sets two bits of one 64-bit block, about sixteen bits a word: about one word in
/// fifty that is not held passes. It never turns a held word away. An empty filter
/// (none built, or given up) lets every word pass.
class CWordFilter {
public:
  /// A hash of `bytes` exactly. Mark and MayHold take any 64-bit hash of a word, used
  /// alike for both.
  static std::uint64_t Hash(std::string_view bytes);

  /// Clears the filter and sizes it for `words` words (none: it stays empty).
  void Reset(std::size_t words);
  /// Empties the filter, which then lets every word pass.
  void Clear();
  /// Records a held word by its Hash; only after Reset.
  void Mark(std::uint64_t hash);
  /// False only when no word whose Hash is `hash` was marked.
  bool MayHold(std::uint64_t hash) const;
  /// How many words the filter was sized for (0 when empty): past that many marks it
  /// grows less selective, and a holder that adds words makes it again.
  std::size_t Room() const;

private:
  static std::uint64_t BitsOf(std::uint64_t hash);

  std::vector<std::uint64_t> m_blocks;
  std::uint64_t m_mask = 0; ///< m_blocks.size() - 1, a power of two less one
};
