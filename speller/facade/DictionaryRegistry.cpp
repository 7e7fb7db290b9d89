#include "facade/DictionaryRegistry.h"

#include "dictionaries/BundledWordList.h"
#include "dictionaries/CustomDictionary.h"
#include "dictionaries/Dictionary.h"
#include "dictionaries/HunspellDictionary.h"
#include "dictionaries/HunspellFinder.h"
#include "dictionaries/MainDictionary.h"
#include "dictionaries/SiteWordList.h"
#include "spellcore/SpellChecker.h"

#include "mtcore/DirMonitorThread.h"
#include "mtcore/FileMonitorThread.h"
#include "mtcore/ReaderAccess.h"
#include "mtcore/RegMonitorThread.h"
#include "mtcore/WriterAccess.h"

#include "utilcore/AppLogger.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/NumberTextConv.h"
#include "utilcore/RegistryUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/UserFolders.h"
#include "utilcore/ZebUtils.h"

#include <algorithm>

namespace {

constexpr const char* kDefaultName = "ZEB Custom";
constexpr const char* kDefaultFileName = "ZEB_Custom.dic";
constexpr const char* kWordPrefix = "Microsoft Word ";
constexpr const char* kThunderbirdName = "Thunderbird Custom";
constexpr const char* kHunspellSuffix = " (Hunspell)";
constexpr const char* kProofingToolsKey = "Software\\Microsoft\\Shared Tools\\Proofing Tools";
constexpr const char* kWordKeyMark = "Custom Dictionaries";

constexpr const char* kLogWindowFailed = "{3B0DBDE3-7CBA-4DCA-B080-26E7B180EEEF}";
constexpr const char* kLogNotAWindow = "{C46FCDFE-C418-46D8-AE5F-DE0C8C059890}";
constexpr const char* kLogNoWordKey = "{5B704675-1045-47FA-AFDB-3EC8E1E7D66B}";
constexpr const char* kLogNoThunderbird = "{60962477-F184-48DA-9C0F-53373ED944B3}";

// How long the teardown waits for each monitor thread.
constexpr std::uint32_t kMonitorStopMs = 30000;
// Changes of a dictionary file are reported once per this many milliseconds.
constexpr std::uint32_t kFileMonitorPeriodMs = 2000;
constexpr int kMonitorPriority = -1;

// A monitor thread below normal priority; null when it could not be created.
template <typename Monitor, typename... Args>
std::unique_ptr<Monitor> StartMonitor(Args&&... args) {
  try {
    auto monitor = std::make_unique<Monitor>(std::forward<Args>(args)...);
    monitor->SetPriority(kMonitorPriority);
    return monitor;
  } catch (const std::exception&) {
    return nullptr;
  }
}

template <typename Monitor> void StopMonitor(std::unique_ptr<Monitor>& monitor) {
  if (monitor) {
    monitor->Stop(kMonitorStopMs);
    monitor.reset();
  }
}

bool Holds(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// A folder dictionary's name: its file name without extension, "_" shown as a blank.
std::string DerivedName(const std::string& file) {
  std::string name = CFileUtils::ParseFileNameFromPath(file, false);
  std::replace(name.begin(), name.end(), '_', ' ');
  return name;
}

// The values "1", "2", ... of Word's dictionary key, up to the first empty one.
std::vector<std::string> ReadWordValues(const std::string& key) {
  std::vector<std::string> values;
  for (std::int64_t n = 1;; ++n) {
    std::string value = CRegistryUtils::GetKeyValue(
        HKEY_CURRENT_USER, key, CNumberTextConv::NumberToString(n, false, 0, ""), false);
    if (value.empty()) {
      return values;
    }
    values.push_back(std::move(value));
  }
}

std::string WordDictionaryName(const std::string& value) {
  return kWordPrefix + CFileUtils::ParseFileNameFromPath(value, false);
}

} // namespace

// A new registry may hand out ids a deleted one used, for other dictionaries.
CDictionaryRegistry::CDictionaryRegistry() {
  CDictionary::NoteChange();
}

CDictionaryRegistry::~CDictionaryRegistry() {
  StopMonitors();
  if (m_msgWnd) {
    m_msgWnd->Detach();
    m_msgWnd.reset();
  }
  {
    CWriterAccess writer(m_lock);
    m_idIndex.clear();
    m_dictionaries.clear();
    CDictionary::NoteChange();
  }
  m_msgWindow = 0;
}

void CDictionaryRegistry::SetAppPath(const std::string& path) {
  // A second start-up would register every dictionary again, the main one included.
  if (m_started) {
    return;
  }
  m_started = true;
  m_appPath = path;
  CDirUtils::EnsureTrailingBackslash(m_appPath);
  CreateMsgWindow();
  CWriterAccess writer(m_lock);
  RegisterMainDictionary();
  ScanCustomFolder();
  ScanWordDictionaries();
  FindThunderbirdDictionary();
  RegisterHunspellDictionaries();
  // Last, so that every other dictionary keeps the id it had before the list shipped.
  RegisterBundledWordList(CBundledWordList::kTechnicalTermsName,
                          CBundledWordList::kTechnicalTermsFile);
}

void CDictionaryRegistry::SetMsgWindow(HWND window, LPARAM parameter) {
  m_msgWindow = window;
  m_msgParameter = parameter;
}

HWND CDictionaryRegistry::GetMsgWindowHandle() const {
  return m_msgWnd ? m_msgWnd->GetSafeHwnd() : 0;
}

void CDictionaryRegistry::CreateMsgWindow() {
  try {
    m_msgWnd.emplace(this);
  } catch (...) {
    CAppLogger::Log(kLogWindowFailed);
    return;
  }
  if (!IsWindow(m_msgWnd->GetSafeHwnd())) {
    CAppLogger::Log(kLogNotAWindow);
    m_msgWnd.reset();
  }
}

void CDictionaryRegistry::GetDictionaries(std::vector<int>& ids, bool includeMain,
                                          bool includeCustom) {
  CReaderAccess reader(m_lock);
  for (const auto& dictionary : m_dictionaries) {
    const EDictionaryKind kind = dictionary->GetKind();
    // A Hunspell dictionary is never among the defaults: a project only uses one chosen.
    if ((kind == EDictionaryKind::kWordList && includeCustom) ||
        (kind == EDictionaryKind::kBuiltIn && includeMain)) {
      ids.push_back(dictionary->GetID());
    }
  }
}

void CDictionaryRegistry::GetHunspellDictionaries(std::vector<int>& ids) {
  CReaderAccess reader(m_lock);
  std::vector<const CDictionary*> found;
  for (const auto& dictionary : m_dictionaries) {
    if (dictionary->GetKind() == EDictionaryKind::kHunspell) {
      found.push_back(dictionary.get());
    }
  }
  std::sort(found.begin(), found.end(),
            [](const CDictionary* a, const CDictionary* b) { return a->GetName() < b->GetName(); });
  for (const CDictionary* dictionary : found) {
    ids.push_back(dictionary->GetID());
  }
}

EDictionaryKind CDictionaryRegistry::GetDictionaryKind(int id) {
  CReaderAccess reader(m_lock);
  const CDictionary* dictionary = Find(id);
  return dictionary != nullptr ? dictionary->GetKind() : EDictionaryKind::kWordList;
}

bool CDictionaryRegistry::TakesWords(int id) {
  CReaderAccess reader(m_lock);
  const CDictionary* dictionary = Find(id);
  return dictionary != nullptr && dictionary->GetKind() == EDictionaryKind::kWordList &&
         !dictionary->IsReadOnly();
}

std::string CDictionaryRegistry::GetDictionaryLanguage(int id) {
  CReaderAccess reader(m_lock);
  const CDictionary* dictionary = Find(id);
  return dictionary != nullptr ? dictionary->GetLanguage() : std::string();
}

bool CDictionaryRegistry::HoldsHunspell(const std::vector<int>& ids) {
  CReaderAccess reader(m_lock);
  return std::any_of(ids.begin(), ids.end(), [this](int id) {
    const CDictionary* dictionary = Find(id);
    return dictionary != nullptr && dictionary->GetKind() == EDictionaryKind::kHunspell;
  });
}

bool CDictionaryRegistry::IsEnglishOnly(const std::vector<int>& ids) {
  CReaderAccess reader(m_lock);
  return std::all_of(ids.begin(), ids.end(), [this](int id) {
    const CDictionary* dictionary = Find(id);
    const std::string language = dictionary != nullptr ? dictionary->GetLanguage() : "";
    return language.empty() || language == "en" || language.starts_with("en_");
  });
}

void CDictionaryRegistry::AddHunspellSuggestions(std::string_view word, const std::vector<int>& ids,
                                                 std::vector<std::string>& suggestions) {
  CReaderAccess reader(m_lock);
  for (const int id : ids) {
    auto* dictionary = dynamic_cast<CHunspellDictionary*>(Find(id));
    if (dictionary == nullptr || !dictionary->EnsureLoaded()) {
      continue;
    }
    std::vector<std::string> found;
    dictionary->Suggest(word, found);
    for (std::string& text : found) {
      if (std::find(suggestions.begin(), suggestions.end(), text) == suggestions.end()) {
        suggestions.push_back(std::move(text));
      }
    }
  }
}

int CDictionaryRegistry::GetDictionaryID(std::string_view name) {
  CReaderAccess reader(m_lock);
  const CDictionary* dictionary = FindByName(name);
  return dictionary != nullptr ? dictionary->GetID() : -1;
}

void CDictionaryRegistry::GetDictionaryName(int id, std::string& name) {
  name.clear();
  CReaderAccess reader(m_lock);
  if (const CDictionary* dictionary = Find(id)) {
    name = dictionary->GetName();
  }
}

bool CDictionaryRegistry::LookUp(std::string_view word, const std::vector<int>& ids,
                                 bool* settled) {
  CReaderAccess reader(m_lock);
  for (const int id : ids) {
    CDictionary* dictionary = Find(id);
    if (dictionary == nullptr) {
      continue;
    }
    if (!dictionary->EnsureLoaded()) {
      if (settled != nullptr) {
        *settled = false;
      }
      continue;
    }
    if (dictionary->Contains(word)) {
      return true;
    }
  }
  return false;
}

CMainDictionary* CDictionaryRegistry::FindMain() const {
  for (const auto& dictionary : m_dictionaries) {
    if (auto* main = dynamic_cast<CMainDictionary*>(dictionary.get())) {
      return main;
    }
  }
  return nullptr;
}

bool CDictionaryRegistry::ForEachMainWord(const std::function<void(std::string_view)>& visit) {
  CReaderAccess reader(m_lock);
  CMainDictionary* main = FindMain();
  if (main == nullptr || !main->EnsureLoaded()) {
    return false;
  }
  main->ForEachWord(visit);
  return true;
}

std::string CDictionaryRegistry::GetMainDictionaryFolder() {
  CReaderAccess reader(m_lock);
  const CMainDictionary* main = FindMain();
  return main != nullptr ? CDirUtils::ParsePathFromFile(main->GetPath()) : std::string();
}

void CDictionaryRegistry::AddWord(int id, const std::string& word) {
  CWriterAccess writer(m_lock);
  if (CDictionary* dictionary = FindEditable(id)) {
    // A missing file leaves it unloaded; the word is still added and Save creates it.
    dictionary->EnsureLoaded();
    dictionary->AddWord(word);
    CDictionary::NoteChange();
    dictionary->Save();
  }
}

void CDictionaryRegistry::SetWords(int id, const TextArray& words) {
  CWriterAccess writer(m_lock);
  if (CDictionary* dictionary = FindEditable(id)) {
    dictionary->EnsureLoaded();
    dictionary->SetWords(words);
    CDictionary::NoteChange();
    dictionary->Save();
  }
}

void CDictionaryRegistry::GetWords(int id, TextArray& words) {
  CReaderAccess reader(m_lock);
  if (CDictionary* dictionary = FindEditable(id)) {
    dictionary->EnsureLoaded();
    dictionary->GetWords(words);
  }
}

bool CDictionaryRegistry::AddCustomDictionary(const std::string& name) {
  if (CStringUtils::IsEffectivelyEmpty(name)) {
    return false;
  }
  {
    CReaderAccess reader(m_lock);
    if (FindByName(name) != nullptr) {
      return false;
    }
  }
  CWriterAccess writer(m_lock);
  const std::string folder = CZebUtils::GetCustomDictionaryPath();
  if (folder.empty() || FindByName(name) != nullptr) {
    return false;
  }
  const std::string path = folder + CFileUtils::ReplaceBadFileChars(name, "_", false) + ".dic";
  // Another dictionary holds that file: two owners would overwrite each other's words.
  if (FindByPath(path) != nullptr) {
    return false;
  }
  // A file already there (one moved in for a renamed project, or one the folder
  // monitor has not reported yet) keeps its words; only a new file is created empty.
  const bool fileExists = CFileUtils::DoesFileExist(path);
  auto dictionary = MakeCustom(name, path);
  CCustomDictionary* added = dictionary.get();
  m_idIndex.emplace(added->GetID(), added);
  m_dictionaries.push_back(std::move(dictionary));
  CDictionary::NoteChange();
  if (!fileExists) {
    added->Save();
  }
  return true;
}

int CDictionaryRegistry::AddSiteWordList(const std::string& name, const std::string& path) {
  if (CStringUtils::IsEffectivelyEmpty(name)) {
    return -1;
  }
  CWriterAccess writer(m_lock);
  if (const CDictionary* known = FindByPath(path); known != nullptr) {
    return dynamic_cast<const CSiteWordList*>(known) != nullptr ? known->GetID() : -1;
  }
  if (FindByName(name) != nullptr) {
    return -1;
  }
  auto dictionary = std::make_unique<CSiteWordList>(m_nextID++, name, path);
  const int id = dictionary->GetID();
  // Watched like every word list: a "git pull" that changes it counts at the next check.
  return RegisterDictionary(std::move(dictionary)) ? id : -1;
}

bool CDictionaryRegistry::IsSiteWordList(int id) {
  CReaderAccess reader(m_lock);
  return dynamic_cast<const CSiteWordList*>(Find(id)) != nullptr;
}

bool CDictionaryRegistry::RenameSiteWordList(int id, const std::string& name) {
  if (CStringUtils::IsEffectivelyEmpty(name)) {
    return false;
  }
  CWriterAccess writer(m_lock);
  auto* list = dynamic_cast<CSiteWordList*>(Find(id));
  if (list == nullptr) {
    return false;
  }
  const CDictionary* holder = FindByName(name);
  if (holder != nullptr) {
    return holder == list;
  }
  list->Rename(name);
  return true;
}

bool CDictionaryRegistry::BuildMainDictionary() {
  CWriterAccess writer(m_lock);
  CDictionary::NoteChange();
  return !m_dictionaries.empty() && m_dictionaries.front()->Save();
}

bool CDictionaryRegistry::RegisterDictionary(std::unique_ptr<CCustomDictionary> dictionary) {
  if (!dictionary) {
    return false;
  }
  for (const auto& registered : m_dictionaries) {
    if (registered->GetName() == dictionary->GetName() &&
        registered->GetPath() == dictionary->GetPath()) {
      // Give the id back only when it was the last one handed out, so that no id
      // ever names two dictionaries.
      if (dictionary->GetID() == m_nextID - 1) {
        --m_nextID;
      }
      return false;
    }
  }
  const int id = dictionary->GetID();
  const std::string path = dictionary->GetPath();
  m_idIndex.emplace(id, dictionary.get());
  m_dictionaries.push_back(std::move(dictionary));
  CDictionary::NoteChange();
  StartFileMonitor(path, id);
  return true;
}

std::unique_ptr<CCustomDictionary> CDictionaryRegistry::MakeCustom(std::string name,
                                                                   std::string path) {
  return std::make_unique<CCustomDictionary>(m_nextID++, std::move(name), std::move(path));
}

void CDictionaryRegistry::RegisterMainDictionary() {
  const std::string file = m_mainFile.empty() ? m_appPath + CMainDictionary::kFileName : m_mainFile;
  auto dictionary = std::make_unique<CMainDictionary>(m_nextID++, file);
  m_idIndex.emplace(dictionary->GetID(), dictionary.get());
  m_dictionaries.push_back(std::move(dictionary));
  CDictionary::NoteChange();
}

bool CDictionaryRegistry::OfferFolderFiles(const std::string& folder,
                                           std::vector<std::string>& names) {
  std::vector<std::string> files;
  const bool listed = CFileUtils::GetFileList(folder, {"dic"}, true, files, false, false, true);
  for (const std::string& file : files) {
    std::string name = DerivedName(file);
    if (name.empty()) {
      continue;
    }
    names.push_back(name);
    RegisterDictionary(MakeCustom(std::move(name), file));
  }
  return listed;
}

void CDictionaryRegistry::ScanCustomFolder() {
  const std::string folder = CZebUtils::GetCustomDictionaryPath();
  if (folder.empty()) {
    return;
  }
  std::vector<std::string> names;
  OfferFolderFiles(folder, names);
  if (std::find(names.begin(), names.end(), kDefaultName) == names.end()) {
    auto dictionary = MakeCustom(kDefaultName, folder + kDefaultFileName);
    CCustomDictionary* added = dictionary.get();
    if (RegisterDictionary(std::move(dictionary))) {
      added->Save();
    }
  }
  StartDirectoryMonitor(folder);
}

void CDictionaryRegistry::RescanCustomFolder() {
  CWriterAccess writer(m_lock);
  const std::string folder = CZebUtils::GetCustomDictionaryPath();
  if (folder.empty()) {
    return;
  }
  std::vector<std::string> names;
  const bool listed = OfferFolderFiles(folder, names);
  RegisterDictionary(MakeCustom(kDefaultName, folder + kDefaultFileName));
  // A folder that could not be read says nothing about which files are gone.
  if (!listed) {
    return;
  }
  for (auto entry = m_dictionaries.begin(); entry != m_dictionaries.end();) {
    const CDictionary& dictionary = **entry;
    const std::string& name = dictionary.GetName();
    // A site's word list lies in the site, not in the folder.
    const bool keep = !dictionary.IsCustom() || Holds(name, kWordPrefix) ||
                      dynamic_cast<const CSiteWordList*>(&dictionary) != nullptr ||
                      Holds(name, kThunderbirdName) ||
                      std::find(names.begin(), names.end(), name) != names.end();
    entry = keep ? entry + 1 : Drop(entry);
  }
}

void CDictionaryRegistry::ScanWordDictionaries() {
  std::vector<std::string> keys;
  CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, kProofingToolsKey, keys, true);
  const auto found = std::find_if(keys.begin(), keys.end(),
                                  [](const std::string& key) { return Holds(key, kWordKeyMark); });
  if (found == keys.end()) {
    CAppLogger::Log(kLogNoWordKey);
    return;
  }
  std::string key = *found;
  CDirUtils::EnsureTrailingBackslash(key);
  m_wordKey = key;
  for (const std::string& value : ReadWordValues(m_wordKey)) {
    AddWordDictionary(value);
  }
  StartRegistryMonitor(m_wordKey);
}

