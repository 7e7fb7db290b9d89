#pragma once

#include <string>

/// The prompts of the program's commands: the status line text, then a newline and
/// the tool tip when there is one.
class CCommandPrompts {
public:
  /// Empty for an id without a prompt.
  static std::string Get(int id);
  /// The status line part (before the newline).
  static std::string StatusText(int id);
  /// The tool tip part (after the newline); empty when there is none.
  static std::string ToolTip(int id);
};
