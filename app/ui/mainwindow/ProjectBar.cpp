#include "mainwindow/ProjectBar.h"

#include "projects/CommandPrompts.h"
#include "widgets/ShadeStyle.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>

namespace {
constexpr int kBarStyle = 8;
constexpr int kButtonStyle = 9;
constexpr int kSelectedStyle = 24;
// How much of the bar's and buttons' style colour tints the theme's own colours.
constexpr double kTintWeight = 0.3;
// The bar's text is a little larger than the rest, as a heading would be.
constexpr qreal kLargerPoints = 1.5;
constexpr int kLargerPixels = 2;
} // namespace

CProjectBar::CProjectBar(QWidget* parent, std::function<void(int id)> onCommand)
    : QToolBar(QStringLiteral("Web Projects"), parent), m_onCommand(std::move(onCommand)),
      m_group(new QActionGroup(this)) {
  setObjectName("projectBar");
  setProperty("ctrlId", kBarId);
  setToolButtonStyle(Qt::ToolButtonTextOnly);
  m_group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  QFont larger = QApplication::font();
  if (larger.pixelSize() > 0) {
    larger.setPixelSize(larger.pixelSize() + kLargerPixels);
  } else {
    larger.setPointSizeF(larger.pointSizeF() + kLargerPoints);
  }
  larger.setWeight(QFont::Normal);
  setFont(larger);
  ApplyStyles();
}

QString CProjectBar::PlainText(const std::string& name) {
  return QString::fromStdString(name).replace('&', QStringLiteral("&&"));
}

int CProjectBar::CommandIdOf(int index) {
  const int id = kFirstId + index;
  return index >= 0 && id <= kLastId ? id : -1;
}

void CProjectBar::SetProjects(const std::vector<std::string>& names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int index = static_cast<int>(i);
    if (i == m_buttons.size()) {
      auto* button = new QAction(this);
      button->setCheckable(true);
      m_group->addAction(button);
      addAction(button);
      connect(button, &QAction::triggered, this, [this, button] {
        const int id = button->data().toInt();
        if (id > 0 && m_onCommand) {
          m_onCommand(id);
        }
      });
      m_buttons.push_back(button);
    }
    QAction* button = m_buttons[i];
    button->setText(PlainText(names[i]));
    const int id = CommandIdOf(index);
    button->setData(id);
    button->setEnabled(id > 0);
    button->setStatusTip(QString::fromStdString(CCommandPrompts::StatusText(kFirstId)));
  }
  while (m_buttons.size() > names.size()) {
    delete m_buttons.back();
    m_buttons.pop_back();
  }
}

void CProjectBar::Press(int commandId) {
  for (QAction* button : m_buttons) {
    if (commandId > 0 && button->data().toInt() == commandId) {
      button->setChecked(true);
      return;
    }
  }
  if (QAction* pressed = m_group->checkedAction()) {
    pressed->setChecked(false);
  }
}

int CProjectBar::PressedIndex() const {
  for (std::size_t i = 0; i < m_buttons.size(); ++i) {
    if (m_buttons[i]->isChecked()) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void CProjectBar::Trigger(int index) {
  if (index < 0 || index >= ButtonCount()) {
    return;
  }
  QAction* button = m_buttons[static_cast<std::size_t>(index)];
  if (button->isEnabled()) {
    button->trigger();
  }
}

void CProjectBar::ApplyStyles() {
  QString sheet;
  const QPalette colours = palette();
  if (CShadeStyle::IsEnabled(kBarStyle)) {
    const QColor bar = CShadeStyle::Tint(kBarStyle, colours.color(QPalette::Window), kTintWeight);
    // A tool bar paints its background only together with a border rule.
    sheet += QStringLiteral("QToolBar#projectBar { background: %1; border: none; }")
                 .arg(CShadeStyle::Gradient(kBarStyle, bar));
  }
  if (CShadeStyle::IsEnabled(kButtonStyle)) {
    const QColor button =
        CShadeStyle::Tint(kButtonStyle, colours.color(QPalette::Button), kTintWeight);
    sheet += QStringLiteral("QToolBar#projectBar QToolButton { background: %1; color: %2; "
                            "border: 1px solid %3; border-radius: 3px; padding: 2px 8px; }")
                 .arg(CShadeStyle::Gradient(kButtonStyle, button),
                      CShadeStyle::TextOn(button).name(), button.darker(140).name());
  }
  if (CShadeStyle::IsEnabled(kSelectedStyle)) {
    // The pressed project stands out in its own colour whatever the theme, so its text
    // colour follows that colour, not the theme.
    const QColor selected = CShadeStyle::Color(kSelectedStyle);
    sheet += QStringLiteral("QToolBar#projectBar QToolButton:checked { background: %1; "
                            "color: %2; border: 1px solid %3; border-radius: 3px; "
                            "padding: 2px 8px; }")
                 .arg(CShadeStyle::Gradient(kSelectedStyle, selected),
                      CShadeStyle::TextOn(selected).name(), selected.darker(160).name());
  }
  setStyleSheet(sheet);
}
