#include "services/HttpTransfer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <algorithm>
#include <utility>

CHttpTransfer::CHttpTransfer(QNetworkAccessManager& network, const std::string& address,
                             qint64 limit, Done done)
    : m_done(std::move(done)), m_limit(limit) {
  Begin(network, address);
}

CHttpTransfer::CHttpTransfer(const std::string& address, const std::string& file,
                             qint64 expectedSize, Progress progress, Done done)
    : m_ownNetwork(std::make_unique<QNetworkAccessManager>()), m_done(std::move(done)),
      m_progress(std::move(progress)), m_limit(expectedSize), m_target(file),
      m_part(QString::fromStdString(file + ".part")) {
  // An earlier download there is outdated by this one, whatever becomes of it.
  QFile::remove(QString::fromStdString(file));
  if (!m_part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    m_error = m_part.errorString().toStdString();
    // Reported once the caller holds the transfer, as every other outcome is.
    QMetaObject::invokeMethod(
        this, [this] { Finish(false, m_error); }, Qt::QueuedConnection);
    return;
  }
  Begin(*m_ownNetwork, address);
}

CHttpTransfer::~CHttpTransfer() {
  Stop();
}

void CHttpTransfer::Begin(QNetworkAccessManager& network, const std::string& address) {
  QNetworkRequest request(QUrl(QString::fromStdString(address)));
  request.setTransferTimeout(kStallMs);
  // Redirects may go from http to https but never back.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Pagelint"));
  m_reply = network.get(request);
  // Without a bound Qt reads whatever the server sends into memory, however far the
  // user interface thread lags behind: an endless reply would fill it. Set at once, the
  // bound reaches Qt's network thread right behind the request, before any answer.
  m_reply->setReadBufferSize(kReadBufferBytes);
  connect(m_reply, &QNetworkReply::readyRead, this, &CHttpTransfer::OnReadyRead);
  connect(m_reply, &QNetworkReply::finished, this, &CHttpTransfer::OnFinished);
}

void CHttpTransfer::Stop() {
  m_done = nullptr;
  m_progress = nullptr;
  if (QNetworkReply* reply = std::exchange(m_reply, nullptr)) {
    QObject::disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
  }
  if (!m_target.empty() && !m_completed) {
    m_part.close();
    QFile::remove(QString::fromStdString(m_target + ".part"));
  }
}

void CHttpTransfer::OnReadyRead() {
  // Finish only drops the pointer and deletes the reply later: it stays valid here.
  QNetworkReply* const reply = m_reply.data();
  if (reply == nullptr) {
    return;
  }
  m_largestBacklog = std::max(m_largestBacklog, reply->bytesAvailable());
  char piece[kPieceBytes];
  // Emptying the reply's buffer is what lets Qt read on from the server.
  while (m_reply != nullptr && reply->bytesAvailable() > 0) {
    const qint64 got = reply->read(piece, kPieceBytes);
    if (got <= 0) {
      break;
    }
    // A server that sends more than it announced is cut off, not believed.
    if (got > m_limit - m_received) {
      m_received += got;
      Finish(false, "more than " + std::to_string(m_limit) + " bytes");
      return;
    }
    m_received += got;
    if (m_target.empty()) {
      m_body.append(piece, static_cast<std::size_t>(got));
    } else if (m_part.write(piece, got) != got) {
      Finish(false, m_part.errorString().toStdString());
      return;
    }
  }
  if (m_progress && m_reply != nullptr) {
    m_progress(m_received);
  }
}

void CHttpTransfer::OnFinished() {
  if (m_reply->error() != QNetworkReply::NoError) {
    Finish(false, m_reply->errorString().toStdString());
    return;
  }
  OnReadyRead();
  if (m_reply == nullptr) {
    return; // finished by the last chunk
  }
  if (!m_target.empty() && !CompleteFile()) {
    return;
  }
  Finish(true, {});
}

bool CHttpTransfer::CompleteFile() {
  if (m_received != m_limit) {
    Finish(false, std::to_string(m_received) + " bytes of " + std::to_string(m_limit));
    return false;
  }
  // The last bytes may still wait in the file's buffer: a full disk shows here.
  if (!m_part.flush()) {
    Finish(false, m_part.errorString().toStdString());
    return false;
  }
  m_part.close();
  const QString target = QString::fromStdString(m_target);
  QFile::remove(target);
  if (!m_part.rename(target)) {
    Finish(false, m_part.errorString().toStdString());
    return false;
  }
  m_completed = true;
  return true;
}

void CHttpTransfer::Finish(bool success, const std::string& error) {
  Done done = std::move(m_done);
  m_error = error;
  if (QNetworkReply* reply = std::exchange(m_reply, nullptr)) {
    QObject::disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
  }
  if (!success) {
    Stop();
  }
  if (done) {
    done(success);
  }
}
