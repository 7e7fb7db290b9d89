#pragma once

#include "DocView.h"

#include "mtcore/FunctionTarget.h"

#include <QWidget>

class CDoc;
class QLabel;

/// Stands in the middle of the main window until the main view is wired in: names the
/// current project and how far its check is.
class CPlaceholderView : public QWidget, public CDocView {
  Q_OBJECT

public:
  CPlaceholderView(CDoc& doc, QWidget* parent = nullptr);

  bool OnCommand(int /*id*/) override { return false; }
  std::optional<bool> IsCommandEnabled(int /*id*/) const override { return std::nullopt; }
  void OnUpdate(int hint) override;
  HWND GetMessageWindow() const override { return m_window.GetSafeHwnd(); }

private:
  void OnMessage(UINT message);
  void ShowState();

  CDoc& m_doc;
  QLabel* m_text;
  CFunctionTarget m_window;
};
