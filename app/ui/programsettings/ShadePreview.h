#pragma once

#include "shadeui/ShadeProperties.h"

#include <QWidget>

class QPushButton;

/// A sample of a shading as the windows draw it: the shaded background with a shaded
/// button on it, so that a change can be judged before it is kept.
class CShadePreview : public QWidget {
  Q_OBJECT

public:
  explicit CShadePreview(QWidget* parent = nullptr);

  void SetShade(const CShadeProperties& shade);

protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void ApplyButtonShade();

  CShadeProperties m_shade;
  QPushButton* m_sample = nullptr;
};
