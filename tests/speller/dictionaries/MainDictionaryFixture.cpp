#include "MainDictionaryFixture.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileWriteFaults.h"

#include "testkit/FileBytes.h"

#include <filesystem>
#include <fstream>

MainDictionaryFixture::MainDictionaryFixture() {
  std::filesystem::create_directories(Folder());
}

void MainDictionaryFixture::SetUp() {
  ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
}

void MainDictionaryFixture::TearDown() {
  CAppLogger::Close();
  CFileWriteFaults::Clear();
}

namespace {
std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\n";
  }
  return text;
}

// Rewriting a file in place makes the file system flush it, which is slow.
void Rewrite(const std::string& path, const std::string& bytes) {
  std::filesystem::remove(path);
  testkit::WriteBytes(path, bytes);
}
} // namespace

void MainDictionaryFixture::WriteLists(const std::vector<std::string>& words,
                                       const std::vector<std::string>& common) {
  Rewrite(Folder() + CMainDictionary::kWordListName, Joined(words));
  Rewrite(Folder() + CMainDictionary::kCommonListName, Joined(common));
}

void MainDictionaryFixture::WriteFdc(const std::string& bytes) {
  Rewrite(FdcPath(), bytes);
}

std::string MainDictionaryFixture::Compile(const std::vector<std::string>& words,
                                           const std::vector<std::string>& common) {
  WriteLists(words, common);
  CMainDictionary dictionary(0, FdcPath());
  EXPECT_TRUE(dictionary.Save());
  return testkit::ReadBytes(FdcPath());
}

std::unique_ptr<CMainDictionary> MainDictionaryFixture::Loaded() {
  auto dictionary = std::make_unique<CMainDictionary>(0, FdcPath());
  EXPECT_TRUE(dictionary->Load());
  EXPECT_TRUE(dictionary->IsLoaded());
  return dictionary;
}

std::vector<std::string> MainDictionaryFixture::NewLogTexts() {
  constexpr std::size_t kStamp = 24; // "YYYY-MM-DD HH:MM:SS.mmm "
  std::ifstream in(m_home.ConfigHome() + "/Pagelint/Pagelint.log", std::ios::binary);
  in.seekg(static_cast<std::streamoff>(m_logRead));
  std::vector<std::string> texts;
  for (std::string line; std::getline(in, line);) {
    m_logRead += line.size() + 1;
    texts.push_back(line.size() >= kStamp ? line.substr(kStamp) : line);
  }
  return texts;
}

std::string MainDictionaryFixture::OneNewLogText() {
  const std::vector<std::string> texts = NewLogTexts();
  EXPECT_EQ(texts.size(), 1U);
  return texts.size() == 1 ? texts.front() : "(" + std::to_string(texts.size()) + " log lines)";
}

std::vector<std::string> NineLetterWords(int count) {
  std::vector<std::string> words;
  for (int i = 0; i < count; ++i) {
    words.push_back(std::string{static_cast<char>('a' + i / 26), static_cast<char>('a' + i % 26)} +
                    "mnopqrs");
  }
  return words;
}

std::string HeaderBytes(unsigned char version, const std::string& magic,
                        const std::vector<std::uint32_t>& fields) {
  std::string bytes(1, static_cast<char>(version));
  bytes += magic;
  for (std::uint32_t field : fields) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(static_cast<char>((field >> shift) & 0xFF));
    }
  }
  return bytes;
}
