#include "widgets/ShadeStyle.h"

#include "shadeui/BkgStyle.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
// The levels are read as two-hundredths, so a level of 20 moves a colour a tenth of the way.
constexpr double kLevelScale = 200.0;
constexpr int kChannelMax = 255;
constexpr double kDarkLuminance = 140.0;
constexpr double kReadableContrast = 0.45;
constexpr double kButtonTint = 0.35;

QColor Mix(const QColor& from, const QColor& to, double weight) {
  const double w = std::clamp(weight, 0.0, 1.0);
  const auto channel = [w](int a, int b) {
    return static_cast<int>(static_cast<double>(a) + (static_cast<double>(b - a) * w));
  };
  return {channel(from.red(), to.red()), channel(from.green(), to.green()),
          channel(from.blue(), to.blue())};
}
} // namespace

bool CShadeStyle::IsEnabled(int component) {
  return BkgStyle::GetInstance()->GetUser(component).GetEnabled() != 0;
}

QColor CShadeStyle::Color(int component) {
  return Color(BkgStyle::GetInstance()->GetUser(component));
}

QColor CShadeStyle::Color(const CShadeProperties& shade) {
  const std::uint32_t value = shade.GetColor();
  // The platform keeps colours as 0x00BBGGRR.
  return {static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8U) & 0xFFU),
          static_cast<int>((value >> 16U) & 0xFFU)};
}

QColor CShadeStyle::Tint(int component, const QColor& paletteColor, double weight) {
  return Mix(paletteColor, Color(component), weight);
}

namespace {
/// The top and bottom colours of the shading's gradient around `base`.
std::pair<QColor, QColor> GradientEnds(const CShadeProperties& shade, const QColor& base) {
  return {
      Mix(base, QColor(kChannelMax, kChannelMax, kChannelMax), shade.GetLighten() / kLevelScale),
      Mix(base, QColor(0, 0, 0), shade.GetDarken() / kLevelScale)};
}
} // namespace

QString CShadeStyle::Gradient(int component, const QColor& base) {
  const auto [top, bottom] = GradientEnds(BkgStyle::GetInstance()->GetUser(component), base);
  return QStringLiteral("qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:0.5 %2, "
                        "stop:1 %3)")
      .arg(top.name(), base.name(), bottom.name());
}

QPalette CShadeStyle::ButtonPalette(int component, const QPalette& theme) {
  return ButtonPalette(BkgStyle::GetInstance()->GetUser(component), theme);
}

QPalette CShadeStyle::ButtonPalette(const CShadeProperties& shade, const QPalette& theme) {
  if (shade.GetEnabled() == 0) {
    return theme;
  }
  QPalette palette = theme;
  const QColor button = Mix(theme.color(QPalette::Button), Color(shade), kButtonTint);
  palette.setColor(QPalette::Button, button);
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::ButtonText,
                     ReadableText(theme.color(group, QPalette::ButtonText), button));
  }
  return palette;
}

void CShadeStyle::FillBackground(QPainter& painter, const QRect& rect, int component,
                                 const QColor& window, double weight) {
  FillBackground(painter, rect, BkgStyle::GetInstance()->GetUser(component), window, weight);
}

void CShadeStyle::FillBackground(QPainter& painter, const QRect& rect,
                                 const CShadeProperties& shade, const QColor& window,
                                 double weight) {
  if (shade.GetEnabled() == 0) {
    return;
  }
  const QColor base = Mix(window, Color(shade), weight);
  const auto [top, bottom] = GradientEnds(shade, base);
  QLinearGradient gradient(0, rect.top(), 0, rect.bottom());
  gradient.setColorAt(0.0, top);
  gradient.setColorAt(0.5, base);
  gradient.setColorAt(1.0, bottom);
  painter.fillRect(rect, gradient);
}

QColor CShadeStyle::ReadableText(const QColor& text, const QColor& background) {
  // Relative luminance (ITU-R BT.709 weights); half the scale apart reads well.
  const auto luminance = [](const QColor& color) {
    return 0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF();
  };
  if (std::abs(luminance(text) - luminance(background)) >= kReadableContrast) {
    return text;
  }
  return TextOn(background);
}

QColor CShadeStyle::TextOn(const QColor& background) {
  // Perceived brightness (ITU-R BT.601 weights).
  const double luminance =
      (0.299 * background.red()) + (0.587 * background.green()) + (0.114 * background.blue());
  return luminance < kDarkLuminance ? QColor(Qt::white) : QColor(Qt::black);
}
