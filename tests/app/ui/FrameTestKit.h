#pragma once

#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

class QDialog;

/// Helpers of the main window's and the application object's tests.
namespace frametest {

/// The test program's folder, where ZEB.fdc lies.
std::string AppDirectory();

/// Writes the data file of a project named `name` rooted at `root` into the project
/// data folder, as the program does.
void SaveProject(const std::string& name, const std::string& root);

/// Plays the user in the modal windows that open (message boxes aside): `handler` gets
/// each one once, and its object name is appended to `events`. Without a handler the
/// window is cancelled.
class CModalWatcher {
public:
  using Handler = std::function<void(QDialog& dialog)>;

  explicit CModalWatcher(std::vector<std::string>& events, Handler handler = {});
  CModalWatcher(const CModalWatcher&) = delete;
  CModalWatcher& operator=(const CModalWatcher&) = delete;

private:
  void Look();

  std::vector<std::string>& m_events;
  Handler m_handler;
  QTimer m_timer;
  QPointer<QDialog> m_last;
};

/// Answers every message box with `answer`, appending "box:" and its title to `events`.
class CBoxRecorder {
public:
  CBoxRecorder(std::vector<std::string>& events, int answer);
  ~CBoxRecorder();
  CBoxRecorder(const CBoxRecorder&) = delete;
  CBoxRecorder& operator=(const CBoxRecorder&) = delete;

  /// The texts of the boxes, in order.
  const std::vector<std::string>& Texts() const { return m_texts; }

private:
  std::vector<std::string> m_texts;
};

} // namespace frametest
