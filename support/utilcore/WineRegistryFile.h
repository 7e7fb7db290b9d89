#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// The text of one Wine registry file ("user.reg", "system.reg"), indexed by key.
/// Key names compare case-insensitively, as on Windows; key paths are relative to
/// the file's root and separated by single backslashes. Only string values are
/// read; binary, number and damaged entries are passed over. Read-only once built,
/// so one object may serve many threads.
class CWineRegistryFile {
public:
  /// Takes the file's text; a text without the "WINE REGISTRY Version 2" header
  /// holds no keys.
  explicit CWineRegistryFile(std::string text);

  bool HasHeader() const noexcept { return m_hasHeader; }
  /// Whether `key` exists, also as the parent of keys that have sections of their
  /// own; the empty key is the root and always exists.
  bool HasKey(std::string_view key) const;
  /// Appends the paths of the sub-keys of `key` to `keys`: all levels or only the
  /// direct children, each parent before its children, in file order.
  void GetSubKeys(std::string_view key, bool allLevels, std::vector<std::string>& keys) const;
  /// The string value `name` ("" or "@": the default value) of `key`: a plain
  /// string or a "str(n):" string up to its first NUL. False when missing or not a
  /// string.
  bool GetStringValue(std::string_view key, std::string_view name, std::string& value) const;

  /// The values of `key` (with `subtree`, also of every key below it) as one text
  /// that changes exactly when a value or, with `subtree`, the set of keys changes:
  /// "[path]" and the key's value lines, without the "#time=" lines Wine rewrites on
  /// every save. Empty when there is no such key.
  std::string GetKeyText(std::string_view key, bool subtree) const;

  /// `name` case-folded for comparisons (ASCII fast path, ICU beyond).
  static std::string FoldName(std::string_view name);
  /// `key` without empty components, leading, trailing or doubled separators (at the
  /// end a "/", as folder helpers add, counts as one), then case-folded. Normalising
  /// the result again leaves it as it is.
  static std::string NormalizeKey(std::string_view key);

private:
  struct Section {
    std::string path;
    std::string folded;
    std::size_t bodyBegin = 0;
    std::size_t bodyEnd = 0;
  };

  void IndexSections();
  bool ReadValueFrom(const Section& section, std::string_view foldedName, std::string& value) const;

  std::string m_text;
  bool m_hasHeader = false;
  std::vector<Section> m_sections;
  std::unordered_map<std::string, std::vector<std::size_t>> m_byKey;
};
