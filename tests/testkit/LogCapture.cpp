#include "testkit/LogCapture.h"

#include "testkit/FileBytes.h"
#include "utilcore/AppLogger.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {
// "YYYY-MM-DD HH:MM:SS.mmm " precedes every text.
constexpr std::size_t kStampLength = 24;
} // namespace

LogCapture::LogCapture() {
  if (CAppLogger::GetInstance() == nullptr) {
    CAppLogger::SetAppName("Pagelint");
  }
  if (CAppLogger* logger = CAppLogger::GetInstance()) {
    m_path = logger->GetPath();
    std::error_code ec;
    m_start = std::filesystem::file_size(m_path, ec);
    if (ec) {
      m_start = 0;
    }
  }
}

std::vector<std::string> LogCapture::Lines() const {
  std::vector<std::string> lines;
  if (m_path.empty()) {
    return lines;
  }
  const std::string bytes = testkit::ReadBytes(m_path);
  std::istringstream in(m_start <= bytes.size() ? bytes.substr(m_start) : std::string());
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : line);
  }
  return lines;
}

bool LogCapture::Contains(const std::string& id) const {
  const auto lines = Lines();
  return std::any_of(lines.begin(), lines.end(),
                     [&id](const std::string& line) { return line.starts_with(id); });
}
