#pragma once

#include "facade/DictionaryMsgWnd.h"

#include "spellcore/DictionaryKind.h"

#include "mtcore/MultiReaderWriter.h"
#include "mtcore/WindowMessages.h"

#include "utilcore/TextArray.h"

#include <functional>
#include <map>
#include <unordered_map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CCustomDictionary;
class CDictionary;
class CMainDictionary;
class CDirMonitorThread;
class CFileMonitorThread;
class CHunspellDictionary;
class CRegMonitorThread;

/// Every dictionary of the process with its id: the main dictionary (id 0, first in
/// the list), the word-list dictionaries, found at start-up and kept up to date by
/// monitors of the custom dictionary folder, Word's dictionary list and each dictionary
/// file, the Hunspell dictionaries of the desktop, found once at start-up, and the
/// read-only word list of technical terms shipped in the program folder.
///
/// Threads: LookUp and the other readers run on any thread under reader access; the
/// edits, the start-up and the re-scans run on the user interface thread (the one
/// that called SetAppPath and pumps the message window) under writer access.
class CDictionaryRegistry {
public:
  CDictionaryRegistry();
  /// Stops the monitors, destroys the message window and deletes the dictionaries.
  ~CDictionaryRegistry();
  CDictionaryRegistry(const CDictionaryRegistry&) = delete;
  CDictionaryRegistry& operator=(const CDictionaryRegistry&) = delete;

  /// Stores the program folder ("/" at the end) and registers every dictionary
  /// (none is loaded yet). Only the first call does anything.
  void SetAppPath(const std::string& path);
  /// Before SetAppPath: the main dictionary's file when not the program folder's.
  void SetMainDictionaryFile(const std::string& file) { m_mainFile = file; }
  /// Where MSG_DICT_CHANGED goes from now on; 0: nobody is told.
  void SetMsgWindow(HWND window, LPARAM parameter);
  /// Appends the ids of the main and/or word-list dictionaries in registration order
  /// (no Hunspell dictionary); the vector is not cleared.
  void GetDictionaries(std::vector<int>& ids, bool includeMain, bool includeCustom);
  /// Appends the ids of the Hunspell dictionaries in name order.
  void GetHunspellDictionaries(std::vector<int>& ids);
  /// The kind of dictionary `id`; kWordList when `id` names none.
  EDictionaryKind GetDictionaryKind(int id);
  /// Whether dictionary `id` is a word list that words can be added to: not the main
  /// one, not a Hunspell one, not one shipped read-only with the program.
  bool TakesWords(int id);
  /// The language tag of dictionary `id`; empty for word lists and unknown ids.
  std::string GetDictionaryLanguage(int id);
  /// The id of the dictionary named exactly `name`, or -1.
  int GetDictionaryID(std::string_view name);
  /// Empties `name`, then sets it to the name of dictionary `id` when there is one.
  void GetDictionaryName(int id, std::string& name);
  /// True when one of the dictionaries `ids` recognises `word`. Allocates nothing.
  /// `settled`, when given, is set false when a dictionary consulted could not be
  /// loaded: a later try may load it and answer otherwise.
  bool LookUp(std::string_view word, const std::vector<int>& ids, bool* settled = nullptr);
  /// Takes reader access for the calling thread until ReleaseLookups. The LookUp calls
  /// in between get it again re-entrantly, without the count that every thread shares:
  /// a run of look-ups pays for the shared count once instead of once per word.
  void HoldLookups() { m_lock.GrantReaderAccess(); }
  void ReleaseLookups() { m_lock.ReleaseReaderAccess(); }
  /// Whether `ids` names a Hunspell dictionary.
  bool HoldsHunspell(const std::vector<int>& ids);
  /// Whether every dictionary of `ids` that has a language has an English one.
  bool IsEnglishOnly(const std::vector<int>& ids);
  /// Appends the suggestions of each Hunspell dictionary of `ids` for `word` that
  /// `suggestions` does not hold yet, loading the dictionary first if needed.
  void AddHunspellSuggestions(std::string_view word, const std::vector<int>& ids,
                              std::vector<std::string>& suggestions);
  /// Hands every word of the main dictionary to `visit` under reader access, loading
  /// it first if needed; false when it is not registered or cannot be loaded.
  bool ForEachMainWord(const std::function<void(std::string_view)>& visit);
  /// The folder of the main dictionary's file, ending in "/"; empty without one.
  std::string GetMainDictionaryFolder();
  void AddWord(int id, const std::string& word);
  void SetWords(int id, const TextArray& words);
  void GetWords(int id, TextArray& words);
  /// Creates "<folder><name>.dic" (forbidden file characters as "_") and registers it.
  /// An existing file of that name that no dictionary holds is taken over as it is.
  bool AddCustomDictionary(const std::string& name);
  /// Registers the site word list `path` as `name` (see CSpellChecker::AddSiteWordList).
  int AddSiteWordList(const std::string& name, const std::string& path);
  bool IsSiteWordList(int id);
  /// Gives site word list `id` the name `name` (see CSpellChecker::RenameSiteWordList).
  bool RenameSiteWordList(int id, const std::string& name);
  /// Compiles the main dictionary from its word lists.
  bool BuildMainDictionary();

