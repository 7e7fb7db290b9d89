#pragma once

#include <string>
#include <string_view>
#include <vector>

/// Reads text from the clipboard as a table, the way grids and spreadsheets put it
/// there: rows end at line breaks, cells are separated by tabs. Free of Qt.
class CClipboardText {
public:
  /// Appends the cells of `text` row by row, an empty cell as `emptyMarker`, to
  /// `entries`. A final line break ends the last row without opening another. False,
  /// with nothing appended, when `text` is empty.
  static bool Parse(std::string_view text, std::string_view emptyMarker,
                    std::vector<std::string>& entries);
};
