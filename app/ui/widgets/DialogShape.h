#pragma once

#include <QString>

class QWidget;

/// Remembers a resizable dialog's size between uses, in "Dialogs.ini" beside the
/// settings file, so each window opens as large as the user last made it.
class CDialogShape {
public:
  /// Resizes `dialog` to the size stored under `key`, kept within the screen; a
  /// missing or damaged entry leaves the dialog's own size.
  static void Restore(QWidget* dialog, const QString& key);
  /// Stores the dialog's current size under `key`.
  static void Store(const QWidget* dialog, const QString& key);
};
