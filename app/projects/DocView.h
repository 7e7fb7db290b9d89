#pragma once

#include "projects/CommandTarget.h"

#include "mtcore/WindowMessages.h"

/// What the frame and the document need of the main view: its commands (offered to it
/// before the document and the frame), the document's updates and the window that
/// receives the projects' and the speller's messages. User interface thread only.
class CDocView : public CCommandTarget {
public:
  /// The document changed; `hint` says what (CDoc::HINT_PROJECTS_CHANGED, ...).
  virtual void OnUpdate(int hint) = 0;
  /// The message target the projects post their progress to; 0 when there is none.
  virtual HWND GetMessageWindow() const = 0;

protected:
  CDocView() = default;
  CDocView(const CDocView&) = default;
  CDocView& operator=(const CDocView&) = default;
};
