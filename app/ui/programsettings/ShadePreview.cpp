#include "programsettings/ShadePreview.h"

#include "widgets/ShadeStyle.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kMinimumHeight = 72;
} // namespace

CShadePreview::CShadePreview(QWidget* parent) : QWidget(parent) {
  setObjectName("shadePreview");
  setMinimumHeight(kMinimumHeight);
  m_sample = new QPushButton(QStringLiteral("Sample"));
  m_sample->setObjectName("previewButton");
  m_sample->setFocusPolicy(Qt::NoFocus);
  m_sample->setAutoDefault(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_sample, 0, Qt::AlignCenter);
}

void CShadePreview::SetShade(const CShadeProperties& shade) {
  m_shade = shade;
  ApplyButtonShade();
  update();
}

void CShadePreview::ApplyButtonShade() {
  m_sample->setPalette(CShadeStyle::ButtonPalette(m_shade, QApplication::palette(m_sample)));
}

void CShadePreview::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  const QColor window = palette().color(QPalette::Window);
  painter.fillRect(rect(), window);
  CShadeStyle::FillBackground(painter, rect(), m_shade, window, CShadeStyle::kBackgroundTint);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CShadePreview::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && m_sample != nullptr) {
    ApplyButtonShade();
  }
}
