// The settings file ("Pagelint.settings") of any bytes: reading never crashes; a
// damaged file is logged, kept as "<file>.bad" with exactly its bytes and gives the
// defaults (file applications and shadings as they were before the read); a good one
// saves and reads again to the same settings.
#include "fuzzkit/FuzzHome.h"
#include "fuzzkit/LogWatch.h"

#include "diskfiles/FileExtMgr.h"
#include "shadeui/BkgStyle.h"
#include "settings/DefaultShades.h"
#include "settings/PagelintSettings.h"
#include "utilcore/FileUtils.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kDamagedId = "{B2B0F801-E990-4D20-8883-BC65F2C973CF}";
constexpr const char* kAppDirectory = "/opt/pagelint/";

/// Everything a settings file sets, as the program sees it.
struct SFields {
  bool findMatchCase = false;
  bool findSearchDown = false;
  bool findStopAtEnd = false;
  std::int32_t configurationTab = 0;
  std::string newProjectDirectory;
  std::string projectDataDirectory;
  SAppShape shape;
  bool maximized = false;
  bool automaticUpgrading = false;
  bool playWelcomeMsg = false;
  std::vector<FileExtMgr::SEntry> applications;
  std::vector<CShadeProperties> shadings;
  bool operator==(const SFields&) const = default;
};

SFields FieldsOf(const CPagelintSettings& settings) {
  SFields fields;
  fields.findMatchCase = settings.findMatchCase;
  fields.findSearchDown = settings.findSearchDown;
  fields.findStopAtEnd = settings.findStopAtEnd;
  fields.configurationTab = settings.configurationTab;
  fields.newProjectDirectory = settings.GetDocSettings().newProjectDirectory;
  fields.projectDataDirectory = settings.GetDocSettings().projectDataDirectory;
  fields.maximized = settings.GetAppShape(fields.shape, 640, 480);
  fields.automaticUpgrading = settings.GetAutomaticUpgrading();
  fields.playWelcomeMsg = settings.GetPlayWelcomeMsg();
  fields.applications = FileExtMgr::GetInstance()->GetAll();
  for (int component = 0; component < BkgStyle::kComponentCount; ++component) {
    fields.shadings.push_back(BkgStyle::GetInstance()->GetUser(component));
  }
  return fields;
}

/// The process-wide state as the program has it before it reads its settings.
std::unique_ptr<CPagelintSettings> FreshSettings() {
  FileExtMgr::GetInstance()->RemoveAll();
  BkgStyle::GetInstance()->RemoveAll();
  CDefaultShades::Apply(BkgStyle::GetInstance());
  return std::make_unique<CPagelintSettings>();
}

bool Read(CPagelintSettings& settings) {
  bool firstStart = true;
  bool upgraded = false;
  const bool read = settings.Read(kAppDirectory, "Pagelint", firstStart, upgraded);
  FUZZ_REQUIRE(!firstStart);
  return read;
}

SFields DefaultFields() {
  const std::unique_ptr<CPagelintSettings> settings = FreshSettings();
  bool firstStart = true;
  bool upgraded = false;
  // No file: the defaults.
  FUZZ_REQUIRE(settings->Read(kAppDirectory, "Pagelint", firstStart, upgraded) && firstStart);
  return FieldsOf(*settings);
}

void CheckDamaged(const std::string& path, std::string_view bytes, const SFields& defaults,
                  const CPagelintSettings& settings, const CLogWatch& log) {
  FUZZ_REQUIRE(log.Logged(kDamagedId));
  FUZZ_REQUIRE(!CFileUtils::DoesFileExist(path));
  FUZZ_REQUIRE(CFuzzHome::ReadBytes(path + ".bad") == bytes);
  FUZZ_REQUIRE(FieldsOf(settings) == defaults);
}

void CheckSaveAndReadAgain(const std::string& path, CPagelintSettings& settings) {
  const SFields read = FieldsOf(settings);
  FUZZ_REQUIRE(settings.Save());
  const std::string saved = CFuzzHome::ReadBytes(path);
  const std::unique_ptr<CPagelintSettings> again = FreshSettings();
  FUZZ_REQUIRE(Read(*again));
  FUZZ_REQUIRE(FieldsOf(*again) == read);
  FUZZ_REQUIRE(again->Save());
  FUZZ_REQUIRE(CFuzzHome::ReadBytes(path) == saved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = CFuzzHome::Get().ConfigHome() + "Pagelint/";
  static const std::string path = folder + "Pagelint.settings";
  static const SFields defaults = [] {
    std::filesystem::create_directories(folder);
    std::filesystem::remove(path);
    return DefaultFields();
  }();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::filesystem::remove(path + ".bad");
  CFuzzHome::WriteBytes(path, bytes);

  const std::unique_ptr<CPagelintSettings> settings = FreshSettings();
  const CLogWatch log;
  if (Read(*settings)) {
    CheckSaveAndReadAgain(path, *settings);
  } else {
    CheckDamaged(path, bytes, defaults, *settings, log);
  }
  return 0;
}
