#pragma once

#include "shadeui/ShadeProperties.h"

#include <QWidget>

#include <array>

class CShadePreview;
class QCheckBox;
class QListWidget;
class QPushButton;
class QSpinBox;

/// The Background styles tab of the settings window: the shading of each part of the
/// windows, switched on or off, its colour and how much lighter its top and darker its
/// bottom are, with a preview. The user edits copies; Apply writes them to BkgStyle.
class CStylesTab : public QWidget {
  Q_OBJECT

public:
  /// The components in the order the tab lists them.
  static constexpr std::array<int, 13> kComponents{0, 4, 5, 2, 3, 8, 9, 24, 6, 7, 1, 11, 10};

  explicit CStylesTab(QWidget* parent = nullptr);

  /// Writes the changed shadings to BkgStyle; returns whether any changed.
  bool Apply() const;

private:
  void ShowStyle();
  /// Takes in an edit of the current shading, unless the tab fills the controls.
  void Edited(void (*change)(CShadeProperties&, int), int value);
  void ChooseColor();
  void ResetToDefault();
  CShadeProperties& Current();

  std::array<CShadeProperties, kComponents.size()> m_edited;
  /// Set while the tab itself fills the controls.
  bool m_filling = false;

  QListWidget* m_styles = nullptr;
  QCheckBox* m_enabled = nullptr;
  QPushButton* m_color = nullptr;
  QSpinBox* m_lighten = nullptr;
  QSpinBox* m_darken = nullptr;
  QPushButton* m_reset = nullptr;
  CShadePreview* m_preview = nullptr;
};
