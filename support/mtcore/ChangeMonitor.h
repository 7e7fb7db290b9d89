#pragma once

#include "mtcore/FileDescriptor.h"
#include "mtcore/InotifyWatch.h"
#include "mtcore/MTKernel.h"
#include "mtcore/WindowMessages.h"

#include <cstdint>
#include <functional>
#include <memory>

/// The thread behind the directory, file and registry monitors: it waits for inotify
/// events, keeps those its filter accepts, and posts its message (wParam 0) once per
/// period for any number of them. Without a period (0 or NO_PERIOD) it posts once for
/// the events that arrived together. Stop(timeout) returns promptly; the destructor
/// stops and joins.
class CChangeMonitor : public CMTKernel {
public:
  static constexpr std::uint32_t NO_PERIOD = 0xFFFFFFFF;

  /// Whether an event counts as a change (runs on the monitor's thread).
  using Filter = std::function<bool(const CInotifyWatch::Event&)>;
  /// Asked on the monitor's thread before posting; false when, looked at closely,
  /// nothing changed after all. May be empty.
  using Confirm = std::function<bool()>;

  /// Starts the thread when `watch` is valid.
  CChangeMonitor(std::unique_ptr<CInotifyWatch> watch, Filter filter, Confirm confirm, UINT message,
                 HWND window, std::uint32_t period, LPARAM lParam);
  ~CChangeMonitor() override;

  /// Whether the monitor watches and its thread runs.
  bool IsValid() const { return m_valid; }

protected:
  void OnStopRequested() override;

private:
  void Run();
  /// Waits up to `timeoutMs` (-1: no limit) for events (when `watching`) or the stop;
  /// false on stop.
  bool WaitForEvents(bool watching, int timeoutMs);
  void Post();

  std::unique_ptr<CInotifyWatch> m_watch;
  Filter m_filter;
  Confirm m_confirm;
  UINT m_message;
  HWND m_window;
  std::uint32_t m_period;
  LPARAM m_lParam;
  CFileDescriptor m_wake; ///< eventfd written by a stop request to end the wait at once
  bool m_valid = false;
};
