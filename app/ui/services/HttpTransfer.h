#pragma once

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

/// One HTTP GET in the background: a small file into memory, or a download into a
/// file. Qt's network access does the waiting; the callbacks run on the thread that
/// made the transfer (the user interface thread) and never after Stop. A stalled
/// server ends the transfer after a while; Stop ends it at once. Memory stays bounded
/// whatever the server sends and however slow the user interface thread is: Qt holds
/// at most kReadBufferBytes of the reply (it stops reading from the server until they
/// are taken), they are taken in pieces of at most kPieceBytes, and the transfer is
/// cut off as soon as more than its limit arrived.
class CHttpTransfer : public QObject {
  Q_OBJECT

public:
  using Done = std::function<void(bool success)>;
  using Progress = std::function<void(qint64 received)>;

  /// Fetches `address` into Body(); more than `limit` bytes fail.
  CHttpTransfer(QNetworkAccessManager& network, const std::string& address, qint64 limit,
                Done done);
  /// Downloads `address` into `file`. The bytes go to `file` + ".part", which becomes
  /// `file` only when exactly `expectedSize` bytes arrived; anything else is deleted.
  /// An old `file` is deleted at the start. The download has a network access manager
  /// of its own: with Qt 6.4, a download that followed a cut-off one on the same
  /// manager was seen to lose its read buffer bound now and then.
  CHttpTransfer(const std::string& address, const std::string& file, qint64 expectedSize,
                Progress progress, Done done);
  /// Stops first.
  ~CHttpTransfer() override;
  CHttpTransfer(const CHttpTransfer&) = delete;
  CHttpTransfer& operator=(const CHttpTransfer&) = delete;

  /// Aborts a transfer under way without calling back; a partial download is deleted.
  void Stop();
  /// Whether the transfer is still under way.
  bool IsRunning() const { return m_reply != nullptr; }
  const std::string& Body() const { return m_body; }
  /// Why the transfer failed; empty after success.
  const std::string& Error() const { return m_error; }
  /// The most bytes the reply ever held unread: what Qt kept of this transfer.
  qint64 LargestBacklog() const { return m_largestBacklog; }

  /// Without progress for this long a transfer fails.
  static constexpr int kStallMs = 30000;
  /// The most bytes of the reply Qt keeps unread before it waits (back-pressure).
  static constexpr qint64 kReadBufferBytes = 64 * 1024;
  /// The bytes taken from the reply at once.
  static constexpr qint64 kPieceBytes = 16 * 1024;

private:
  void Begin(QNetworkAccessManager& network, const std::string& address);
  void OnReadyRead();
  void OnFinished();
  void Finish(bool success, const std::string& error);
  bool CompleteFile();

  // First, so that it outlives its replies: a download's own manager.
  std::unique_ptr<QNetworkAccessManager> m_ownNetwork;
  QPointer<QNetworkReply> m_reply;
  Done m_done;
  Progress m_progress;
  qint64 m_limit = 0;
  qint64 m_received = 0;
  qint64 m_largestBacklog = 0;
  std::string m_body;
  std::string m_error;
  std::string m_target;
  bool m_completed = false;
  QFile m_part;
};
