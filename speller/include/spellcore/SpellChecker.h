#pragma once

#include "spellcore/DictionaryKind.h"
#include "spellcore/SpellcoreExport.h"

#include "utilcore/TextArray.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSpellCheckerImpl;

/// The speller: a process-wide singleton that holds every dictionary, cleans
/// candidate words and looks them up.
///
/// Create it with GetInstance on the user interface thread, then call SetAppPath.
/// PreprocessWord, LookUp and Suggest may be called from any thread at once; every other
/// member belongs to the user interface thread, which must pump its messages for the
/// dictionaries to follow changes on disk. Dictionaries are named by ids: 0 is the
/// main dictionary, -1 names none, and an id never names a second dictionary. Besides
/// the built-in main dictionary and the word lists, the Hunspell dictionaries installed
/// on the desktop are registered (not loaded) by SetAppPath; each loads on first use.
class SPELLCORE_EXPORT CSpellChecker {
public:
  /// Posted to the window given to SetMsgWindow when a dictionary's file changed or
  /// a dictionary is about to be dropped: wParam = its id, lParam = the parameter.
  static const unsigned int MSG_DICT_CHANGED;

  /// The speller, created on the first call; null when it could not be created.
  static CSpellChecker* GetInstance();
  /// Destroys the speller (stopping its monitors); GetInstance makes a new one.
  static void DeleteInstance();

  /// Program folder, ending in "/" (the compiled main dictionary lies there); finds
  /// and registers the dictionaries without loading any. Call once.
  void SetAppPath(const std::string& path);
  /// Before SetAppPath: the compiled main dictionary to use instead of the program
  /// folder's (a newer one kept where the program folder could not be written).
  void SetMainDictionaryFile(const std::string& file);
  /// Whether `file` maps as a sound compiled main dictionary (the check a load makes;
  /// each fault is logged as a load logs it). Needs no speller.
  static bool IsUsableMainDictionary(const std::string& file);
  /// `window` (a message target handle) receives MSG_DICT_CHANGED from now on.
  void SetMsgWindow(std::uint64_t window, long parameter);

  /// Appends the ids of the main and/or word-list dictionaries in registration order
  /// (the shipped "ZEB Technical Terms" among the word lists, last); never a Hunspell
  /// dictionary, so that none is in use unless chosen.
  void GetDictionaries(std::vector<int>& ids, bool includeMain, bool includeCustom) const;
  /// Appends the ids of the installed Hunspell dictionaries, in name order.
  void GetHunspellDictionaries(std::vector<int>& ids) const;
  /// The id of the dictionary with exactly this name (case-sensitive), or -1.
  int GetDictionaryID(const std::string& name) const;
  /// Sets `name` to the dictionary's name; empty when `id` names none. A Hunspell
  /// dictionary is named by its language in English and its tag, "English (United
  /// Kingdom) en_GB".
  void GetDictionaryName(int id, std::string& name) const;
  /// The kind of dictionary `id`; kWordList for an id that names none.
  EDictionaryKind GetDictionaryKind(int id) const;
  /// Whether words can be added to dictionary `id`: true for the user's word lists,
  /// false for the main and Hunspell dictionaries, for the word lists shipped read-only
  /// with the program ("ZEB Technical Terms") and for an id that names none.
  bool TakesWords(int id) const;
  /// The language of dictionary `id` as a tag with "_" ("en_US" for the built-in one,
  /// "en_GB", "de_DE"); empty for word lists and ids that name none.
  std::string GetDictionaryLanguage(int id) const;

  /// Cleans `word` in place (blanks, decorations, possessive "'s", character
  /// references, surrounding punctuation but the period of a listed abbreviation such
  /// as "e.g."); false when it is not a word to look up.
  bool PreprocessWord(std::string& word) const;
  /// True when one of the dictionaries `ids` recognises `word` (letter case aside; a
  /// Hunspell dictionary keeps the capital of an entry such as "London", so that en_GB
  /// refuses the American "center" although it lists the place "Center"), or
  /// recognises it once its soft hyphens and zero-width joiners are left out, or every
  /// part of it as a hyphenated compound ("built-in"); and for a listed abbreviation
  /// with its period ("e.g.") while `ids` holds the main dictionary, or recognises it
  /// without its period.
  bool LookUp(const std::string& word, const std::vector<int>& ids) const;
  /// As LookUp; `settled` becomes false when a dictionary of `ids` could not be
  /// loaded (its file missing or unreadable), so that asking again may load it and get
  /// another answer without GetChangeCount having moved. Untouched otherwise.
  bool LookUp(const std::string& word, const std::vector<int>& ids, bool& settled) const;
  /// Holds the dictionaries for this thread's look-ups until ReleaseLookups, so that
  /// each LookUp in between skips the count shared by all threads (see
  /// CSpellLookupScope). While held, the thread may call only PreprocessWord and
  /// LookUp of the speller: a dictionary change waits until the release.
  void HoldLookups() const;
  void ReleaseLookups() const;
  /// A count that moves on whenever the answer of PreprocessWord or LookUp may change
  /// (a dictionary loaded, edited, added or dropped, or a new speller). It never comes
  /// back to an earlier value, so an answer remembered with it is good exactly while
  /// the count stays the same. Any thread; while it holds its look-ups only a first
  /// load of a dictionary can move it on.
  static std::uint64_t GetChangeCount();

