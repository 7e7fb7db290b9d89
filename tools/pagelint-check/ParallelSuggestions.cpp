#include "pagelint-check/ParallelSuggestions.h"

#include "spellcore/SpellChecker.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

std::vector<std::vector<std::string>>
CParallelSuggestions::Run(CSpellChecker& speller, const std::vector<SRequest>& requests,
                          std::size_t maxCount, int threads) {
  std::vector<std::vector<std::string>> results(requests.size());
  if (requests.empty()) {
    return results;
  }
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex errorLock;
  std::exception_ptr error;
  // The words are taken one at a time: their costs differ by orders of magnitude, so
  // fixed shares would leave a thread idle while another works through long words.
  const auto work = [&] {
    try {
      for (std::size_t k = next++; k < requests.size() && !failed; k = next++) {
        speller.Suggest(requests[k].word, *requests[k].ids, results[k], maxCount);
      }
    } catch (...) {
      failed = true;
      const std::lock_guard lock(errorLock);
      if (!error) {
        error = std::current_exception();
      }
    }
  };
  const auto helpers = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(
      std::ptrdiff_t{threads} - 1, 0, static_cast<std::ptrdiff_t>(requests.size()) - 1));
  {
    std::vector<std::jthread> pool;
    pool.reserve(helpers);
    for (std::size_t k = 0; k < helpers; ++k) {
      pool.emplace_back(work);
    }
    work();
  }
  if (error) {
    std::rethrow_exception(error);
  }
  return results;
}
