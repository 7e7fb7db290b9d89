#include "settings/DefaultShades.h"

#include "shadeui/BkgStyle.h"

#include <array>

namespace {
constexpr std::array<CDefaultShades::SRow, 13> kRows{{
    {10, "Stand-alone Buttons", 56, 142, 142, 42, 33, 16, 7},
    {11, "Horizontally-grouped Buttons", 0, 147, 0, 33, 16, 10, 3},
    {1, "Pop-up Windows", 0, 147, 0, 20, 0, 10, 1},
    {0, "Main Window", 56, 142, 142, 15, 33, 16, 1},
    {4, "Tool Bar", 152, 251, 152, 17, 0, 27, 1},
    {5, "Tool Bar Buttons", 152, 251, 152, 17, 33, 27, 1},
    {2, "Menu Bar", 152, 251, 152, 17, 0, 27, 1},
    {3, "Menu Bar Buttons", 152, 251, 152, 17, 33, 27, 1},
    {6, "Status Bar", 152, 251, 152, 17, 0, 27, 1},
    {7, "Status Bar Panes", 152, 251, 152, 17, 0, 27, 1},
    {8, "Web Projects Bar", 152, 251, 152, 17, 0, 27, 1},
    {9, "Web Projects Buttons", 152, 251, 152, 17, 33, 27, 1},
    {24, "Web Projects Button (selected)", 255, 255, 0, 23, 33, 16, 1},
}};
} // namespace

std::span<const CDefaultShades::SRow> CDefaultShades::GetTable() {
  return kRows;
}

void CDefaultShades::Apply(BkgStyle* style) {
  if (style == nullptr) {
    return;
  }
  for (const SRow& row : kRows) {
    CShadeProperties shade;
    shade.SetName(row.name);
    shade.SetEnabled(1);
    shade.SetColor(CShadeProperties::MakeColor(row.red, row.green, row.blue));
    shade.SetShading(row.lighten, row.gloss, row.darken, row.pattern);
    style->SetDefault(row.component, shade);
  }
  style->CopyDefaultToUser();
}