bool CDictionaryRegistry::AddWordDictionary(const std::string& value) {
  if (CStringUtils::IsEffectivelyEmpty(value)) {
    return false;
  }
  std::string name = WordDictionaryName(value);
  for (const auto& registered : m_dictionaries) {
    if (registered->IsCustom() && registered->GetName() == name) {
      return false;
    }
  }
  std::string path = value;
  if (CDirUtils::ParsePathFromFile(path).empty()) {
    path = CDirUtils::GetSpecialFolder(CDirUtils::kApplicationData) + "Microsoft/Proof/" + value;
  }
  if (!CFileUtils::DoesFileExist(path)) {
    return false;
  }
  return RegisterDictionary(MakeCustom(std::move(name), std::move(path)));
}

void CDictionaryRegistry::RescanWordDictionaries() {
  CWriterAccess writer(m_lock);
  if (m_wordKey.empty()) {
    return;
  }
  const std::vector<std::string> values = ReadWordValues(m_wordKey);
  for (const std::string& value : values) {
    AddWordDictionary(value);
  }
  for (auto entry = m_dictionaries.begin(); entry != m_dictionaries.end();) {
    const std::string& name = (*entry)->GetName();
    const bool keep = !(*entry)->IsCustom() || !Holds(name, kWordPrefix) ||
                      std::any_of(values.begin(), values.end(), [&](const std::string& value) {
                        return WordDictionaryName(value) == name;
                      });
    entry = keep ? entry + 1 : Drop(entry);
  }
}

