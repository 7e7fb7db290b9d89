#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

/// What the main view starts outside the program: a word looked up on a web service in
/// the browser, and a page opened in the program the user registered for viewing or
/// editing its type (asking for one through the settings window when there is none).
class CLaunchActions {
public:
  enum class EUse { View, Edit };

  /// One program start: `application` with `arguments` in `folder`. An address as
  /// application, or none with a page as argument, goes to the desktop's opener.
  struct SLaunch {
    std::string application;
    std::string folder;
    std::vector<std::string> arguments;
    friend bool operator==(const SLaunch&, const SLaunch&) = default;
  };
  /// Starts a program; false with `error` filled when it could not be started.
  using FLauncher = std::function<bool(const SLaunch& launch, std::string& error)>;
  /// Opens the settings window, on its Launch tab with `extension` chosen when that is
  /// not empty; true when it closed with OK.
  using FSettingsWindow = std::function<bool(const std::string& extension)>;

  static constexpr const char* kLookUpFailed = "{C118734E-3F31-49E5-91E0-4268EC366DD0}";
  static constexpr const char* kViewFailed = "{E56938A0-E3F1-44F8-A5E0-1F7C20B7D4EC}";
  static constexpr const char* kEditFailed = "{1F679C4B-30A9-4553-A4F7-3A0ADF42F5C6}";

  /// Messages and questions are shown over `parent`.
  explicit CLaunchActions(QWidget* parent) : m_parent(parent) {}

  /// Replaces the real starting of programs, for tests; an empty one restores it.
  static void SetLauncher(FLauncher launcher);
  /// Starts `launch` as the windows do (through the test launcher when one is set).
  static bool Start(const SLaunch& launch, std::string& error);

  void SetSettingsWindow(FSettingsWindow open) { m_settingsWindow = std::move(open); }
  bool HasSettingsWindow() const { return static_cast<bool>(m_settingsWindow); }
  /// The settings window without a chosen extension; true when it closed with OK.
  bool OpenSettings() const;

  /// Opens the research service of `commandId` on `word` in the browser.
  void LookUp(int commandId, const std::string& word) const;
  /// Opens the page at `path` for viewing or editing in its registered program. A page
  /// without a viewer goes to the desktop's opener; when that cannot start, or a page
  /// has no editor, the user is asked to choose a program in the settings window.
  void OpenFile(EUse use, const std::string& path) const;

private:
  /// The registered program; when there is none, asks whether to choose one in the
  /// settings window and looks again after it. "" when there is none.
  std::string ApplicationFor(EUse use, const std::string& extension) const;
  bool Launch(const SLaunch& launch, const char* logId) const;

  QWidget* m_parent;
  FSettingsWindow m_settingsWindow;
};
