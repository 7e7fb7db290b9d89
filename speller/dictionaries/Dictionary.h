#pragma once

#include "spellcore/DictionaryKind.h"

#include "utilcore/TextArray.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

/// Base of every dictionary of the registry: the compiled main dictionary, the
/// word-list dictionaries and the Hunspell dictionaries. Contains is called from many checking
/// threads at once under the registry's reader access; the edits run under its writer access.
class CDictionary {
public:
  CDictionary(int id, std::string name, std::string path)
      : m_id(id), m_name(std::move(name)), m_path(std::move(path)) {}
  virtual ~CDictionary() = default;
  CDictionary(const CDictionary&) = delete;
  CDictionary& operator=(const CDictionary&) = delete;

  /// Reads or maps the file; sets loaded on success.
  virtual bool Load() = 0;
  /// Writes the file (the main dictionary compiles it).
  virtual bool Save() = 0;
  virtual bool Contains(std::string_view word) const = 0;
  virtual void AddWord(const std::string& word) = 0;
  virtual void SetWords(const TextArray& words) = 0;
  virtual void GetWords(TextArray& words) const = 0;
  virtual bool IsCustom() const = 0;
  virtual EDictionaryKind GetKind() const {
    return IsCustom() ? EDictionaryKind::kWordList : EDictionaryKind::kBuiltIn;
  }
  /// The language as a tag with "_" ("en_US"); empty when the dictionary has none.
  virtual std::string GetLanguage() const { return {}; }
  /// Whether the dictionary refuses every edit: a word list shipped with the program.
  virtual bool IsReadOnly() const { return false; }

  /// Loads on first use. Safe when several readers of the registry reach the first
  /// load together: one loads, the others wait for it and see the result.
  bool EnsureLoaded();

  bool IsLoaded() const { return m_loaded.load(std::memory_order_acquire); }

  /// A process-wide count that moves on whenever the answer of some look-up may have
  /// changed: a dictionary loaded, edited, added or dropped. It never comes back to an
  /// earlier value, not even for a speller made after another was deleted, so a
  /// remembered answer is good exactly while the count is the one it was found under.
  static std::uint64_t ChangeCount() { return s_changeCount.load(std::memory_order_acquire); }
  /// Moves the count on; edits do it under the registry's writer access.
  static void NoteChange() { s_changeCount.fetch_add(1, std::memory_order_acq_rel); }
  int GetID() const { return m_id; }
  const std::string& GetName() const { return m_name; }
  const std::string& GetPath() const { return m_path; }

protected:
  /// Loads run under reader access, while other threads look up: the count moves on
  /// before the words show, so a thread that sees the new words sees the new count too.
  void SetLoaded() {
    NoteChange();
    m_loaded.store(true, std::memory_order_release);
  }
  /// Only under the registry's writer access: readers take the name under reader access.
  void SetName(std::string name) { m_name = std::move(name); }

private:
  static inline std::atomic<std::uint64_t> s_changeCount{0};
  std::atomic<bool> m_loaded{false};
  int m_id;
  std::string m_name;
  std::string m_path;
  std::mutex m_loadMutex;
};
