#include "GuiTestKit.h"

#include <QApplication>

namespace guitest {

QApplication& Application() {
  return *qApp; // made by the GUI tests' main
}

ScriptedAnswers::ScriptedAnswers(std::vector<int> answers, int fallback)
    : m_answers(std::move(answers)), m_fallback(fallback) {
  CMessageBoxService::SetAnswerer([this](const CMessageBoxService::SQuestion& question) {
    m_questions.push_back(question);
    const std::size_t index = m_questions.size() - 1;
    return index < m_answers.size() ? m_answers[index] : m_fallback;
  });
}

ScriptedAnswers::~ScriptedAnswers() {
  CMessageBoxService::SetAnswerer({});
}

RecordedLaunches::RecordedLaunches(std::string error)
    : m_registrations(FileExtMgr::GetInstance()->GetAll()) {
  FileExtMgr::GetInstance()->RemoveAll();
  CLaunchActions::SetLauncher(
      [this, error](const CLaunchActions::SLaunch& launch, std::string& failure) {
        m_launches.push_back(launch);
        failure = error;
        return error.empty();
      });
}

RecordedLaunches::~RecordedLaunches() {
  CLaunchActions::SetLauncher({});
  FileExtMgr::GetInstance()->RestoreAll(m_registrations);
}

} // namespace guitest
