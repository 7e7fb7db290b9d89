#pragma once

#include <string>

/// Whole-file helpers for tests: files are compared byte for byte.
namespace testkit {
/// Writes exactly `bytes` to `path` (creating or truncating it); throws on failure.
void WriteBytes(const std::string& path, const std::string& bytes);
/// The bytes of `path`; throws when it cannot be read.
std::string ReadBytes(const std::string& path);
/// A file below the test data folder (tests/data), e.g. DataPath("broken/x.plx").
std::string DataPath(const std::string& relative);
} // namespace testkit
