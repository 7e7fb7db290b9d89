#include "mtcore/MTLog.h"

#include <memory>
#include <mutex>
#include <system_error>

namespace {
std::mutex g_sinkMutex;
std::shared_ptr<const CMTLog::Sink> g_sink;

std::string ErrorText(int error) {
  return std::generic_category().message(error);
}
} // namespace

void CMTLog::SetSink(Sink sink) {
  auto shared = sink ? std::make_shared<const Sink>(std::move(sink)) : nullptr;
  std::lock_guard lock(g_sinkMutex);
  g_sink = std::move(shared);
}

void CMTLog::AddLine(const std::string& line) {
  std::shared_ptr<const Sink> sink;
  {
    std::lock_guard lock(g_sinkMutex);
    sink = g_sink;
  }
  if (!sink) {
    return;
  }
  try {
    (*sink)(line);
  } catch (...) {
    // Logging is best effort; a failing log must not turn into a second failure.
  }
}

void CMTLog::AddSystemError(const char* identifier, int error) {
  AddLine(std::string(identifier) + ErrorText(error));
}

void CMTLog::AddFileError(const char* identifier, const std::string& file, int error) {
  AddLine(std::string(identifier) + " - " + file + " - " + ErrorText(error));
}
