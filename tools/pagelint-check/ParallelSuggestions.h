#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CSpellChecker;

/// Ranked suggestions for many words at once, spread over threads. Each word's list
/// lands in its own slot, so that the result is the same for any number of threads.
class CParallelSuggestions {
public:
  struct SRequest {
    std::string word;
    const std::vector<int>* ids = nullptr; ///< the dictionaries to ask; not owned
  };

  /// The suggestions for each request, in the requests' order: what `speller`'s
  /// Suggest gives with `maxCount`, worked out on up to `threads` threads (the calling
  /// one among them). Rethrows the first exception a thread met, after all stopped.
  static std::vector<std::vector<std::string>> Run(CSpellChecker& speller,
                                                   const std::vector<SRequest>& requests,
                                                   std::size_t maxCount, int threads);
};