void CDictionaryRegistry::FindThunderbirdDictionary() {
  // Thunderbird keeps its profiles under ~/.thunderbird on Linux; the configuration
  // folder is where the Windows layout puts them.
  std::vector<std::string> folders;
  const std::string appData = CDirUtils::GetSpecialFolder(CDirUtils::kApplicationData);
  if (!appData.empty()) {
    folders.push_back(appData + "Thunderbird/Profiles/");
  }
  const std::string home = CUserFolders::GetHomeDir();
  if (!home.empty()) {
    folders.push_back(home + "/.thunderbird/");
  }
  TextArray files;
  for (const std::string& folder : folders) {
    CFileUtils::GetFileList(folder, {"dat"}, true, files.Items(), true, true, true);
  }
  bool found = false;
  const std::size_t index = files.FindWithin("persdict.dat", found);
  if (!found) {
    CAppLogger::Log(kLogNoThunderbird);
    return;
  }
  RegisterDictionary(MakeCustom(kThunderbirdName, files[index]));
}

void CDictionaryRegistry::RegisterHunspellDictionaries() {
  CHunspellFinder::EMissingFolders missing = CHunspellFinder::EMissingFolders::kSkipped;
  const std::vector<std::string> folders = CHunspellFinder::SearchFolders(missing);
  for (const SHunspellFile& file : CHunspellFinder::Find(folders, missing)) {
    std::string name = file.name;
    if (FindByName(name) != nullptr) {
      name += kHunspellSuffix;
    }
    if (FindByName(name) != nullptr) {
      continue;
    }
    auto dictionary = std::make_unique<CHunspellDictionary>(m_nextID++, std::move(name), file);
    m_idIndex.emplace(dictionary->GetID(), dictionary.get());
    m_dictionaries.push_back(std::move(dictionary));
  }
  CDictionary::NoteChange();
}

