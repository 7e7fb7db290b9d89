#include "programsettings/StylesTab.h"

#include "programsettings/ShadePreview.h"
#include "widgets/ShadeStyle.h"

#include "settings/DefaultShades.h"
#include "shadeui/BkgStyle.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kLevelMax = 255;
constexpr int kSwatchSize = 14;

QString NameOf(int component) {
  for (const CDefaultShades::SRow& row : CDefaultShades::GetTable()) {
    if (row.component == component) {
      return QString::fromUtf8(row.name);
    }
  }
  return QString::number(component);
}

QSpinBox* LevelBox(const char* name) {
  auto* box = new QSpinBox;
  box->setObjectName(QLatin1String(name));
  box->setRange(0, kLevelMax);
  return box;
}

QPixmap Swatch(const QColor& color) {
  QPixmap swatch(kSwatchSize, kSwatchSize);
  swatch.fill(color);
  return swatch;
}

std::uint32_t ToColorValue(const QColor& color) {
  return CShadeProperties::MakeColor(static_cast<std::uint8_t>(color.red()),
                                     static_cast<std::uint8_t>(color.green()),
                                     static_cast<std::uint8_t>(color.blue()));
}
} // namespace

CStylesTab::CStylesTab(QWidget* parent) : QWidget(parent) {
  setObjectName("stylesTab");
  const BkgStyle* styles = BkgStyle::GetInstance();
  m_styles = new QListWidget;
  m_styles->setObjectName("stylesList");
  for (std::size_t i = 0; i < kComponents.size(); ++i) {
    m_edited[i] = styles->GetUser(kComponents[i]);
    m_styles->addItem(NameOf(kComponents[i]));
  }
  m_enabled = new QCheckBox(QStringLiteral("&Enabled"));
  m_enabled->setObjectName("styleEnabledCheck");
  m_color = new QPushButton(QStringLiteral("&Colour..."));
  m_color->setObjectName("styleColorButton");
  m_color->setAutoDefault(false);
  m_lighten = LevelBox("lightenSpin");
  m_darken = LevelBox("darkenSpin");
  m_reset = new QPushButton(QStringLiteral("&Reset to default"));
  m_reset->setObjectName("resetStyleButton");
  m_reset->setAutoDefault(false);
  m_preview = new CShadePreview;

  auto* listLabel = new QLabel(QStringLiteral("&Windows, bars and buttons:"));
  listLabel->setBuddy(m_styles);
  auto* lightenLabel = new QLabel(QStringLiteral("Lig&hten the top by:"));
  lightenLabel->setBuddy(m_lighten);
  auto* darkenLabel = new QLabel(QStringLiteral("Dar&ken the bottom by:"));
  darkenLabel->setBuddy(m_darken);

  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  form->addRow(m_enabled);
  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(m_color);
  colorRow->addStretch(1);
  form->addRow(colorRow);
  form->addRow(lightenLabel, m_lighten);
  form->addRow(darkenLabel, m_darken);
  auto* editors = new QVBoxLayout;
  editors->addLayout(form);
  editors->addWidget(new QLabel(QStringLiteral("Preview:")));
  editors->addWidget(m_preview);
  editors->addWidget(m_reset, 0, Qt::AlignLeft);
  editors->addStretch(1);

  auto* list = new QVBoxLayout;
  list->addWidget(listLabel);
  list->addWidget(m_styles, 1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(list, 1);
  layout->addLayout(editors, 1);

  connect(m_styles, &QListWidget::currentRowChanged, this, [this] { ShowStyle(); });
  connect(m_enabled, &QCheckBox::toggled, this, [this](bool on) {
    Edited([](CShadeProperties& shade, int value) { shade.SetEnabled(value != 0 ? 1 : 0); },
           on ? 1 : 0);
  });
  connect(m_lighten, &QSpinBox::valueChanged, this, [this](int level) {
    Edited(
        [](CShadeProperties& shade, int value) {
          shade.SetShading(static_cast<std::uint8_t>(value), shade.GetGloss(), shade.GetDarken(),
                           shade.GetPattern());
        },
        level);
  });
  connect(m_darken, &QSpinBox::valueChanged, this, [this](int level) {
    Edited(
        [](CShadeProperties& shade, int value) {
          shade.SetShading(shade.GetLighten(), shade.GetGloss(), static_cast<std::uint8_t>(value),
                           shade.GetPattern());
        },
        level);
  });
  connect(m_color, &QPushButton::clicked, this, &CStylesTab::ChooseColor);
  connect(m_reset, &QPushButton::clicked, this, &CStylesTab::ResetToDefault);
  m_styles->setCurrentRow(0);
}

CShadeProperties& CStylesTab::Current() {
  const int row = m_styles->currentRow();
  return m_edited.at(row < 0 ? 0U : static_cast<std::size_t>(row));
}

void CStylesTab::ShowStyle() {
  const CShadeProperties& shade = Current();
  m_filling = true;
  m_enabled->setChecked(shade.GetEnabled() != 0);
  m_lighten->setValue(shade.GetLighten());
  m_darken->setValue(shade.GetDarken());
  m_filling = false;
  const QColor color = CShadeStyle::Color(shade);
  m_color->setIcon(Swatch(color));
  m_color->setToolTip(color.name());
  m_preview->SetShade(shade);
}

void CStylesTab::Edited(void (*change)(CShadeProperties&, int), int value) {
  if (m_filling) {
    return;
  }
  change(Current(), value);
  m_preview->SetShade(Current());
}

void CStylesTab::ChooseColor() {
  const QColor chosen =
      QColorDialog::getColor(CShadeStyle::Color(Current()), this, m_styles->currentItem()->text());
  if (!chosen.isValid()) {
    return;
  }
  Current().SetColor(ToColorValue(chosen));
  ShowStyle();
}

void CStylesTab::ResetToDefault() {
  const int row = m_styles->currentRow();
  if (row < 0) {
    return;
  }
  Current() = BkgStyle::GetInstance()->GetDefault(kComponents.at(static_cast<std::size_t>(row)));
  ShowStyle();
}

bool CStylesTab::Apply() const {
  BkgStyle* styles = BkgStyle::GetInstance();
  bool changed = false;
  for (std::size_t i = 0; i < kComponents.size(); ++i) {
    if (m_edited[i] != styles->GetUser(kComponents[i])) {
      styles->SetUser(kComponents[i], m_edited[i]);
      changed = true;
    }
  }
  return changed;
}
