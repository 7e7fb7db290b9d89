#include "pagelint-check/ProgressBar.h"

#include "pagelint-check/TerminalText.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr int kDefaultWidth = 80;
constexpr auto kRedrawPeriod = std::chrono::milliseconds(50);

int TerminalWidth(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    return size.ws_col;
  }
  return kDefaultWidth;
}

} // namespace

CProgressBar::CProgressBar(int fd)
    : m_fd(fd), m_enabled(isatty(fd) == 1), m_width(m_enabled ? TerminalWidth(fd) : 0) {}

CProgressBar::CProgressBar(int fd, bool enabled, int width)
    : m_fd(fd), m_enabled(enabled), m_width(width) {}

CProgressBar::~CProgressBar() {
  Clear();
}

void CProgressBar::Update(std::string_view label, int done, int total) {
  if (!m_enabled) {
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (m_shown && done < total && now - m_lastDraw < kRedrawPeriod) {
    return;
  }
  m_lastDraw = now;
  m_shown = true;
  Write("\r" + Render(label, done, total, m_width) + "\x1b[K");
}

void CProgressBar::Clear() {
  if (m_enabled && m_shown) {
    Write("\r\x1b[K");
    m_shown = false;
  }
}

std::string CProgressBar::Render(std::string_view label, int done, int total, int width) {
  const int safeTotal = std::max(total, 0);
  const int safeDone = std::clamp(done, 0, safeTotal);
  const std::string totalText = std::to_string(safeTotal);
  const std::string count = std::to_string(safeDone) + "/" + totalText;
  // The bar keeps its width while the count grows; the last column stays free, as a
  // terminal wraps when a line fills it.
  const int room = width - 2 - static_cast<int>(2 * totalText.size() + 1);
  const int barWidth = std::min(room / 2, 40);
  std::string line;
  if (barWidth >= 4) {
    const int filled = safeTotal == 0 ? barWidth : safeDone * barWidth / safeTotal;
    line += '[';
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(barWidth - filled), '-');
    line += "] ";
  }
  line += count;
  const int labelRoom = width - 2 - static_cast<int>(line.size());
  if (labelRoom > 3 && !label.empty()) {
    const std::string printable = CTerminalText::Printable(label);
    std::string shown = printable.substr(0, static_cast<std::size_t>(labelRoom));
    // Never cut a multi-byte character in two.
    while (!shown.empty() && shown.size() < printable.size() &&
           (static_cast<unsigned char>(printable[shown.size()]) & 0xC0) == 0x80) {
      shown.pop_back();
    }
    line = shown + " " + line;
  }
  return line;
}

void CProgressBar::Write(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(m_fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}
