#include "widgets/DialogShape.h"

#include "utilcore/DirUtils.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {
QString StoreFile() {
  return QString::fromStdString(CDirUtils::GetSpecialFolder(CDirUtils::kApplicationData) +
                                "Pagelint/Dialogs.ini");
}

QString SizeKey(const QString& key) {
  return key + QStringLiteral("/size");
}
} // namespace

void CDialogShape::Restore(QWidget* dialog, const QString& key) {
  const QSettings store(StoreFile(), QSettings::IniFormat);
  const QSize stored = store.value(SizeKey(key)).toSize();
  if (!stored.isValid() || stored.isEmpty()) {
    return;
  }
  QSize size = stored.expandedTo(dialog->minimumSizeHint());
  // A size from a bigger screen than today's would hide the buttons.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableSize());
  }
  dialog->resize(size);
}

void CDialogShape::Store(const QWidget* dialog, const QString& key) {
  QSettings store(StoreFile(), QSettings::IniFormat);
  store.setValue(SizeKey(key), dialog->size());
}
