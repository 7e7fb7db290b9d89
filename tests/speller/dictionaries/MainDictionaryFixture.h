#pragma once

#include "dictionaries/MainDictionary.h"

#include "testkit/ScopedFakeHome.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

/// A program folder in a fresh fake home with an open application log, for tests of
/// the compiled main dictionary: word lists are written there, compiled into "ZEB.fdc"
/// and loaded.
class MainDictionaryFixture : public testing::Test {
protected:
  MainDictionaryFixture();
  void SetUp() override;
  void TearDown() override;

  std::string Folder() const { return m_home.Root() + "/program/"; }
  std::string FdcPath() const { return Folder() + CMainDictionary::kFileName; }
  /// Writes "Dictionary.txt" and "CommonWords.txt", one word per line, LF endings.
  void WriteLists(const std::vector<std::string>& words, const std::vector<std::string>& common);
  /// Replaces the compiled file with `bytes` (a new file: rewriting one in place makes
  /// the file system flush it, which is slow).
  void WriteFdc(const std::string& bytes);
  /// Compiles the lists (the compile must succeed) and returns the bytes of the file.
  std::string Compile(const std::vector<std::string>& words,
                      const std::vector<std::string>& common);
  /// A new dictionary on FdcPath(), loaded (the load must succeed).
  std::unique_ptr<CMainDictionary> Loaded();
  /// The lines logged since the last call (or SetUp), without their time stamps.
  std::vector<std::string> NewLogTexts();
  /// The one line logged since the last call; a failure when there is not exactly one.
  std::string OneNewLogText();

  ScopedFakeHome m_home;
  std::size_t m_logRead = 0;
};

/// `count` (at most 676) distinct words of 9 letters in byte order, each with a key of
/// its own: "aamnopqrs", "abmnopqrs", ...
std::vector<std::string> NineLetterWords(int count);

/// Builds a compiled file's bytes field by field, little-endian, independently of the
/// code under test.
std::string HeaderBytes(unsigned char version, const std::string& magic,
                        const std::vector<std::uint32_t>& fields);
