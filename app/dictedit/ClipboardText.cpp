#include "dictedit/ClipboardText.h"

namespace {
void AppendCells(std::string_view row, std::string_view emptyMarker,
                 std::vector<std::string>& entries) {
  for (;;) {
    const std::size_t tab = row.find('\t');
    const std::string_view cell = row.substr(0, tab);
    entries.emplace_back(cell.empty() ? emptyMarker : cell);
    if (tab == std::string_view::npos) {
      return;
    }
    row.remove_prefix(tab + 1);
  }
}
} // namespace

bool CClipboardText::Parse(std::string_view text, std::string_view emptyMarker,
                           std::vector<std::string>& entries) {
  if (text.empty()) {
    return false;
  }
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    AppendCells(text.substr(0, end), emptyMarker, entries);
    if (end == std::string_view::npos) {
      break;
    }
    // "\r\n" is one line break.
    const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    text.remove_prefix(next);
  }
  return true;
}
