#include "mainwindow/FrameIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace {
// Drawn on a 24 x 24 grid and scaled to each size.
constexpr int kGrid = 24;
constexpr std::array kSizes{16, 24, 32, 48};

const QColor kInk(70, 78, 88);
const QColor kPaper(250, 250, 246);
const QColor kBlue(40, 110, 200);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 50, 40);

void Page(QPainter& painter, const QRectF& rect) {
  painter.setPen(QPen(kInk, 1.5));
  painter.setBrush(kPaper);
  painter.drawRoundedRect(rect, 1.5, 1.5);
}

void Lines(QPainter& painter, double left, double top, double width, int count) {
  painter.setPen(QPen(kInk, 1.2));
  for (int i = 0; i < count; ++i) {
    const double y = top + (i * 3.0);
    painter.drawLine(QPointF(left, y), QPointF(left + width, y));
  }
}

void DrawCopy(QPainter& painter) {
  Page(painter, {3, 3, 12, 14});
  Page(painter, {9, 7, 12, 14});
  Lines(painter, 12, 11, 6, 3);
}

void DrawPaste(QPainter& painter) {
  painter.setPen(QPen(kInk, 1.5));
  painter.setBrush(QColor(190, 150, 100));
  painter.drawRoundedRect(QRectF(4, 4, 16, 18), 2, 2);
  painter.setBrush(kInk);
  painter.drawRoundedRect(QRectF(8, 2, 8, 4), 1, 1);
  Page(painter, {7, 8, 10, 12});
  Lines(painter, 9, 11, 6, 3);
}

void DrawSettings(QPainter& painter) {
  painter.setPen(QPen(kInk, 2));
  const std::array<double, 3> knobs{8, 15, 11};
  for (std::size_t i = 0; i < knobs.size(); ++i) {
    const double y = 6.0 + (static_cast<double>(i) * 6.0);
    painter.setPen(QPen(kInk, 2));
    painter.drawLine(QPointF(3, y), QPointF(21, y));
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(kBlue);
    painter.drawEllipse(QPointF(knobs[i], y), 2.5, 2.5);
  }
}

void DrawSpellCheck(QPainter& painter) {
  QFont font = painter.font();
  font.setPixelSize(10);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(kInk);
  painter.drawText(QRectF(1, 1, 22, 11), Qt::AlignCenter, QStringLiteral("abc"));
  painter.setPen(QPen(kRed, 1.2));
  QPainterPath wave;
  wave.moveTo(3, 13);
  for (int x = 5; x <= 21; x += 2) {
    wave.lineTo(x, (x / 2) % 2 == 0 ? 13 : 15);
  }
  painter.drawPath(wave);
  painter.setPen(QPen(kGreen, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(std::array{QPointF(7, 18), QPointF(10, 21), QPointF(18, 15)}.data(), 3);
}

void DrawInfo(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBlue);
  painter.drawEllipse(QRectF(2, 2, 20, 20));
  painter.setBrush(Qt::white);
  painter.drawEllipse(QPointF(12, 7.5), 1.7, 1.7);
  painter.drawRoundedRect(QRectF(10.5, 10.5, 3, 8), 1, 1);
}

void DrawMail(QPainter& painter) {
  painter.setPen(QPen(kInk, 1.5));
  painter.setBrush(kPaper);
  painter.drawRect(QRectF(2.5, 5.5, 19, 13));
  painter.drawPolyline(std::array{QPointF(2.5, 5.5), QPointF(12, 13), QPointF(21.5, 5.5)}.data(),
                       3);
}

void DrawUpgrade(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(kGreen);
  const std::array arrow{QPointF(12, 2),   QPointF(21, 12),  QPointF(15.5, 12), QPointF(15.5, 22),
                         QPointF(8.5, 22), QPointF(8.5, 12), QPointF(3, 12)};
  painter.drawPolygon(arrow.data(), static_cast<int>(arrow.size()));
}

void DrawGlyph(QPainter& painter, CFrameIcons::EGlyph glyph) {
  switch (glyph) {
  case CFrameIcons::EGlyph::Copy:
    DrawCopy(painter);
    break;
  case CFrameIcons::EGlyph::Paste:
    DrawPaste(painter);
    break;
  case CFrameIcons::EGlyph::Settings:
    DrawSettings(painter);
    break;
  case CFrameIcons::EGlyph::SpellCheck:
    DrawSpellCheck(painter);
    break;
  case CFrameIcons::EGlyph::Info:
    DrawInfo(painter);
    break;
  case CFrameIcons::EGlyph::Mail:
    DrawMail(painter);
    break;
  case CFrameIcons::EGlyph::Upgrade:
    DrawUpgrade(painter);
    break;
  }
}
} // namespace

QIcon CFrameIcons::Get(const QString& themeName, EGlyph glyph) {
  if (QIcon::hasThemeIcon(themeName)) {
    return QIcon::fromTheme(themeName);
  }
  return Draw(glyph);
}

QIcon CFrameIcons::Draw(EGlyph glyph) {
  QIcon icon;
  for (const int size : kSizes) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(static_cast<double>(size) / kGrid, static_cast<double>(size) / kGrid);
    DrawGlyph(painter, glyph);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}
