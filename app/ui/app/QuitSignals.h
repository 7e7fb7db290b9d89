#pragma once

#include "utilcore/FileDescriptor.h"

#include <QObject>

#include <csignal>
#include <functional>

class QSocketNotifier;

/// Turns SIGTERM and SIGINT into a call on the user interface thread, from the event
/// loop: the handler only writes a byte into a pipe that a socket notifier watches.
/// One at a time; the previous handlers come back when it goes.
class CQuitSignals : public QObject {
  Q_OBJECT

public:
  explicit CQuitSignals(std::function<void()> onQuit, QObject* parent = nullptr);
  ~CQuitSignals() override;
  CQuitSignals(const CQuitSignals&) = delete;
  CQuitSignals& operator=(const CQuitSignals&) = delete;

  /// Whether the handlers are in place (false when the pipe could not be made; logged).
  bool IsInstalled() const { return m_installed; }

private:
  void Drain();

  std::function<void()> m_onQuit;
  CFileDescriptor m_readEnd;
  CFileDescriptor m_writeEnd;
  QSocketNotifier* m_notifier = nullptr;
  struct sigaction m_oldTerm {};
  struct sigaction m_oldInt {};
  bool m_installed = false;
};
