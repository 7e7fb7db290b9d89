#pragma once

#include "projects/ProjectDataFile.h"

#include "spellcore/SpellChecker.h"
#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"
#include "utilcore/AppLogger.h"
#include "utilcore/FileWriteFaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

/// Names a parameterised case after its table entry's `name`.
template <typename Case> std::string CaseName(const testing::TestParamInfo<Case>& param) {
  return param.param.name;
}

/// A fresh fake home with the log open, a project data folder, a program folder and a
/// speller that knows the word lists written into the custom dictionary folder.
class ProjectFileTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
    std::filesystem::create_directories(DataDir());
    std::filesystem::create_directories(AppDir());
    std::filesystem::create_directories(CustomFolder());
  }
  void TearDown() override {
    CFileWriteFaults::Clear();
    CSpellChecker::DeleteInstance();
    CAppLogger::Close();
  }

  std::string AppDir() const { return m_home.Root() + "/app/"; }
  /// Not the settings folder, where the log lives: tests count and remove its files.
  std::string DataDir() const { return m_home.Root() + "/data/"; }
  std::string CustomFolder() const { return m_home.ConfigHome() + "/ZEB/Custom Dictionaries/"; }

  /// Starts the speller with a word-list dictionary for each name ("ZEB Custom" and
  /// the like; the file name has "_" for blanks).
  CSpellChecker& StartSpeller(const std::vector<std::string>& dictionaryNames) {
    for (std::string name : dictionaryNames) {
      std::replace(name.begin(), name.end(), ' ', '_');
      testkit::WriteBytes(CustomFolder() + name + ".dic", "word\n");
    }
    CSpellChecker* speller = CSpellChecker::GetInstance();
    speller->SetAppPath(AppDir());
    return *speller;
  }

  /// Writes a data file holding `content` into the data folder.
  std::string WriteDataFile(const std::string& fileName,
                            const CProjectDataFile::SContent& content) const {
    const std::string path = DataDir() + fileName;
    testkit::WriteBytes(path, CProjectDataFile::Write(content, path));
    return path;
  }

  static CProjectDataFile::SContent Content(const std::string& name, const std::string& root) {
    CProjectDataFile::SContent content;
    content.name = name;
    content.rootDirectory = root;
    return content;
  }

  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

  ScopedFakeHome m_home;
};
