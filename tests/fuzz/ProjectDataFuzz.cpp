// A project data file (".plx") of any bytes: the parser never crashes and refuses a
// damaged file with its archive error; a file that parses writes back and reads again
// to the same project; loading it as a project agrees with the parser, and a file that
// does not load is logged and its project is not taken.
#include "fuzzkit/FuzzHome.h"
#include "fuzzkit/LogWatch.h"

#include "projects/ProjectDataFile.h"
#include "projects/WebProject.h"
#include "utilcore/ArchiveException.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr const char* kArchiveErrorId = "{A0BEB667-EA94-45CE-AD8C-DE8DFCF6FB60}";

std::optional<CProjectDataFile::SContent> Parse(std::string_view bytes, const std::string& name) {
  try {
    return CProjectDataFile::Read(bytes, name);
  } catch (const CArchiveException&) {
    return std::nullopt;
  }
}

/// What a save keeps of read content: the version its options call for, names instead
/// of ids.
CProjectDataFile::SContent AsWritten(CProjectDataFile::SContent content) {
  content.version = CProjectDataFile::VersionFor(content.options);
  content.dictionaryIds.clear();
  return content;
}

void CheckRoundTrip(const CProjectDataFile::SContent& content, const std::string& path) {
  const std::string written = CProjectDataFile::Write(content, path);
  const std::optional<CProjectDataFile::SContent> again = Parse(written, path);
  FUZZ_REQUIRE(again.has_value());
  FUZZ_REQUIRE(*again == AsWritten(content));
  FUZZ_REQUIRE(CProjectDataFile::Write(*again, path) == written);
}

void CheckLoad(std::string_view bytes, const std::optional<CProjectDataFile::SContent>& parsed,
               const std::string& path) {
  CFuzzHome::WriteBytes(path, bytes);
  CWebProject project;
  project.SetDataPath(path);
  const CLogWatch log;
  const bool loaded = project.LoadProject();
  project.StopProject();
  // An empty file is the one failure that goes unlogged.
  FUZZ_REQUIRE(loaded == (parsed.has_value() && !bytes.empty()));
  if (!loaded) {
    FUZZ_REQUIRE(bytes.empty() || log.Logged(kArchiveErrorId));
    FUZZ_REQUIRE(CFuzzHome::ReadBytes(path) == bytes);
    return;
  }
  FUZZ_REQUIRE(project.GetName() == parsed->name);
  FUZZ_REQUIRE(project.GetRootDirectory() == parsed->rootDirectory);
  FUZZ_REQUIRE(project.GetFilters() == parsed->filters);
  FUZZ_REQUIRE(project.GetOptions() == parsed->options);
  if (parsed->version != 1) {
    FUZZ_REQUIRE(project.GetLoadedDictionaryNames() == parsed->dictionaryNames);
  } else {
    const std::vector<int> ids(parsed->dictionaryIds.begin(), parsed->dictionaryIds.end());
    FUZZ_REQUIRE(project.GetActiveDictionaries() == ids);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = CFuzzHome::Get().Folder("data") + "Fuzzed.plx";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<CProjectDataFile::SContent> parsed = Parse(bytes, path);
  if (parsed) {
    CheckRoundTrip(*parsed, path);
  }
  CheckLoad(bytes, parsed, path);
  return 0;
}
