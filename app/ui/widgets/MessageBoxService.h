#pragma once

#include <QString>

#include <functional>

class QWidget;

/// The one place that asks the user a question or tells them something. Tests replace
/// the person with a scripted answerer. Answers follow the document's convention:
/// kAnswerYes (1) for Yes or OK, kAnswerNo (2) for No. In a Yes/No question Enter
/// answers Yes (No in a YesNoDefaultNo question, where Yes would lose data) and Escape
/// answers No.
class CMessageBoxService {
public:
  enum class EButtons { Ok, YesNo, YesNoDefaultNo };

  struct SQuestion {
    QString title;
    QString text;
    EButtons buttons = EButtons::Ok;
    QString helpTopic; ///< may be empty; shown as a Help button that opens the topic
  };

  static constexpr int kAnswerYes = 1;
  static constexpr int kAnswerNo = 2;

  using Answerer = std::function<int(const SQuestion& question)>;

  /// Shows a modal message box over `parent` (may be null), or asks the scripted
  /// answerer when one is set.
  static int Ask(QWidget* parent, const SQuestion& question);
  /// The same, with `okText` on the OK button of an EButtons::Ok box (the welcome's
  /// "Start").
  static int Ask(QWidget* parent, const SQuestion& question, const QString& okText);

  /// Replaces the person (tests); an empty answerer brings the real boxes back.
  static void SetAnswerer(Answerer answerer);
  /// Opens a help topic for a box's Help button (set by the program at start).
  static void SetHelpOpener(std::function<void(const QString& topic)> opener);
};