  /// Registers `dictionary` unless one of the same name and path is registered (then
  /// its id is given back) and starts its file monitor. Caller holds writer access.
  bool RegisterDictionary(std::unique_ptr<CCustomDictionary> dictionary);

  // Handlers of the message window's notices; user interface thread, no lock held.
  void RescanCustomFolder();
  void RescanWordDictionaries();
  void OnDictionaryFileChanged(int id);

  /// The message window's handle (0 when it could not be created).
  HWND GetMsgWindowHandle() const;

private:
  using DictionaryList = std::vector<std::unique_ptr<CDictionary>>;

  std::unique_ptr<CCustomDictionary> MakeCustom(std::string name, std::string path);
  void CreateMsgWindow();
  void RegisterMainDictionary();
  void ScanCustomFolder();
  /// Offers every ".dic" file of `folder` to RegisterDictionary and appends the names
  /// derived from them; false when the folder could not be read.
  bool OfferFolderFiles(const std::string& folder, std::vector<std::string>& names);
  void ScanWordDictionaries();
  bool AddWordDictionary(const std::string& value);
  void FindThunderbirdDictionary();
  /// Registers the Hunspell dictionaries found, after every other kind: a name that
  /// one of those holds already gets " (Hunspell)" added.
  void RegisterHunspellDictionaries();
  /// Registers the read-only word list `fileName` of the program folder as `name`,
  /// unless a dictionary holds that name already; a missing file is logged instead.
  void RegisterBundledWordList(const char* name, const char* fileName);
  /// Tells the program, then removes and deletes the dictionary; the entry after it.
  DictionaryList::iterator Drop(DictionaryList::iterator entry);
  void NotifyChanged(int id) const;
  CDictionary* Find(int id) const;
  /// The compiled main dictionary, or null when none is registered.
  CMainDictionary* FindMain() const;
  CDictionary* FindByName(std::string_view name) const;
  CDictionary* FindByPath(std::string_view path) const;
  /// Dictionary `id` unless it takes no edits: a Hunspell one or a read-only one.
  CDictionary* FindEditable(int id) const;

  // The monitors: the only place that creates and stops them.
  void StartDirectoryMonitor(const std::string& folder);
  void StartRegistryMonitor(const std::string& key);
  void StartFileMonitor(const std::string& path, int id);
  void StopMonitors();

  int m_nextID = 0;
  HWND m_msgWindow = 0;
  LPARAM m_msgParameter = 0;
  std::unique_ptr<CRegMonitorThread> m_pRegMonitor;
  std::unique_ptr<CDirMonitorThread> m_pDirMonitor;
  std::string m_wordKey;
  std::optional<CDictionaryMsgWnd> m_msgWnd;
  std::string m_appPath;
  std::string m_mainFile;
  CMultiReaderWriter m_lock;
  DictionaryList m_dictionaries;
  /// Looked up for every id of every word a check or a suggestion search asks about.
  std::unordered_map<int, CDictionary*> m_idIndex;
  /// One per dictionary ever registered; those of dropped dictionaries stay until the
  /// end and their notices are ignored.
  std::vector<std::unique_ptr<CFileMonitorThread>> m_fileMonitors;
  bool m_started = false;
};