  /// Overwrites `suggestions` with the candidates for `word` that the dictionaries
  /// `ids` accept, in ascending byte order without duplicates. `findAll` false hands
  /// out the next few (one per strategy) and goes on from there on the next call for
  /// the same word; `restart` starts over even for the same word. A word of more than
  /// 64 characters, longer than any word of the main dictionary, gets none at once.
  /// User interface thread only.
  void Guess(const std::string& word, const std::vector<int>& ids,
             std::vector<std::string>& suggestions, bool findAll, bool restart);
  /// The suggestions a user reads for `word`, best first: Guess's candidates (with
  /// `restart`), ranked by how likely each is the word meant (few and small edits, the
  /// same sound, the same letter case), with fragments such as a prefix of the word
  /// last. When Guess finds no word of about the misspelling's length, words of the
  /// main dictionary (when `ids` holds it) that sound like it or lie two edits from it
  /// join them. When `ids` holds Hunspell dictionaries, their own suggestions join too,
  /// ranked by the same edits and letter case (and sound and commonness while every
  /// dictionary is English). At most `maxCount` of them (0: all). Any thread, several
  /// at once: each call runs the strategies of its own, and the first builds the index
  /// of the main dictionary's words that the others then share.
  void Suggest(const std::string& word, const std::vector<int>& ids,
               std::vector<std::string>& suggestions, std::size_t maxCount = 0);
  /// Builds the index of the main dictionary's words that Suggest searches on a thread
  /// of its own at a low priority (nice 10), and posts MSG_WORD_INDEX_READY (wParam 0, lParam
  /// `parameter`) to `window` once it is ready. Until then Suggest leaves out the wider
  /// searches and the commonness, and IsWordIndexPending is true. Without this call the
  /// first Suggest builds it. User interface thread only.
  void StartWordIndex(std::uint64_t window, long parameter);
  bool IsWordIndexPending() const;
  static const unsigned int MSG_WORD_INDEX_READY;
  /// Learns that `word` was replaced by `replacement` (kept in the custom guesses
  /// file); does nothing before the first Guess for a non-blank word.
  void AddGuess(const std::string& word, const std::string& replacement);

  /// Adds a word to a word-list dictionary and saves its file; a read-only one (see
  /// TakesWords) is left as it is.
  void AddWord(int id, const std::string& word);
  /// Replaces all words of a word-list dictionary and saves its file; a read-only one
  /// is left as it is.
  void SetWords(int id, const TextArray& words);
  /// Copies the words of a word-list dictionary out.
  void GetWords(int id, TextArray& words) const;
  /// Creates and registers a new, empty word-list dictionary in the custom dictionary
  /// folder; false for a blank or taken name.
  bool AddCustomDictionary(const std::string& name);
  /// Registers the word list of a site, the file `path` (it need not exist yet), under
  /// `name`; returns its id, the one it has already when `path` is registered as a
  /// site's word list, or -1 when `name` is blank or another dictionary's.
  int AddSiteWordList(const std::string& name, const std::string& path);
  /// Whether dictionary `id` is a site's own word list, used by that site's project only.
  bool IsSiteWordList(int id) const;
  /// Renames site word list `id` to `name`, as its project is renamed; false when `id` is
  /// no site's word list or `name` is blank or another dictionary's.
  bool RenameSiteWordList(int id, const std::string& name);
  /// Compiles the main dictionary file from its word lists in the program folder.
  bool BuildMainDictionary();

  CSpellChecker(const CSpellChecker&) = delete;
  CSpellChecker& operator=(const CSpellChecker&) = delete;

private:
  CSpellChecker();
  ~CSpellChecker();

  static CSpellChecker* m_pInstance;
  std::unique_ptr<CSpellCheckerImpl> m_pImpl;
};
