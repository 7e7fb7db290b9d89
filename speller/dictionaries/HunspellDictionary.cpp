#include "dictionaries/HunspellDictionary.h"

#include "utilcore/AppLogger.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <exception>
#include <sstream>
#include <system_error>

namespace {

/// "{ID} - <file> - <why>": a Hunspell dictionary that could not be loaded.
constexpr const char* kLogRefused = "{F917DAE6-F8CF-4E03-AABB-D88CDC83D9A0}";

constexpr std::int64_t kNsPerSecond = 1000000000;

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

/// `word` composed (NFC) with its typographic apostrophes written "'", as the word lists
/// spell them; ASCII words are handed back as they are, without a copy.
std::string_view Composed(std::string_view word, std::string& buffer) {
  if (IsAscii(word)) {
    return word;
  }
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(word.data(), static_cast<std::int32_t>(word.size())));
  if (U_SUCCESS(status)) {
    text = nfc->normalize(text, status);
  }
  text.findAndReplace(icu::UnicodeString(static_cast<UChar32>(0x2019)), icu::UnicodeString(u"'"));
  text.findAndReplace(icu::UnicodeString(static_cast<UChar32>(0x02BC)), icu::UnicodeString(u"'"));
  buffer.clear();
  text.toUTF8String(buffer);
  return buffer;
}

/// Only a word of letters (apostrophes and hyphens aside) is asked about in lower case
/// too; code such as "PyUnicode_ReadChar()" is asked about as written only.
bool IsLettersOnly(std::string_view form) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(form.data());
  const auto size = static_cast<std::int32_t>(form.size());
  for (std::int32_t i = 0; i < size;) {
    UChar32 c = 0;
    U8_NEXT(bytes, i, size, c);
    if (c != '\'' && c != '-' && (c < 0 || !u_isalpha(c))) {
      return false;
    }
  }
  return true;
}

bool IsAsciiPunctuation(char c) {
  return static_cast<unsigned char>(c) < 0x80 && std::ispunct(static_cast<unsigned char>(c)) != 0;
}

void AddPunctuation(std::string_view text, std::bitset<128>& symbols) {
  for (const char c : text) {
    if (IsAsciiPunctuation(c)) {
      symbols.set(static_cast<unsigned char>(c));
    }
  }
}

/// The ASCII punctuation a word of the dictionary may hold: that of the words of the
/// .dic file (each up to its flags or fields), that of the affix file's IGNORE, BREAK
/// and ICONV lines, which change the word before it is looked up, and the apostrophe,
/// hyphen, period and comma that affixes, compounds, abbreviations and numbers add.
std::bitset<128> WordSymbols(std::string_view aff, std::string_view dic) {
  std::bitset<128> symbols;
  AddPunctuation("'-.,", symbols);
  for (std::size_t start = dic.find('\n'); start < dic.size();) {
    const std::size_t end = std::min(dic.find('\n', start + 1), dic.size());
    const std::string_view line = dic.substr(start + 1, end - start - 1);
    // "\/" is a slash of the word; the first other "/" starts its flags.
    std::size_t wordEnd = 0;
    while (wordEnd < line.size() && line[wordEnd] != '\t' && line[wordEnd] != ' ' &&
           !(line[wordEnd] == '/' && (wordEnd == 0 || line[wordEnd - 1] != '\\'))) {
      ++wordEnd;
    }
    AddPunctuation(line.substr(0, wordEnd), symbols);
    start = end;
  }
  for (std::size_t start = 0; start < aff.size();) {
    const std::size_t end = std::min(aff.find('\n', start), aff.size());
    const std::string_view line = aff.substr(start, end - start);
    for (const std::string_view directive : {"IGNORE", "BREAK", "ICONV"}) {
      if (line.starts_with(directive) && line.size() > directive.size() &&
          (line[directive.size()] == ' ' || line[directive.size()] == '\t')) {
        AddPunctuation(line.substr(directive.size()), symbols);
      }
    }
    start = end + 1;
  }
  return symbols;
}

/// A whole file for nuspell; false with why it is not a dictionary file.
bool ReadDictionaryFile(const std::string& path, std::string& bytes, std::string& why) {
  constexpr std::uint64_t kMax = CHunspellDictionary::kMaxFileBytes;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    why = std::generic_category().message(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    why = "not a regular file";
    return false;
  }
  if (static_cast<std::uint64_t>(info.st_size) > kMax) {
    why = "larger than " + std::to_string(kMax / (1024 * 1024)) + " MiB";
    return false;
  }
  // Checked again while reading: the file may have grown since.
  if (!CFileUtils::ReadFileBytes(path, bytes, why, kMax)) {
    return false;
  }
  if (bytes.empty()) {
    why = "empty file";
    return false;
  }
  // Hunspell files are text in an 8-bit or UTF-8 encoding: a NUL byte is never in one.
  if (std::memchr(bytes.data(), '\0', bytes.size()) != nullptr) {
    why = "binary file, not a Hunspell dictionary";
    return false;
  }
  return true;
}

