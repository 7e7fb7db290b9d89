// Loading the compiled file: every refusal with its log line, damaged files included.
#include "MainDictionaryFixture.h"

#include "testkit/FileBytes.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kMissing = "{03C7C9A6-55A3-474E-BE43-6F6241B5E3FA}";
constexpr const char* kMapping = "{106B1EDE-5C41-4311-8CB1-1278A1E84917}";
constexpr const char* kBadMagic = "{C3910E40-3EDF-4260-9873-5EEA4823557D}";
constexpr const char* kBadVersion = "{538456D4-FE2D-4E6A-80C6-1F2991294FB1}";
constexpr const char* kDamaged = "{62B562B0-D90E-4900-8116-17B018A41742}";

class MainDictionaryLoad : public MainDictionaryFixture {
protected:
  // Writes `bytes` as the compiled file and loads it; the log line it caused, or "" when
  // it loaded.
  std::string LoadBytes(const std::string& bytes) {
    WriteFdc(bytes);
    return LoadOutcome();
  }
  std::string LoadOutcome() {
    NewLogTexts();
    CMainDictionary dictionary(0, FdcPath());
    const bool loaded = dictionary.Load();
    EXPECT_EQ(loaded, dictionary.IsLoaded());
    if (loaded) {
      EXPECT_EQ(NewLogTexts().size(), 0U);
      return "";
    }
    EXPECT_FALSE(dictionary.Contains("apple"));
    EXPECT_FALSE(dictionary.Contains("42"));
    return OneNewLogText();
  }
  std::string ThreeWords() { return Compile({"apple", "banana", "cherry"}, {"the", "and"}); }
};

// Overwrites the 32-bit field `field` (0: words offset ... 8: longest common word).
std::string WithField(std::string bytes, int field, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[8 + 4 * field + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return bytes;
}

std::uint32_t Field(const std::string& bytes, int field) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[8 + 4 * field + i]))
             << (8 * i);
  }
  return value;
}

} // namespace

TEST_F(MainDictionaryLoad, MissingOrEmptyFileIsRefusedBeforeAnyOpen) {
  EXPECT_EQ(LoadOutcome(), kMissing);
  EXPECT_EQ(LoadBytes(""), kMissing);
  // Each later use tries again and logs again.
  CMainDictionary dictionary(0, FdcPath());
  EXPECT_FALSE(dictionary.Load());
  EXPECT_FALSE(dictionary.EnsureLoaded());
  EXPECT_EQ(NewLogTexts(), std::vector<std::string>(2, kMissing));
}

TEST_F(MainDictionaryLoad, WrongVersionOrMagicIsRefused) {
  const std::string good = ThreeWords();
  EXPECT_EQ(LoadBytes(good), "");
  std::string version2 = good;
  version2[0] = 2;
  EXPECT_EQ(LoadBytes(version2), kBadVersion);
  std::string magic = good;
  magic[7] = 'T';
  EXPECT_EQ(LoadBytes(magic), kBadMagic);
  // The magic is tested before the version.
  magic[0] = 2;
  EXPECT_EQ(LoadBytes(magic), kBadMagic);
  EXPECT_EQ(LoadBytes(std::string(600, '\0')), kBadMagic);
}

TEST_F(MainDictionaryLoad, FolderInPlaceOfTheFileIsRefused) {
  std::filesystem::create_directory(FdcPath());
  EXPECT_EQ(LoadOutcome(), std::string(kMapping) + "Is a directory");
}

TEST_F(MainDictionaryLoad, TruncatedFileIsRefusedAtEveryLength) {
  const std::string good = ThreeWords();
  for (std::size_t length = 1; length < good.size(); ++length) {
    const char* expected = length < 8 ? kBadMagic : kDamaged;
    EXPECT_EQ(LoadBytes(good.substr(0, length)), expected) << length;
  }
  EXPECT_EQ(LoadBytes(good + std::string(1, '\0')), kDamaged); // oversized
}

TEST_F(MainDictionaryLoad, TruncatedLargerFileIsRefused) {
  std::vector<std::string> words;
  for (int i = 0; i < 2000; ++i) {
    words.push_back("w" + std::to_string(10000 + i));
  }
  const std::string good = Compile(words, {"the", "of", "and"});
  for (std::size_t length = 8; length < good.size(); length += 37) {
    EXPECT_EQ(LoadBytes(good.substr(0, length)), kDamaged) << length;
  }
  EXPECT_EQ(LoadBytes(good.substr(0, good.size() - 1)), kDamaged);
}

