#pragma once

#include <QObject>

/// Drains the user interface thread's message queue from the Qt event loop: the
/// queue's wake-up hook posts a queued call, so every registered message of the
/// projects and the speller is handled between two Qt events, never inside another
/// handler. One per user interface thread; create it on that thread.
class CQtMessagePump : public QObject {
  Q_OBJECT

public:
  explicit CQtMessagePump(QObject* parent = nullptr);
  /// Removes the hook; messages still queued stay for the next pump.
  ~CQtMessagePump() override;
  CQtMessagePump(const CQtMessagePump&) = delete;
  CQtMessagePump& operator=(const CQtMessagePump&) = delete;

signals:
  /// Messages were handled: state that their handlers changed may need showing.
  void Pumped();

private:
  void Pump();
};
