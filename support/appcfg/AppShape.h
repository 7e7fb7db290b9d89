#pragma once

/// The main window's place on the screen as the user left it.
struct SAppShape {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool minimized = false;
  bool maximized = false;
  /// False until a shape was set or read: then the program chooses the size.
  bool stored = false;

  friend bool operator==(const SAppShape&, const SAppShape&) = default;
};
