#pragma once

#include <QToolBar>

#include <functional>
#include <string>
#include <vector>

class QActionGroup;

/// The web projects bar: one checkable button per project, at most one pressed. The
/// button of the project at index i carries the command id 45056 + i; only the first
/// 40 projects have such an id, the buttons of later projects are shown disabled.
class CProjectBar : public QToolBar {
  Q_OBJECT

public:
  static constexpr int kFirstId = 45056;
  static constexpr int kLastId = 45095;
  /// The bar's own control id (its "ctrlId" property).
  static constexpr int kBarId = 8003;

  /// `onCommand` receives the id of a button the user pressed.
  CProjectBar(QWidget* parent, std::function<void(int id)> onCommand);

  /// Button i gets names[i] and id kFirstId + i; surplus buttons go.
  void SetProjects(const std::vector<std::string>& names);
  /// Shows the button of `commandId` pressed and no other; none for an unknown id.
  void Press(int commandId);
  /// Index of the pressed button; -1 when none is.
  int PressedIndex() const;
  int ButtonCount() const { return static_cast<int>(m_buttons.size()); }
  /// Presses the button at `index` as the user would (nothing when it has no id).
  void Trigger(int index);
  /// Re-applies the background styles of the bar and its buttons.
  void ApplyStyles();

  /// The command id of the project at `index`; -1 beyond the id range.
  static int CommandIdOf(int index);
  /// `name` as the text of a button or menu entry: a "&" in it stays a letter.
  static QString PlainText(const std::string& name);

private:
  std::function<void(int id)> m_onCommand;
  QActionGroup* m_group;
  std::vector<QAction*> m_buttons;
};