void CDictionaryRegistry::RegisterBundledWordList(const char* name, const char* fileName) {
  // A user's word list of that name came first and keeps it.
  if (FindByName(name) != nullptr) {
    return;
  }
  // Without its file there is nothing to offer: a project that names it hears so.
  std::string path = m_appPath + fileName;
  if (!CFileUtils::DoesFileExist(path)) {
    CAppLogger::LogFileError(CBundledWordList::kLogMissing, path, CBundledWordList::kMissingReason);
    return;
  }
  // No file monitor: the program folder changes only when the program is replaced.
  auto dictionary = std::make_unique<CBundledWordList>(m_nextID++, name, std::move(path));
  m_idIndex.emplace(dictionary->GetID(), dictionary.get());
  m_dictionaries.push_back(std::move(dictionary));
  CDictionary::NoteChange();
}

void CDictionaryRegistry::OnDictionaryFileChanged(int id) {
  CReaderAccess reader(m_lock);
  const bool known = Find(id) != nullptr;
  reader.Release();
  if (known) {
    NotifyChanged(id);
  }
}

CDictionaryRegistry::DictionaryList::iterator
CDictionaryRegistry::Drop(DictionaryList::iterator entry) {
  const int id = (*entry)->GetID();
  // Queued, never handled inside this call: the receiver may take reader access.
  NotifyChanged(id);
  m_idIndex.erase(id);
  CDictionary::NoteChange();
  return m_dictionaries.erase(entry);
}

