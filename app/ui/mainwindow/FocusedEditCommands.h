#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QLineEdit;

/// The Edit menu's commands (Undo, Cut, Copy, Paste, Select All) on the widget that has
/// the keyboard focus: a focused line edit is asked whether it can and then told to do
/// it; Undo, Cut and Paste need one that can be typed in. Copy takes the selection of the
/// own fields given here, and from any other focused widget the owner's text (the
/// selected entry of its lists). User interface thread only.
class CFocusedEditCommands {
public:
  /// `fields` are the owner's line edits; `copyText` gives what Copy takes elsewhere.
  CFocusedEditCommands(std::vector<const QLineEdit*> fields, std::function<QString()> copyText);

  /// Whether `id` is one of the Edit commands.
  static bool Handles(int id);
  /// For an Edit command, whether it can run now; nullopt for any other command.
  std::optional<bool> IsEnabled(int id) const;
  /// Carries out Edit command `id`; false when it cannot run now or is no Edit command.
  bool Run(int id);

private:
  /// The focused line edit when it is one of the owner's fields; null otherwise.
  QLineEdit* FocusedField() const;
  bool CanCopy() const;
  void Copy();

  std::vector<const QLineEdit*> m_fields;
  std::function<QString()> m_copyText;
};