/// nuspell's message on one line, without its blank lines and trailing blanks.
std::string OneLine(const char* message) {
  std::string line;
  bool blank = false;
  for (const char* c = message; *c != '\0'; ++c) {
    const bool space = *c == ' ' || *c == '\n' || *c == '\r' || *c == '\t';
    if (space) {
      blank = !line.empty();
      continue;
    }
    if (blank) {
      line += ' ';
      blank = false;
    }
    line += *c;
  }
  return line.empty() ? "not a Hunspell dictionary" : line;
}

} // namespace

CHunspellDictionary::CHunspellDictionary(int id, std::string name, const SHunspellFile& file)
    : CDictionary(id, std::move(name), file.dicPath), m_affPath(file.affPath),
      m_language(file.language) {}

bool CHunspellDictionary::Load() {
  const SFileStamp stamp = StampFiles();
  if (m_failedStamp == stamp) {
    return false;
  }
  std::string file;
  std::string why;
  std::bitset<128> symbols;
  std::unique_ptr<nuspell::Dictionary> speller = Parse(symbols, file, why);
  if (speller == nullptr) {
    m_failedStamp = stamp;
    CAppLogger::LogFileError(kLogRefused, file, why);
    return false;
  }
  m_failedStamp.reset();
  m_speller = std::move(speller);
  m_wordSymbols = symbols;
  SetLoaded();
  return true;
}

CHunspellDictionary::SFileStamp CHunspellDictionary::StampFiles() const {
  SFileStamp stamp;
  const std::string* paths[2] = {&GetPath(), &m_affPath};
  for (int i = 0; i < 2; ++i) {
    struct stat info {};
    if (::stat(paths[i]->c_str(), &info) != 0) {
      stamp.errnum[i] = errno;
      continue;
    }
    stamp.size[i] = static_cast<std::uint64_t>(info.st_size);
    stamp.inode[i] = static_cast<std::uint64_t>(info.st_ino);
    stamp.modifiedNs[i] = static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNsPerSecond +
                          static_cast<std::int64_t>(info.st_mtim.tv_nsec);
  }
  return stamp;
}

std::unique_ptr<nuspell::Dictionary>
CHunspellDictionary::Parse(std::bitset<128>& symbols, std::string& file, std::string& why) const {
  std::string aff;
  std::string dic;
  if (!ReadDictionaryFile(m_affPath, aff, why)) {
    file = m_affPath;
    return nullptr;
  }
  if (!ReadDictionaryFile(GetPath(), dic, why)) {
    file = GetPath();
    return nullptr;
  }
  symbols = WordSymbols(aff, dic);
  std::istringstream affStream(std::move(aff));
  std::istringstream dicStream(std::move(dic));
  auto speller = std::make_unique<nuspell::Dictionary>();
  try {
    speller->load_aff_dic(affStream, dicStream);
  } catch (const std::exception& error) {
    why = OneLine(error.what());
    // nuspell's messages name the file they are about: ".dic file" or "affix file".
    file = why.find(".dic") != std::string::npos ? GetPath() : m_affPath;
    return nullptr;
  }
  // ICU sets up its composition data on first use; doing that here, before the
  // dictionary is shared, keeps the look-up threads from racing to do it.
  std::string warmUp;
  Composed("\xC3\xA9", warmUp);
  return speller;
}

bool CHunspellDictionary::Contains(std::string_view word) const {
  if (m_speller == nullptr || word.empty() || word.size() > kMaxWordBytes) {
    return false;
  }
  if (HoldsForeignSymbols(word)) {
    return false;
  }
  std::string buffer;
  const std::string_view form = Composed(word, buffer);
  return m_speller->spell(form) || (IsLettersOnly(form) && ContainsInOtherCase(form));
}

bool CHunspellDictionary::ContainsInOtherCase(std::string_view form) const {
  // nuspell takes a word in lower case, capitalised or in capitals as its entry allows
  // ("colour", "Colour", "COLOUR"; "London", "LONDON"). A lower-case word stays as it
  // is: "center" is American, and en_GB lists only the place "Center".
  std::string lower(form);
  CStringUtils::MakeLower(lower);
  if (lower == form) {
    return false;
  }
  std::string title = lower;
  CStringUtils::PreserveCase("A", title);
  std::string upper(form);
  CStringUtils::MakeUpper(upper);
  // Mixed case ("cOLOUR") is the one left to try, in lower case.
  return title != form && upper != form && m_speller->spell(lower);
}

bool CHunspellDictionary::HoldsForeignSymbols(std::string_view word) const {
  return std::any_of(word.begin(), word.end(), [this](char c) {
    return IsAsciiPunctuation(c) && !m_wordSymbols.test(static_cast<unsigned char>(c));
  });
}

void CHunspellDictionary::Suggest(std::string_view word,
                                  std::vector<std::string>& suggestions) const {
  if (m_speller == nullptr || word.empty() || word.size() > kMaxWordBytes ||
      HoldsForeignSymbols(word)) {
    return;
  }
  std::string buffer;
  std::vector<std::string> found;
  m_speller->suggest(Composed(word, buffer), found);
  for (std::string& suggestion : found) {
    if (!suggestion.starts_with('-') && !suggestion.ends_with('-')) {
      suggestions.push_back(std::move(suggestion));
    }
  }
}
