#include "HttpTransfer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <utility>

CHttpTransfer::CHttpTransfer(QNetworkAccessManager& network, const std::string& address,
                             qint64 limit, Done done)
    : m_done(std::move(done)), m_limit(limit) {
  Begin(network, address);
}

CHttpTransfer::CHttpTransfer(QNetworkAccessManager& network, const std::string& address,
                             const std::string& file, qint64 expectedSize, Progress progress,
                             Done done)
    : m_done(std::move(done)), m_progress(std::move(progress)), m_limit(expectedSize),
      m_target(file), m_part(QString::fromStdString(file + ".part")) {
  // An earlier download there is outdated by this one, whatever becomes of it.
  QFile::remove(QString::fromStdString(file));
  if (!m_part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    m_error = m_part.errorString().toStdString();
    // Reported once the caller holds the transfer, as every other outcome is.
    QMetaObject::invokeMethod(
        this, [this] { Finish(false, m_error); }, Qt::QueuedConnection);
    return;
  }
  Begin(network, address);
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
  const QByteArray chunk = m_reply->readAll();
  m_received += chunk.size();
  // A server that sends more than it announced is cut off, not believed.
  if (m_received > m_limit) {
    Finish(false, "more than " + std::to_string(m_limit) + " bytes");
    return;
  }
  if (m_target.empty()) {
    m_body.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
  } else if (m_part.write(chunk) != chunk.size()) {
    Finish(false, m_part.errorString().toStdString());
    return;
  }
  if (m_progress) {
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
