#include "programsettings/LogTab.h"

#include "widgets/MessageBoxService.h"

#include "utilcore/AppLogger.h"
#include "utilcore/ExeUtils.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace {
constexpr const char* kTitle = "Pagelint";
constexpr const char* kNoLog = "(no log is being written)";
constexpr const char* kClearQuestion =
    "Do you want to clear the log file?\n\n%1\n\nEverything Pagelint has logged so far will be "
    "gone.";
constexpr const char* kClearFailed = "The log file could not be cleared:\n\n%1";
constexpr const char* kOpenFailed = "The log file could not be opened:\n\n%1";

std::string LogPath() {
  const CAppLogger* logger = CAppLogger::GetInstance();
  return logger != nullptr ? logger->GetPath() : std::string();
}
} // namespace

CLogTab::CLogTab(QWidget* parent) : QWidget(parent) {
  setObjectName("loggingTab");
  const QString path = QString::fromStdString(LogPath());
  m_path = new QLineEdit(path.isEmpty() ? QString::fromUtf8(kNoLog) : path);
  m_path->setObjectName("logFileEdit");
  m_path->setReadOnly(true);
  m_open = new QPushButton(QStringLiteral("&Open the log"));
  m_open->setObjectName("openLogButton");
  m_clear = new QPushButton(QStringLiteral("&Clear the log..."));
  m_clear->setObjectName("clearLogButton");
  for (QPushButton* button : {m_open, m_clear}) {
    button->setAutoDefault(false);
    button->setEnabled(!path.isEmpty());
  }
  auto* label = new QLabel(QStringLiteral("Log &file:"));
  label->setBuddy(m_path);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_open);
  buttons->addWidget(m_clear);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(m_path);
  layout->addLayout(buttons);
  layout->addStretch(1);

  connect(m_open, &QPushButton::clicked, this, &CLogTab::OpenLog);
  connect(m_clear, &QPushButton::clicked, this, &CLogTab::ClearLog);
}

void CLogTab::Tell(const QString& text) {
  CMessageBoxService::Ask(this,
                          {QString::fromUtf8(kTitle), text, CMessageBoxService::EButtons::Ok, {}});
}

void CLogTab::OpenLog() {
  std::string error;
  if (!CExeUtils::ShellLaunchApp(LogPath(), {}, std::string(), true, 0, CExeUtils::kShowNormal,
                                 error)) {
    Tell(QString::fromUtf8(kOpenFailed).arg(QString::fromStdString(error)));
  }
}

void CLogTab::ClearLog() {
  const std::string path = LogPath();
  const int answer = CMessageBoxService::Ask(
      this, {QString::fromUtf8(kTitle),
             QString::fromUtf8(kClearQuestion).arg(QString::fromStdString(path)),
             CMessageBoxService::EButtons::YesNo,
             {}});
  if (answer != CMessageBoxService::kAnswerYes) {
    return;
  }
  // The log appends every line at the file's end, so emptying the file under it is safe.
  std::error_code error;
  std::filesystem::resize_file(path, 0, error);
  if (error) {
    Tell(QString::fromUtf8(kClearFailed).arg(QString::fromStdString(error.message())));
  }
}
