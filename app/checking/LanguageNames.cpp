#include "checking/LanguageNames.h"

#include <algorithm>
#include <deque>
#include <mutex>

namespace {

struct STable {
  std::mutex mutex;
  std::deque<std::string> tags{std::string()};
};

STable& Table() {
  static STable table;
  return table;
}

} // namespace

std::uint16_t CLanguageNames::Number(std::string_view tag) {
  if (tag.empty()) {
    return kNone;
  }
  STable& table = Table();
  const std::lock_guard lock(table.mutex);
  const auto known = std::find(table.tags.begin(), table.tags.end(), tag);
  if (known != table.tags.end()) {
    return static_cast<std::uint16_t>(known - table.tags.begin());
  }
  if (table.tags.size() > 0xFFFF) {
    return kNone;
  }
  table.tags.emplace_back(tag);
  return static_cast<std::uint16_t>(table.tags.size() - 1);
}

std::string CLanguageNames::Tag(std::uint16_t number) {
  STable& table = Table();
  const std::lock_guard lock(table.mutex);
  return number < table.tags.size() ? table.tags[number] : std::string();
}
