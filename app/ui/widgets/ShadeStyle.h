#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class CShadeProperties;
class QPainter;
class QRect;

/// Style sheet pieces that draw a component's shading (its user background style):
/// a gentle vertical gradient around the style's colour, with a text colour that stays
/// readable on it.
class CShadeStyle {
public:
  /// How much of a style's colour a window's background takes over the theme's.
  static constexpr double kBackgroundTint = 0.2;

  /// Whether the component's user shading is switched on.
  static bool IsEnabled(int component);
  /// The component's colour.
  static QColor Color(int component);
  static QColor Color(const CShadeProperties& shade);
  /// The style's colour mixed into `paletteColor`, `weight` (0-1) of the style's: a
  /// tint that keeps the desktop theme's light or dark character.
  static QColor Tint(int component, const QColor& paletteColor, double weight);
  /// "qlineargradient(...)" from a little lighter than `base` at the top to a little
  /// darker at the bottom, as far as the component's levels say.
  static QString Gradient(int component, const QColor& base);
  /// Black or white, whichever reads better on `background`.
  static QColor TextOn(const QColor& background);
  /// The theme's `text` colour, or TextOn(background) when it does not stand out from
  /// `background` enough to read.
  static QColor ReadableText(const QColor& text, const QColor& background);
  /// `theme` with its button colour tinted by the component (when its shading is on)
  /// and button texts that stay readable on it: the palette of shaded push buttons.
  static QPalette ButtonPalette(int component, const QPalette& theme);
  /// The same for a shading that is not (yet) a component's, such as one being edited.
  static QPalette ButtonPalette(const CShadeProperties& shade, const QPalette& theme);
  /// Fills `rect` with the component's gradient around `window` tinted by `weight`
  /// (0-1); nothing when the component's shading is off.
  static void FillBackground(QPainter& painter, const QRect& rect, int component,
                             const QColor& window, double weight);
  static void FillBackground(QPainter& painter, const QRect& rect, const CShadeProperties& shade,
                             const QColor& window, double weight);
};
