#pragma once

#include "utilcore/TextArray.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

/// Base of every dictionary of the registry: the compiled main dictionary and the
/// word-list dictionaries. Contains is called from many checking threads at once
/// under the registry's reader access; the edits run under its writer access.
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

  /// Loads on first use. Safe when several readers of the registry reach the first
  /// load together: one loads, the others wait for it and see the result.
  bool EnsureLoaded();

  bool IsLoaded() const { return m_loaded.load(std::memory_order_acquire); }
  int GetID() const { return m_id; }
  const std::string& GetName() const { return m_name; }
  const std::string& GetPath() const { return m_path; }

protected:
  void SetLoaded() { m_loaded.store(true, std::memory_order_release); }

private:
  std::atomic<bool> m_loaded{false};
  int m_id;
  std::string m_name;
  std::string m_path;
  std::mutex m_loadMutex;
};
