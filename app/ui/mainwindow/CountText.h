#pragma once

#include "utilcore/NumberTextConv.h"

#include <QString>

/// `count` as the main view's captions show it: digits grouped by thousands ("1,234").
inline QString CountText(int count) {
  return QString::fromStdString(CNumberTextConv::NumberToString(count, true, 0, ""));
}
