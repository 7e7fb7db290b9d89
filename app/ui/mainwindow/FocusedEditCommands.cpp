#include "mainwindow/FocusedEditCommands.h"

#include "projects/CommandIds.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include <algorithm>
#include <array>

namespace {

/// An Edit command a focused line edit carries out itself.
struct SFieldCommand {
  int id;
  /// Whether the field must take typing (not read-only, enabled).
  bool typing;
  bool (*can)(const QLineEdit& field);
  void (QLineEdit::*run)();
};

constexpr std::array kFieldCommands{
    SFieldCommand{CommandIds::kEditCut, true,
                  [](const QLineEdit& field) { return field.hasSelectedText(); }, &QLineEdit::cut},
    SFieldCommand{CommandIds::kEditPaste, true,
                  [](const QLineEdit&) { return !QApplication::clipboard()->text().isEmpty(); },
                  &QLineEdit::paste},
    SFieldCommand{CommandIds::kEditUndo, true,
                  [](const QLineEdit& field) { return field.isUndoAvailable(); }, &QLineEdit::undo},
    SFieldCommand{CommandIds::kEditSelectAll, false, [](const QLineEdit&) { return true; },
                  &QLineEdit::selectAll},
};

const SFieldCommand* FindFieldCommand(int id) {
  const auto found = std::find_if(kFieldCommands.begin(), kFieldCommands.end(),
                                  [id](const SFieldCommand& command) { return command.id == id; });
  return found == kFieldCommands.end() ? nullptr : &*found;
}

QLineEdit* FocusedEdit() {
  return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

bool TakesTyping(const QLineEdit& field) {
  return !field.isReadOnly() && field.isEnabled();
}

bool CanRun(const SFieldCommand& command, const QLineEdit* field) {
  return field != nullptr && (!command.typing || TakesTyping(*field)) && command.can(*field);
}

} // namespace

CFocusedEditCommands::CFocusedEditCommands(std::vector<const QLineEdit*> fields,
                                           std::function<QString()> copyText)
    : m_fields(std::move(fields)), m_copyText(std::move(copyText)) {}

QLineEdit* CFocusedEditCommands::FocusedField() const {
  QLineEdit* edit = FocusedEdit();
  return std::find(m_fields.begin(), m_fields.end(), edit) != m_fields.end() ? edit : nullptr;
}

bool CFocusedEditCommands::Handles(int id) {
  return id == CommandIds::kEditCopy || FindFieldCommand(id) != nullptr;
}

std::optional<bool> CFocusedEditCommands::IsEnabled(int id) const {
  if (id == CommandIds::kEditCopy) {
    return CanCopy();
  }
  if (const SFieldCommand* command = FindFieldCommand(id)) {
    return CanRun(*command, FocusedEdit());
  }
  return std::nullopt;
}

bool CFocusedEditCommands::Run(int id) {
  if (!IsEnabled(id).value_or(false)) {
    return false;
  }
  if (id == CommandIds::kEditCopy) {
    Copy();
    return true;
  }
  (FocusedEdit()->*FindFieldCommand(id)->run)();
  return true;
}

bool CFocusedEditCommands::CanCopy() const {
  if (QApplication::focusWidget() == nullptr) {
    return false;
  }
  if (const QLineEdit* field = FocusedField()) {
    return field->hasSelectedText();
  }
  return !m_copyText().isEmpty();
}

void CFocusedEditCommands::Copy() {
  if (QLineEdit* field = FocusedField()) {
    field->copy();
    return;
  }
  QApplication::clipboard()->setText(m_copyText());
}