void CDictionaryRegistry::NotifyChanged(int id) const {
  if (m_msgWindow != 0) {
    SendNotifyMessage(m_msgWindow, CSpellChecker::MSG_DICT_CHANGED, static_cast<WPARAM>(id),
                      m_msgParameter);
  }
}

CDictionary* CDictionaryRegistry::Find(int id) const {
  const auto found = m_idIndex.find(id);
  return found != m_idIndex.end() ? found->second : nullptr;
}

CDictionary* CDictionaryRegistry::FindEditable(int id) const {
  CDictionary* dictionary = Find(id);
  const bool editable = dictionary != nullptr &&
                        dictionary->GetKind() != EDictionaryKind::kHunspell &&
                        !dictionary->IsReadOnly();
  return editable ? dictionary : nullptr;
}

CDictionary* CDictionaryRegistry::FindByName(std::string_view name) const {
  for (const auto& dictionary : m_dictionaries) {
    if (dictionary->GetName() == name) {
      return dictionary.get();
    }
  }
  return nullptr;
}

CDictionary* CDictionaryRegistry::FindByPath(std::string_view path) const {
  for (const auto& dictionary : m_dictionaries) {
    if (dictionary->GetPath() == path) {
      return dictionary.get();
    }
  }
  return nullptr;
}

