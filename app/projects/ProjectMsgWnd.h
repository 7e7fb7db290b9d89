#pragma once

#include "mtcore/MessageTarget.h"

class CWebProject;

/// A project's hidden window: the timer, monitor and collector threads post to it and
/// its handlers run the project's operations on the thread that created it.
class CProjectMsgWnd : public CMessageTarget {
public:
  CProjectMsgWnd() = default;
  ~CProjectMsgWnd() override;
  CProjectMsgWnd(const CProjectMsgWnd&) = delete;
  CProjectMsgWnd& operator=(const CProjectMsgWnd&) = delete;

  /// Makes the window serve `project` (not owned) and gives it the next control id;
  /// false (logged) when the window is gone and cannot serve any more.
  bool CreateProjectWindow(CWebProject* project);
  /// The control id given by CreateProjectWindow (8000 and up, process-wide); 0 before.
  int GetControlId() const { return m_controlId; }
  /// Makes every later message do nothing.
  void DisableDispatch() { m_dispatchEnabled = false; }
  CWebProject* GetProject() const { return m_project; }

protected:
  void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  bool m_dispatchEnabled = true;
  CWebProject* m_project = nullptr;
  int m_controlId = 0;
};
