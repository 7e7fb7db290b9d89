#pragma once

#include <string>
#include <string_view>
#include <vector>

/// A set of file extensions compared without case: "htm", ".HTM" and "*.htm" are the
/// same entry. "*" or "*.*" accepts every file; an empty set accepts none.
class CExtensionSet {
public:
  CExtensionSet() = default;
  explicit CExtensionSet(const std::vector<std::string>& extensions);

  /// The canonical form of an extension: leading "*" and "." dropped, case folded.
  static std::string Normalize(std::string_view extension);

  /// Whether the extension of `fileName` (the text after its last ".") is in the set.
  bool Matches(std::string_view fileName) const;
  bool MatchesAll() const { return m_all; }
  bool IsEmpty() const { return m_extensions.empty() && !m_all; }

private:
  std::vector<std::string> m_extensions;
  bool m_all = false;
};
