#pragma once

#include <QIcon>

/// The icons of the tool bar: the desktop theme's where it has them, else simple
/// drawings of Pagelint's own.
class CFrameIcons {
public:
  enum class EGlyph { Copy, Paste, Settings, SpellCheck, Info, Mail, Upgrade };

  /// The theme's icon `themeName`, else the drawing of `glyph`.
  static QIcon Get(const QString& themeName, EGlyph glyph);
  /// Pagelint's own drawing of `glyph`.
  static QIcon Draw(EGlyph glyph);
};
