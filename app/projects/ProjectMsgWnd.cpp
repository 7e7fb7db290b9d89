#include "projects/ProjectMsgWnd.h"

#include "projects/WebProject.h"

#include "diskfiles/FileCollector.h"
#include "utilcore/AppLogger.h"

#include <atomic>

namespace {
constexpr const char* kLogCreateFailed = "{07871ADC-03B5-45F2-86C3-1C06BE63AE85}";
constexpr const char* kLogNotAWindow = "{39B72BBF-C700-444B-A88D-BBF715579605}";

/// Control ids of the project windows, shared by every project of the process.
std::atomic<int> g_nextControlId{8000};
} // namespace

CProjectMsgWnd::~CProjectMsgWnd() {
  m_project = nullptr;
  DestroyWindow();
}

bool CProjectMsgWnd::CreateProjectWindow(CWebProject* project) {
  m_project = project;
  const HWND window = GetSafeHwnd();
  // A destroyed target cannot be registered again.
  if (window == 0) {
    CAppLogger::Log(kLogCreateFailed);
    return false;
  }
  m_controlId = g_nextControlId.fetch_add(1, std::memory_order_relaxed);
  if (!IsWindow(window)) {
    CAppLogger::Log(kLogNotAWindow);
    return false;
  }
  return true;
}

void CProjectMsgWnd::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (m_project == nullptr || !m_dispatchEnabled) {
    return;
  }
  if (message == CWebProject::MSG_PROJECT_START) {
    m_project->OnProjectStart();
  } else if (message == CWebProject::MSG_PROJECT_DIR_CHANGED) {
    m_project->OnDirChanged(lParam);
  } else if (message == CFileCollector::MSG_FC_BEGIN) {
    m_project->OnCollectBegin();
  } else if (message == CFileCollector::MSG_FC_DONE) {
    m_project->OnCollectionDone();
  }
}