TEST_F(MainDictionaryLoad, EveryChangedHeaderFieldIsRefused) {
  const std::string good = ThreeWords();
  for (int field = 0; field < 9; ++field) {
    const std::uint32_t value = Field(good, field);
    for (const std::uint32_t changed :
         {value + 1, value - 1, value + 512, value - 512, 0U, 0xFFFFFFFFU, 0x80000000U}) {
      if (changed == value) {
        continue;
      }
      EXPECT_EQ(LoadBytes(WithField(good, field, changed)), kDamaged)
          << "field " << field << " = " << changed;
    }
  }
}

TEST_F(MainDictionaryLoad, DamagedListsAreRefused) {
  const std::string good = ThreeWords();
  struct Case {
    std::size_t offset;
    char value;
    const char* what;
  };
  const std::vector<Case> cases = {
      {44, '\x20', "common record longer than the list"},
      {44, '\0', "common list ending early"},
      {48, '\x02', "common record length changed"},
      {52, 'x', "common list without its zero byte"},
      {532, 'x', "word stream without its zero byte"},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    bytes[c.offset] = c.value;
    EXPECT_EQ(LoadBytes(bytes), kDamaged) << c.what;
  }
}

// A file of exactly one page, so that a read past its end is likely to fault: every
// byte of the word stream is damaged in turn, and the lookups must neither crash nor
// hang.
TEST_F(MainDictionaryLoad, DamagedWordStreamNeverLeadsOutOfTheFile) {
  std::vector<std::string> words = NineLetterWords(358);
  words.push_back("zz");
  const std::string good = Compile(words, {"the"});
  ASSERT_EQ(good.size(), 4096U);
  const std::vector<std::string> probes = {"aamnopqrs", "bzmnopqrs", "camnopqrs", "zz",
                                           "nzmnopqrs", "zzz",       "the",       "mmmnopqrs"};
  WriteFdc(good);
  std::fstream file(FdcPath(), std::ios::in | std::ios::out | std::ios::binary);
  for (std::size_t offset = 512; offset < good.size(); ++offset) {
    for (const char value : {'\0', '\x1F', '\x80', good[offset]}) {
      // Changed in place: the size stays and the file system has nothing to flush.
      file.seekp(static_cast<std::streamoff>(offset));
      file.put(value);
      file.flush();
      CMainDictionary dictionary(0, FdcPath());
      if (!dictionary.Load()) {
        continue;
      }
      for (const std::string& probe : probes) {
        dictionary.Contains(probe);
      }
    }
  }
  file.close();
  EXPECT_EQ(LoadBytes(good), "");
}

// A record damaged near the start of the stream hides only the words of its own
// blocks: a word in a later block is found from that block, so no shortcut taken over
// the whole stream may turn it away.
TEST_F(MainDictionaryLoad, WordsAfterADamagedRecordAreStillFound) {
  std::vector<std::string> words = NineLetterWords(358);
  words.push_back("zz");
  std::string bytes = Compile(words, {"the"});
  const std::uint32_t stream = Field(bytes, 0);
  bytes[stream + 10] = '\0'; // the second record's length byte: the stream "ends" there
  WriteFdc(bytes);
  CMainDictionary dictionary(0, FdcPath());
  ASSERT_TRUE(dictionary.Load());
  EXPECT_TRUE(dictionary.Contains("aamnopqrs")); // before the damage
  EXPECT_TRUE(dictionary.Contains("zz"));        // in the last block
  EXPECT_TRUE(dictionary.Contains(words[300]));
  EXPECT_FALSE(dictionary.Contains("zzz"));
}

TEST_F(MainDictionaryLoad, LoadingTwiceKeepsTheFirstMapping) {
  ThreeWords();
  CMainDictionary dictionary(0, FdcPath());
  ASSERT_TRUE(dictionary.Load());
  std::filesystem::remove(FdcPath());
  EXPECT_TRUE(dictionary.Load());
  EXPECT_TRUE(dictionary.Contains("banana")); // the mapping outlives the file's name
}
