#pragma once

#include "checking/BadWordsList.h"
#include "replace/BackupFolders.h"
#include "replace/Replacer.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileWriteFaults.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"
#include "testkit/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

inline void PrintTo(const SReplaceResult& r, std::ostream* out) {
  *out << "{changed " << r.filesChanged << ", left " << r.filesLeftUnchanged << ", no match "
       << r.filesWithoutMatch << ", replaced " << r.locationsReplaced << ", skipped "
       << r.locationsSkipped << "}";
}

namespace replacetest {

/// The failure line of a backup.
constexpr const char* kBackupFailedId = "{FA21A076-AB6A-4D0B-A498-FA8FA11992A0}";

/// Where a word was found: line, start and end as the check records them.
struct Place {
  int line;
  int start;
  int end;
};

/// Names the cases of a table by their `name` field.
struct CaseName {
  template <typename Param>
  std::string operator()(const testing::TestParamInfo<Param>& param) const {
    return param.param.name;
  }
};

/// "\xFF\xFE" and the UTF-16LE form of ASCII text.
inline std::string Utf16Le(std::string_view ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

/// A site folder, a private fake home (whose runtime folder holds the backup root), a
/// real bad-word list, and the backups one test made.
class ReplacerTest : public testing::Test {
protected:
  // The log of this test's fake home, not of an earlier one.
  void SetUp() override { ASSERT_TRUE(CAppLogger::SetAppName("Pagelint")); }
  void TearDown() override {
    CFileWriteFaults::Clear();
    CAppLogger::Close();
  }

  std::string Root() const { return m_site.Path() + "/"; }
  static std::string BackupRoot() { return CBackupFolders::GetBackupRoot("/nonexistent/"); }
  static std::string BackupFolder() {
    return CBackupFolders::GetBackupFolder("My Site", "/nonexistent/");
  }

  /// Writes a file of the site (folders created); returns its full path.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    const std::string path = Root() + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testkit::WriteBytes(path, bytes);
    return path;
  }

  /// The listed word `text` (appended when new) with its replacement set.
  CBadWord* Word(const std::string& text, const std::string& replacement) {
    CBadWord* word = m_list.FindWord(text);
    if (word == nullptr) {
      m_list.AppendWord(std::make_unique<CBadWord>(text));
      word = m_list.FindWord(text);
    }
    word->SetReplacement(replacement);
    return word;
  }

  /// Records places of the word in a file of the site, sorted as the check sorts them.
  void Locate(CBadWord* word, const std::string& relative, const std::vector<Place>& places) {
    for (const Place& place : places) {
      m_list.AddLocation(word, Root() + relative, place.line, place.start, place.end, "");
    }
    m_list.SortLocations(word);
  }

  SReplaceResult Replace(const CBadWord* word, const std::vector<std::string>& chosen = {}) {
    return CReplacer::ReplaceInFiles(m_list, *word, BackupFolder(), Root().size(), chosen,
                                     m_backups);
  }

  ScopedFakeHome m_home;
  ScopedTempDir m_site;
  CBadWordsList m_list;
  std::vector<std::string> m_backups;
};

} // namespace replacetest
