#include "fuzzkit/LogWatch.h"

#include "fuzzkit/FuzzHome.h"
#include "utilcore/AppLogger.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
constexpr std::uintmax_t kTrimAt = 1024 * 1024;

std::uintmax_t SizeOf(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}
} // namespace

CLogWatch::CLogWatch() {
  CFuzzHome::Get();
  const CAppLogger* logger = CAppLogger::GetInstance();
  FUZZ_REQUIRE(logger != nullptr);
  m_path = logger->GetPath();
  m_start = SizeOf(m_path);
}

CLogWatch::~CLogWatch() {
  // The log is opened for appending, so later lines land at the new end.
  if (SizeOf(m_path) > kTrimAt) {
    std::error_code ignored;
    std::filesystem::resize_file(m_path, 0, ignored);
  }
}

bool CLogWatch::Logged() const {
  return SizeOf(m_path) > m_start;
}

bool CLogWatch::Logged(const std::string& id) const {
  if (!Logged()) {
    return false;
  }
  // Only what came since the start: the log may hold a megabyte by then.
  std::ifstream in(m_path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(m_start));
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // Each line is a time stamp, a blank, then the text.
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = std::string_view(text).substr(at, end - at);
    const std::size_t blank = line.find(' ', line.find(' ') + 1);
    if (blank != std::string_view::npos && line.substr(blank + 1).starts_with(id)) {
      return true;
    }
    at = end + 1;
  }
  return false;
}
