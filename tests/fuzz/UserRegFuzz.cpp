// Wine's registry file ("user.reg") of any bytes, as the speller reads Microsoft Word's
// dictionary list from it: parsing and every lookup never crash, the answers agree with
// each other (a listed sub-key exists and has text), and reading the file through the
// prefix gives what parsing the bytes gives.
#include "fuzzkit/FuzzHome.h"

#include "utilcore/RegistryUtils.h"
#include "utilcore/WineRegistryFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kWordKey =
    "Software\\Microsoft\\Shared Tools\\Proofing Tools\\1.0\\Custom Dictionaries";
// Enough keys to reach every branch of the lookups without slowing each run down.
constexpr std::size_t kKeysChecked = 16;
constexpr std::string_view kValueNames[] = {"", "1", "2", "Version", "@"};

void CheckNames(const std::string& key) {
  const std::string folded = CWineRegistryFile::FoldName(key);
  FUZZ_REQUIRE(CWineRegistryFile::FoldName(folded) == folded);
  const std::string normal = CWineRegistryFile::NormalizeKey(key);
  FUZZ_REQUIRE(CWineRegistryFile::NormalizeKey(normal) == normal);
}

/// `listed`: the key was named by GetSubKeys, so a section lies at or below it.
void CheckKey(const CWineRegistryFile& registry, const std::string& key, bool listed) {
  CheckNames(key);
  // Lookups drop a trailing "/" (folder helpers add one), so a key whose own name ends
  // in "/" cannot be named; Word's key never does.
  if (!key.empty() && key.back() == '/') {
    return;
  }
  FUZZ_REQUIRE(registry.HasKey(key));
  FUZZ_REQUIRE(!listed || !registry.GetKeyText(key, true).empty());
  std::vector<std::string> children;
  registry.GetSubKeys(key, false, children);
  std::vector<std::string> below;
  registry.GetSubKeys(key, true, below);
  FUZZ_REQUIRE(below.size() >= children.size());
  for (const std::string& child : children) {
    FUZZ_REQUIRE(std::find(below.begin(), below.end(), child) != below.end());
  }
  for (const std::string_view name : kValueNames) {
    std::string value;
    if (registry.GetStringValue(key, name, value)) {
      FUZZ_REQUIRE(value.find('\0') == std::string::npos);
    }
  }
}

/// The same answers through the prefix's file as from the parsed bytes.
void CheckThroughPrefix(std::string_view bytes, const CWineRegistryFile& registry,
                        const std::vector<std::string>& keys) {
  const std::string path = CRegistryUtils::GetUserRegPath();
  // A missing file drops what the reader kept of the last one: a rewrite within the
  // file system's time resolution must not look unchanged.
  std::filesystem::remove(path);
  FUZZ_REQUIRE(CRegistryUtils::ReadKeyText(path, "", true).empty());
  CFuzzHome::WriteBytes(path, bytes);

  std::vector<std::string> read;
  FUZZ_REQUIRE(CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "", read, true));
  FUZZ_REQUIRE(read == keys);
  std::vector<std::string> word;
  const bool hasWord = CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, kWordKey, word, false);
  FUZZ_REQUIRE(hasWord == registry.HasKey(kWordKey));
  FUZZ_REQUIRE(CRegistryUtils::ReadKeyText(path, kWordKey, false) ==
               registry.GetKeyText(kWordKey, false));
  const std::string key = keys.empty() ? std::string(kWordKey) : keys.front();
  for (const std::string_view name : kValueNames) {
    std::string value;
    const bool found = registry.GetStringValue(key, name, value);
    FUZZ_REQUIRE(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, key, name, true) ==
                 (found ? value : std::string()));
    // The translated form goes to the disk for a Windows path; any answer will do.
    (void)CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, key, name, false);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string prefix = [] {
    CFuzzHome::Get();
    const std::string folder = CRegistryUtils::GetWinePrefix();
    std::filesystem::create_directories(folder + "drive_c/users");
    return folder;
  }();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const CWineRegistryFile registry{std::string(bytes)};
  std::vector<std::string> keys;
  registry.GetSubKeys("", true, keys);
  FUZZ_REQUIRE(registry.HasHeader() || keys.empty());
  for (std::size_t i = 0; i < keys.size() && i < kKeysChecked; ++i) {
    CheckKey(registry, keys[i], true);
  }
  CheckKey(registry, "", false);
  CheckThroughPrefix(bytes, registry, keys);
  return 0;
}
