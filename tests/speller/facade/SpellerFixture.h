#pragma once

#include "dictionaries/MainDictionary.h"
#include "spellcore/SpellChecker.h"
#include "utilcore/DirUtils.h"

#include "mtcore/FunctionTarget.h"
#include "mtcore/MessageLoop.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileWriteFaults.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace spellertest {

constexpr const char* kMainName = "ZEB U.S. English";
constexpr const char* kLogNoWordKey = "{5B704675-1045-47FA-AFDB-3EC8E1E7D66B}";
constexpr const char* kLogNoThunderbird = "{60962477-F184-48DA-9C0F-53373ED944B3}";

/// Only reached when the code under test hangs.
constexpr std::chrono::milliseconds kLongWait{30000};

/// `ascii` as UTF-16 LE with a byte order mark, as Microsoft Word writes its lists.
inline std::string Utf16(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

/// Records the MSG_DICT_CHANGED notices (wParam, lParam) that reach it.
class CDictChangedRecorder : public CFunctionTarget {
public:
  CDictChangedRecorder()
      : CFunctionTarget([this](UINT message, WPARAM wParam, LPARAM lParam) {
          if (message == CSpellChecker::MSG_DICT_CHANGED) {
            notices.emplace_back(static_cast<int>(wParam), static_cast<long>(lParam));
          }
        }) {}

  std::vector<std::pair<int, long>> notices;
};

/// A fresh fake home with the application log open, a program folder and helpers
/// for the custom dictionary folder. Deletes the speller when the test ends.
class SpellerTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(CAppLogger::SetAppName("PagelintTest"));
    std::filesystem::create_directories(AppDir());
  }
  void TearDown() override {
    CSpellChecker::DeleteInstance();
    CAppLogger::Close();
    CFileWriteFaults::Clear();
  }

  std::string AppDir() const { return m_home.Root() + "/app/"; }
  std::string ConfigDir() const { return m_home.ConfigHome() + "/"; }
  std::string CustomFolder() const { return ConfigDir() + "ZEB/Custom Dictionaries/"; }

  /// Writes a file below the fake home, creating its folders.
  void WriteFile(const std::string& path, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testkit::WriteBytes(path, bytes);
  }
  void WriteDic(const std::string& fileName, const std::string& bytes) const {
    WriteFile(CustomFolder() + fileName, bytes);
  }
  /// The Wine prefix's user.reg with Word's custom dictionary key holding `values`
  /// (lines such as "\"1\"=\"MINE.DIC\"").
  void WriteUserReg(const std::string& values) const {
    WriteFile(m_home.WinePrefix() + "/user.reg",
              "WINE REGISTRY Version 2\n"
              ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
              "#arch=win64\n\n"
              "[Software\\\\Microsoft\\\\Shared Tools\\\\Proofing Tools\\\\1.0\\\\Custom "
              "Dictionaries] 1700000001\n"
              "#time=1da1c2b3a4f5e61\n" +
                  values + "\n");
  }
  bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

  /// The speller started with the main dictionary the build compiles into the test
  /// program's folder; the ids name that dictionary alone.
  std::vector<int> StartWithBuiltMainDictionary() {
    // The registry takes the main dictionary's file when it learns the program folder.
    CSpellChecker::GetInstance()->SetMainDictionaryFile(CDirUtils::GetAppPath() +
                                                        CMainDictionary::kFileName);
    return {StartSpeller().GetDictionaryID(kMainName)};
  }

  /// The speller after start-up in the program folder.
  CSpellChecker& StartSpeller() {
    CSpellChecker* speller = CSpellChecker::GetInstance();
    EXPECT_NE(speller, nullptr);
    speller->SetAppPath(AppDir());
    return *speller;
  }

  /// How many log lines hold `id`.
  int LogCount(const std::string& id) const {
    CAppLogger* logger = CAppLogger::GetInstance();
    if (logger == nullptr || !Exists(logger->GetPath())) {
      return 0;
    }
    std::ifstream in(logger->GetPath());
    int count = 0;
    for (std::string line; std::getline(in, line);) {
      count += line.find(id) != std::string::npos ? 1 : 0;
    }
    return count;
  }

  static bool PumpUntil(const std::function<bool()>& done) {
    return CMessageLoop::PumpUntil(done, kLongWait);
  }

  ScopedFakeHome m_home;
};

} // namespace spellertest
