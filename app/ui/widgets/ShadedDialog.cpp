#include "widgets/ShadedDialog.h"

#include "widgets/DialogShape.h"
#include "widgets/ShadeStyle.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPushButton>

CShadedDialog::CShadedDialog(QWidget* parent, HelpOpener help)
    : QDialog(parent), m_help(std::move(help)) {}

void CShadedDialog::SetHelpTopic(QPushButton* info, std::string topic) {
  m_helpTopic = std::move(topic);
  const auto open = [this] {
    if (m_help) {
      m_help(m_helpTopic);
    }
  };
  connect(info, &QPushButton::clicked, this, open);
  auto* key = new QAction(this);
  key->setShortcut(QKeySequence(Qt::Key_F1));
  key->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(key, &QAction::triggered, this, open);
  addAction(key);
}

void CShadedDialog::ShadeButtons(const QList<QPushButton*>& buttons, int style) {
  m_buttonGroups.emplace_back(style, buttons);
  ApplyButtonShade();
}

void CShadedDialog::RememberShape(const QString& key) {
  m_shapeKey = key;
  CDialogShape::Restore(this, key);
}

void CShadedDialog::done(int result) {
  if (!m_shapeKey.isEmpty()) {
    CDialogShape::Store(this, m_shapeKey);
  }
  QDialog::done(result);
}

void CShadedDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  CShadeStyle::FillBackground(painter, rect(), kStylePopUp, palette().color(QPalette::Window),
                              CShadeStyle::kBackgroundTint);
}

void CShadedDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  // A new desktop theme: the tints follow its colours.
  if (event->type() == QEvent::ApplicationPaletteChange) {
    ApplyButtonShade();
  }
}

void CShadedDialog::ApplyButtonShade() {
  for (const auto& [style, buttons] : m_buttonGroups) {
    if (buttons.isEmpty()) {
      continue;
    }
    const QPalette palette =
        CShadeStyle::ButtonPalette(style, QApplication::palette(buttons.front()));
    for (QPushButton* button : buttons) {
      button->setPalette(palette);
    }
  }
}
