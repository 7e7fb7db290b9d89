#include "app/WelcomeVoice.h"

#include <QTextToSpeech>

CWelcomeVoice::CWelcomeVoice(QObject* parent) : QObject(parent) {
  if (QTextToSpeech::availableEngines().isEmpty()) {
    deleteLater();
    return;
  }
  m_speech = std::make_unique<QTextToSpeech>();
  if (m_speech->state() == QTextToSpeech::Error) {
    m_speech.reset();
    deleteLater();
    return;
  }
  connect(m_speech.get(), &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
    // Ready again after speaking (or an engine error): the voice is done.
    if (state == QTextToSpeech::Ready || state == QTextToSpeech::Error) {
      deleteLater();
    }
  });
  m_speech->say(QString::fromLatin1(kWelcome));
}

CWelcomeVoice::~CWelcomeVoice() = default;
