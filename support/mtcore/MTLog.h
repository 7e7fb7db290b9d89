#pragma once

#include <functional>
#include <string>

/// Where mtcore's failure lines go. The program points the sink at its application
/// log at start-up; without a sink the lines are dropped.
class CMTLog {
public:
  using Sink = std::function<void(const std::string& line)>;

  /// Replaces the sink (an empty one drops lines); safe from any thread.
  static void SetSink(Sink sink);
  /// Hands one line to the sink, outside every lock of mtcore.
  static void AddLine(const std::string& line);
  /// `identifier` followed directly by the system's text for `error` (an errno value).
  static void AddSystemError(const char* identifier, int error);
  /// `identifier` followed by " - file - error text" for `error` (an errno value).
  static void AddFileError(const char* identifier, const std::string& file, int error);
};
