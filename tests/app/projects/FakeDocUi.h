#pragma once

#include "projects/DocUi.h"

#include <functional>
#include <string>
#include <vector>

/// Records what the document asks of the user interface and answers as scripted.
class FakeDocUi : public CDocUi {
public:
  struct Box {
    std::string title;
    std::string text;
    EButtons buttons;
  };

  int MessageBox(const std::string& title, const std::string& text, EButtons buttons,
                 const std::string& /*helpTopic*/) override {
    boxes.push_back({title, text, buttons});
    return boxAnswer;
  }
  bool EditProjectSettings(SProjectSettings& settings) override {
    shownSettings.push_back(settings);
    if (!settingsEditor) {
      return false;
    }
    return settingsEditor(settings);
  }
  void RefreshProjectBar() override { ++barRefreshes; }
  void PressProjectButton(int commandId) override { pressedButtons.push_back(commandId); }
  void UpdateAllViews(int hint) override { viewHints.push_back(hint); }
  void ShowWaitCursor(bool show) override { waitCursorDepth += show ? 1 : -1; }
  HWND GetFirstViewWindow() const override { return viewWindow; }
  void EditDictionary(int id) override { editedDictionaries.push_back(id); }
  void SpellCheckWord(std::vector<int> activeDictionaries) override {
    spellCheckRequests.push_back(std::move(activeDictionaries));
  }

  // Script.
  int boxAnswer = kAnswerYes;
  /// Plays the user in the settings dialog; without it the dialog is cancelled.
  std::function<bool(SProjectSettings&)> settingsEditor;
  HWND viewWindow = 0;

  // Record.
  std::vector<Box> boxes;
  std::vector<SProjectSettings> shownSettings;
  int barRefreshes = 0;
  std::vector<int> pressedButtons;
  std::vector<int> viewHints;
  int waitCursorDepth = 0;
  std::vector<int> editedDictionaries;
  std::vector<std::vector<int>> spellCheckRequests;
};
