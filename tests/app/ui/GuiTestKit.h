#pragma once

#include "services/LaunchActions.h"
#include "widgets/MessageBoxService.h"

#include "diskfiles/FileExtMgr.h"

#include <QString>

#include <string>
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

/// Records the programs the windows would start instead of starting them, with no
/// viewer or editor registered; puts both back when it goes.
class RecordedLaunches {
public:
  /// `error`: when not empty, every start fails with it.
  explicit RecordedLaunches(std::string error = {});
  ~RecordedLaunches();
  RecordedLaunches(const RecordedLaunches&) = delete;
  RecordedLaunches& operator=(const RecordedLaunches&) = delete;

  const std::vector<CLaunchActions::SLaunch>& All() const { return m_launches; }

private:
  std::vector<CLaunchActions::SLaunch> m_launches;
  std::vector<FileExtMgr::SEntry> m_registrations;
};

} // namespace guitest
