#pragma once

#include <string>
#include <string_view>

/// Helpers shared by the fuzz targets.
namespace fuzzkit {

/// Points HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR, WINEPREFIX and TMPDIR at a fresh private
/// folder (removed at exit), so that a target started by hand never reads or writes the
/// user's own settings and dictionaries. Call once, from LLVMFuzzerInitialize.
void UsePrivateHome();

/// A folder for the target's own files, below the private home (ends in "/").
const std::string& WorkFolder();

/// Writes exactly `bytes` to `path`, creating or truncating it; aborts on failure.
void WriteBytes(const std::string& path, std::string_view bytes);
/// The whole content of `path`; aborts when it cannot be read.
std::string ReadBytes(const std::string& path);

/// Aborts with `what` on standard error when `condition` is false: libFuzzer then keeps
/// the input as a crash.
void Require(bool condition, const char* what);

} // namespace fuzzkit
