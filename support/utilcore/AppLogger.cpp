#include "utilcore/AppLogger.h"

#include "utilcore/StorageException.h"
#include "utilcore/UserFolders.h"
#include "utilcore/Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace {
// A log older runs made larger than this is moved aside to "<name>.log.old" at
// start, so that the log never grows without bound.
constexpr off_t kRotateBytes = off_t{1024} * 1024;
// File and archive error texts were fetched into 255-character buffers; longer ones
// are cut to that.
constexpr std::size_t kMaxErrorMessageBytes = 254;

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

/// "2024-05-01 13:45:07.123 " in local time.
std::string TimeStamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char buffer[40];
  const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(buffer + length, sizeof buffer - length, ".%03d ", static_cast<int>(millis));
  return buffer;
}

/// The longest prefix of `text` of at most `maxBytes` that does not split a UTF-8
/// sequence.
std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) {
    return text;
  }
  std::size_t end = maxBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
    --end;
  }
  return text.substr(0, end);
}

void AppendHexEscape(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.append("\\x");
  out.push_back(kHex[byte >> 4]);
  out.push_back(kHex[byte & 0x0F]);
}

/// Appends `text` so that the log file holds only visible text: line breaks become
/// blanks (a line stays one line), every other control character (C0, DEL and the C1
/// controls U+0080 to U+009F) and every byte that is not part of well-formed UTF-8
/// becomes "\xNN" per byte. Valid UTF-8 text is kept as it is.
void AppendVisible(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const UChar32 c = CUtf8::Next(text, i);
    if (c == '\n' || c == '\r') {
      out.push_back(' ');
    } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || !CUtf8::IsValid(c)) {
      for (std::size_t j = start; j < i; ++j) {
        AppendHexEscape(out, static_cast<unsigned char>(text[j]));
      }
    } else {
      out.append(text.substr(start, i - start));
    }
  }
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void RotateIfLarge(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && info.st_size > kRotateBytes) {
    const std::string old = path + ".old";
    ::rename(path.c_str(), old.c_str());
  }
}
} // namespace

CAppLogger::~CAppLogger() {
  CloseFile();
}

CAppLogger& CAppLogger::Instance() {
  static CAppLogger logger;
  return logger;
}

CAppLogger* CAppLogger::GetInstance() {
  CAppLogger& logger = Instance();
  return logger.m_open.load(std::memory_order_acquire) ? &logger : nullptr;
}

bool CAppLogger::SetAppName(const std::string& name) {
  return Instance().Open(name);
}

void CAppLogger::Close() {
  Instance().CloseFile();
}

bool CAppLogger::Open(const std::string& name) {
  if (!IsPlainName(name)) {
    CloseFile();
    return false;
  }
  const std::string folder = CUserFolders::GetConfigDir() + name + "/";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::string path = folder + name + ".log";
  RotateIfLarge(path);
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    CloseFile();
    return false;
  }
  const std::lock_guard lock(m_mutex);
  if (m_fd >= 0) {
    ::close(m_fd);
  }
  m_fd = fd;
  m_path = path;
  m_open.store(true, std::memory_order_release);
  return true;
}

void CAppLogger::CloseFile() {
  const std::lock_guard lock(m_mutex);
  m_open.store(false, std::memory_order_release);
  if (m_fd >= 0) {
    ::close(m_fd);
  }
  m_fd = -1;
  m_path.clear();
}

std::string CAppLogger::GetPath() const {
  const std::lock_guard lock(m_mutex);
  return m_path;
}

void CAppLogger::AddLine(std::string_view text) {
  std::string line = TimeStamp();
  line.reserve(line.size() + text.size() + 1);
  // Text from outside (a server's reply, a file name) must not forge lines or reach a
  // terminal that shows the log as control sequences.
  AppendVisible(line, text);
  line.push_back('\n');
  // One write per line on a file opened for appending: lines of this and of other
  // processes stay whole.
  const std::lock_guard lock(m_mutex);
  if (m_fd >= 0) {
    WriteAll(m_fd, line);
  }
}

void CAppLogger::Log(std::string_view id) {
  if (CAppLogger* logger = GetInstance()) {
    logger->AddLine(id);
  }
}

void CAppLogger::LogWithError(std::string_view id, std::string_view errorText) {
  if (CAppLogger* logger = GetInstance()) {
    std::string line(id);
    line.append(errorText);
    logger->AddLine(line);
  }
}

void CAppLogger::LogFileError(std::string_view id, std::string_view fileName,
                              std::string_view message) {
  if (CAppLogger* logger = GetInstance()) {
    std::string line(id);
    line.append(" - ").append(fileName).append(" - ");
    line.append(Utf8Prefix(message, kMaxErrorMessageBytes));
    logger->AddLine(line);
  }
}

void CAppLogger::LogFileError(std::string_view id, const CStorageException& error) {
  LogFileError(id, error.GetFileName(), error.GetMessage());
}
