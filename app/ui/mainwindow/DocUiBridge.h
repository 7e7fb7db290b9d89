#pragma once

#include "projects/DocUi.h"

#include <functional>
#include <string>

class CMainFrame;

/// What the document asks of the program's windows, carried out by the main frame,
/// its view and the dialogs. User interface thread only.
class CDocUiBridge : public CDocUi {
public:
  CDocUiBridge() = default;
  /// Gives back a wait cursor still shown.
  ~CDocUiBridge() override;
  CDocUiBridge(const CDocUiBridge&) = delete;
  CDocUiBridge& operator=(const CDocUiBridge&) = delete;

  /// The frame (with its view) that carries the requests out from now on; null: none.
  void SetFrame(CMainFrame* frame) { m_frame = frame; }

  int MessageBox(const std::string& title, const std::string& text, EButtons buttons,
                 const std::string& helpTopic) override;
  bool EditProjectSettings(SProjectSettings& settings) override;
  void RefreshProjectBar() override;
  void PressProjectButton(int commandId) override;
  void UpdateAllViews(int hint) override;
  /// Nests: each true needs its false.
  void ShowWaitCursor(bool show) override;
  HWND GetFirstViewWindow() const override;
  /// The dictionary editor of a dictionary that has a name; its find options come from
  /// the settings and go back there on OK.
  void EditDictionary(int id) override;
  void SpellCheckWord(std::vector<int> activeDictionaries) override;

private:
  /// Opens help topics through the frame.
  std::function<void(const std::string&)> HelpOpener() const;

  CMainFrame* m_frame = nullptr;
  int m_waitCursors = 0;
};
