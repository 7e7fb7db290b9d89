#pragma once

#include "MessageBoxService.h"

#include <QString>

#include <vector>

class QApplication;

/// Helpers of the GUI tests.
namespace guitest {

/// The process's QApplication (offscreen platform), made by the tests' main.
QApplication& Application();

/// Answers every message box from a script, recording the questions; restores the
/// real boxes when it goes.
class ScriptedAnswers {
public:
  /// `answers` are given in order; once used up, every question gets `fallback`.
  explicit ScriptedAnswers(std::vector<int> answers = {},
                           int fallback = CMessageBoxService::kAnswerNo);
  ~ScriptedAnswers();
  ScriptedAnswers(const ScriptedAnswers&) = delete;
  ScriptedAnswers& operator=(const ScriptedAnswers&) = delete;

  const std::vector<CMessageBoxService::SQuestion>& Questions() const { return m_questions; }

private:
  std::vector<int> m_answers;
  int m_fallback;
  std::vector<CMessageBoxService::SQuestion> m_questions;
};

} // namespace guitest