void CDictionaryRegistry::StartDirectoryMonitor(const std::string& folder) {
  m_pDirMonitor = StartMonitor<CDirMonitorThread>(
      folder, false, CDirMonitorThread::CHANGE_FILE_NAME | CDirMonitorThread::CHANGE_DIR_NAME,
      CDictionaryMsgWnd::MSG_CUSTOM_DIR_CHANGED, GetMsgWindowHandle(), CChangeMonitor::NO_PERIOD,
      0);
}

void CDictionaryRegistry::StartRegistryMonitor(const std::string& key) {
  m_pRegMonitor = StartMonitor<CRegMonitorThread>(
      HKEY_CURRENT_USER, key, false, CDictionaryMsgWnd::MSG_WORD_DICTS_CHANGED,
      GetMsgWindowHandle(), CChangeMonitor::NO_PERIOD, 0, 0);
}

void CDictionaryRegistry::StartFileMonitor(const std::string& path, int id) {
  auto monitor = StartMonitor<CFileMonitorThread>(path, CDictionaryMsgWnd::MSG_DICT_FILE_CHANGED,
                                                  GetMsgWindowHandle(), kFileMonitorPeriodMs,
                                                  static_cast<LPARAM>(id), false);
  if (monitor) {
    m_fileMonitors.push_back(std::move(monitor));
  }
}

void CDictionaryRegistry::StopMonitors() {
  StopMonitor(m_pRegMonitor);
  StopMonitor(m_pDirMonitor);
  for (auto& monitor : m_fileMonitors) {
    StopMonitor(monitor);
  }
  m_fileMonitors.clear();
}
