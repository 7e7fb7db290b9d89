#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QPushButton;

/// A dialog drawn like the program's other pop-up windows: its background shaded by
/// the "Pop-up Windows" style and its push buttons by the "Stand-alone Buttons" style,
/// both following the desktop theme. A resizable one remembers its size; one with a
/// help topic opens it from its Info button and F1.
class CShadedDialog : public QDialog {
  Q_OBJECT

public:
  static constexpr int kStylePopUp = 1;
  static constexpr int kStyleButtons = 10;

  /// Opens a help topic ("HowTo/Dictionaries.htm#add", ...).
  using HelpOpener = std::function<void(const std::string& topic)>;

  CShadedDialog(QWidget* parent, HelpOpener help);

protected:
  const HelpOpener& Help() const { return m_help; }
  /// `info` and F1 open `topic`.
  void SetHelpTopic(QPushButton* info, std::string topic);
  /// Shades `buttons` by background style `style` now and after every change of the
  /// desktop theme; groups of different styles add up.
  void ShadeButtons(const QList<QPushButton*>& buttons, int style = kStyleButtons);
  /// Gives the dialog the size stored under `key` and stores its size when it closes.
  void RememberShape(const QString& key);

  void done(int result) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void ApplyButtonShade();

  HelpOpener m_help;
  std::string m_helpTopic;
  std::vector<std::pair<int, QList<QPushButton*>>> m_buttonGroups;
  QString m_shapeKey;
};
