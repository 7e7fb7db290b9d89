#pragma once

#include <QObject>

#include <memory>

class QTextToSpeech;

/// Says the welcome aloud through the desktop's speech engine; where none is installed
/// it stays silent. Goes away by itself once it has spoken.
class CWelcomeVoice : public QObject {
  Q_OBJECT

public:
  static constexpr const char* kWelcome = "Welcome to page-lint!";

  /// Starts speaking at once when a speech engine is there; `parent` owns the voice
  /// until it is done.
  explicit CWelcomeVoice(QObject* parent);
  ~CWelcomeVoice() override;
  CWelcomeVoice(const CWelcomeVoice&) = delete;
  CWelcomeVoice& operator=(const CWelcomeVoice&) = delete;

private:
  std::unique_ptr<QTextToSpeech> m_speech;
};
