#include "FrameTestKit.h"

#include "widgets/MessageBoxService.h"

#include "projects/DocSettings.h"
#include "projects/WebProject.h"

#include "utilcore/DirUtils.h"

#include <QApplication>
#include <QDialog>

#include <gtest/gtest.h>

namespace frametest {
namespace {
constexpr int kLookEveryMs = 5;
} // namespace

std::string AppDirectory() {
  return CDirUtils::GetAppPath();
}

void SaveProject(const std::string& name, const std::string& root) {
  CWebProject project;
  project.SetName(name);
  project.SetRootDirectory(root);
  project.SetDataPath(CDocSettings::GetDefaultProjectDataDirectory());
  EXPECT_TRUE(project.SaveProject(false)) << name;
  project.StopProject();
}

CModalWatcher::CModalWatcher(std::vector<std::string>& events, Handler handler)
    : m_events(events), m_handler(std::move(handler)) {
  QObject::connect(&m_timer, &QTimer::timeout, [this] { Look(); });
  m_timer.start(kLookEveryMs);
}

void CModalWatcher::Look() {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr || dialog == m_last) {
    return;
  }
  m_last = dialog;
  m_events.push_back(dialog->objectName().toStdString());
  if (m_handler) {
    m_handler(*dialog);
  } else {
    dialog->reject();
  }
}

CBoxRecorder::CBoxRecorder(std::vector<std::string>& events, int answer) {
  CMessageBoxService::SetAnswerer(
      [this, &events, answer](const CMessageBoxService::SQuestion& question) {
        events.push_back("box:" + question.title.toStdString());
        m_texts.push_back(question.text.toStdString());
        return answer;
      });
}

CBoxRecorder::~CBoxRecorder() {
  CMessageBoxService::SetAnswerer({});
}

} // namespace frametest
