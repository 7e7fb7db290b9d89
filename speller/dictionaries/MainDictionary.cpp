#include "dictionaries/MainDictionary.h"

#include "utilcore/AppLogger.h"
#include "utilcore/AtomicFile.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/StringUtils.h"
#include "utilcore/SystemUtils.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using Header = CompiledDictionaryHeader;

constexpr std::string_view kLogMissing = "{03C7C9A6-55A3-474E-BE43-6F6241B5E3FA}";
constexpr std::string_view kLogOpen = "{25BC478D-74C8-4276-91BC-AA78F4B03C67}";
constexpr std::string_view kLogMapping = "{106B1EDE-5C41-4311-8CB1-1278A1E84917}";
constexpr std::string_view kLogView = "{1F689515-A323-48F5-A748-72F2548149F4}";
constexpr std::string_view kLogBadMagic = "{C3910E40-3EDF-4260-9873-5EEA4823557D}";
constexpr std::string_view kLogBadVersion = "{538456D4-FE2D-4E6A-80C6-1F2991294FB1}";
constexpr std::string_view kLogDamaged = "{62B562B0-D90E-4900-8116-17B018A41742}";
constexpr std::string_view kLogCannotReplace = "{E5DF1186-4BCE-420C-BDCA-064B63D44B5F}";
constexpr std::string_view kLogNoWords = "{94468C29-0E8D-4B37-B860-1C7C4D436DFE}";
constexpr std::string_view kLogNoCommonWords = "{E6569740-E80C-4AFE-8B5B-DECB5882C287}";
constexpr std::string_view kLogCreate = "{C18A927D-633E-40DF-AC01-8CAFEAC29DB7}";
constexpr std::string_view kLogSizeMismatch = "{CEEBF3AB-EB67-4C37-A2DE-2889081EF05D}";
constexpr std::string_view kLogFinish = "{DBCA370B-7770-4A45-9D25-3CDD9B5AB988}";

constexpr std::size_t kKey = Header::kKeyLength;
constexpr std::size_t kBlock = Header::kBlockSize;
constexpr std::size_t kMaxWord = Header::kMaxWordLength;
// No character folds to fewer than a quarter of its bytes (the Kelvin sign, three
// bytes, becomes "k"): a longer word cannot fold into a record.
constexpr std::size_t kMaxFoldableWord = 4 * kMaxWord;
// Room for the word lower-cased and composed, which may make it longer; a word that
// outgrows it is far too long for a record anyway.
constexpr std::size_t kWideRoom = 3 * kMaxFoldableWord;

constexpr std::array<char, 128> kLowerAscii = [] {
  std::array<char, 128> table{};
  for (std::size_t code = 0; code < table.size(); ++code) {
    const bool upper = code >= 'A' && code <= 'Z';
    table[code] = static_cast<char>(upper ? code + ('a' - 'A') : code);
  }
  return table;
}();

// Typographic apostrophes count as the ASCII one: the word lists spell "don't".
bool IsApostrophe(UChar32 c) {
  return c == 0x2019 || c == 0x02BC; // right single quotation mark, modifier letter apostrophe
}

// The word lower-cased and composed (NFC) into `out`, which holds kMaxWord bytes,
// apostrophes made ASCII. A page may write "café" with a combining accent, or in
// capitals; the word lists hold it composed and lower-cased. False for damaged UTF-8
// and for a result that no record can hold. Works on the stack: a lookup allocates
// nothing.
bool FoldUnicode(std::string_view word, char* out, std::size_t& length) {
  UErrorCode status = U_ZERO_ERROR;
  std::array<UChar, kMaxFoldableWord> wide{};
  std::int32_t wideLength = 0;
  u_strFromUTF8(wide.data(), static_cast<std::int32_t>(wide.size()), &wideLength, word.data(),
                static_cast<std::int32_t>(word.size()), &status);
  std::array<UChar, kWideRoom> lower{};
  const std::int32_t lowerLength = u_strToLower(
      lower.data(), static_cast<std::int32_t>(lower.size()), wide.data(), wideLength, "", &status);
  const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
  std::array<UChar, kWideRoom> composed{};
  const std::int32_t composedLength =
      unorm2_normalize(nfc, lower.data(), lowerLength, composed.data(),
                       static_cast<std::int32_t>(composed.size()), &status);
  if (U_FAILURE(status)) {
    return false;
  }
  std::size_t n = 0;
  for (std::int32_t i = 0; i < composedLength;) {
    UChar32 c = 0;
    U16_NEXT(composed.data(), i, composedLength, c);
    if (IsApostrophe(c)) {
      c = '\'';
    }
    if (U_IS_SURROGATE(c) || n + static_cast<std::size_t>(U8_LENGTH(c)) > kMaxWord) {
      return false;
    }
    U8_APPEND_UNSAFE(out, n, c);
  }
  length = n;
  return true;
}

// The form of a word that records store and keys begin with. ASCII words, and words
// whose only other characters are typographic apostrophes, never reach the library.
bool FoldWord(std::string_view word, char* out, std::size_t& length) {
  if (word.size() > kMaxFoldableWord) {
    return false;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(word.data());
  const auto size = static_cast<std::int32_t>(word.size());
  std::size_t n = 0;
  for (std::int32_t i = 0; i < size;) {
    char folded = 0;
    if (bytes[i] < 0x80) {
      folded = kLowerAscii[bytes[i]];
      ++i;
    } else {
      UChar32 c = 0;
      U8_NEXT(bytes, i, size, c);
      if (!IsApostrophe(c)) {
        return FoldUnicode(word, out, length);
      }
      folded = '\'';
    }
    if (n == kMaxWord) {
      return false;
    }
    out[n++] = folded;
  }
  length = n;
  return true;
}

// A key as a number that orders like its 6 bytes compared unsigned.
std::uint64_t KeyValue(const unsigned char* key) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < kKey; ++i) {
    value = (value << 8) | key[i];
  }
  return value;
}

// Word bytes, 0x20-0x7E and those of UTF-8 sequences (0x80 and up), lie above 31;
// length bytes, the zero byte and damage do not.
bool IsWordByte(unsigned char byte) {
  return byte > kMaxWord;
}

bool IsNumberSeparator(unsigned char c) {
  return c == '.' || c == ',' || c == '/' || c == ':' || c == '-';
}

// ---- Compile --------------------------------------------------------------------------------

void AppendRecord(std::string& out, std::string_view word) {
  out.push_back(static_cast<char>(word.size()));
  out.append(word);
}

void AppendKey(std::string& index, std::string_view word) {
  const std::string_view head = word.substr(0, kKey);
  index.append(head);
  index.append(kKey - head.size(), ' ');
}

struct CompiledLists {
  std::string m_common;
  std::uint32_t m_longestCommon = 0;
  std::string m_index;
  std::string m_stream;
};

// Calls `take` with the stored form of every line that the format can hold. The
// sizing pass (and the common-word list) take the lines as they are and skip those
// with nothing visible; the writing pass trims them and skips the empty ones.
template <typename Take>
void ForEachStoredWord(const std::vector<std::string>& lines, bool trim, Take&& take) {
  for (const std::string& line : lines) {
    if (!trim && CStringUtils::IsEffectivelyEmpty(line)) {
      continue;
    }
    std::string word = line;
    if (trim) {
      CStringUtils::Trim(word);
    }
    if (!word.empty() && CMainDictionary::ToStoredWord(word)) {
      take(word);
    }
  }
}

void CompileCommonList(const std::vector<std::string>& lines, CompiledLists& out) {
  ForEachStoredWord(lines, false, [&](const std::string& word) {
    AppendRecord(out.m_common, word);
    out.m_longestCommon = std::max(out.m_longestCommon, static_cast<std::uint32_t>(word.size()));
  });
  out.m_common.push_back('\0');
}

// Sizing pass: the stream as the untrimmed lines give it, and the index of its blocks.
// Entry k is the key of the first record that starts at 512 * k or later.
void CompileIndex(const std::vector<std::string>& lines, CompiledLists& out) {
  ForEachStoredWord(lines, false, [&](const std::string& word) {
    if (out.m_stream.size() >= kBlock * (out.m_index.size() / kKey)) {
      AppendKey(out.m_index, word);
    }
    AppendRecord(out.m_stream, word);
  });
  out.m_stream.push_back('\0');
}

// Writing pass: the stream of the trimmed lines. It must equal the sizing pass's, or
// the index would not describe it.
bool WritingPassMatches(const std::vector<std::string>& lines, const std::string& sized) {
  std::string stream;
  stream.reserve(sized.size());
  ForEachStoredWord(lines, true, [&](const std::string& word) { AppendRecord(stream, word); });
  stream.push_back('\0');
  return stream == sized;
}

std::string BuildImage(const CompiledLists& lists) {
  Header header;
  header.m_commonSize = static_cast<std::uint32_t>(lists.m_common.size());
  header.m_longestCommonWord = lists.m_longestCommon;
  header.m_indexOffset = static_cast<std::uint32_t>(Header::kCommonOffset + lists.m_common.size());
  header.m_indexCount = static_cast<std::uint32_t>(lists.m_index.size() / kKey);
  const std::size_t indexEnd = header.m_indexOffset + lists.m_index.size();
  // Never zero bytes of padding: a full block when the index ends on a boundary.
  header.m_wordsOffset = static_cast<std::uint32_t>((indexEnd / kBlock + 1) * kBlock);
  header.m_wordsSize = static_cast<std::uint32_t>(lists.m_stream.size());

  std::string image;
  image.reserve(header.m_wordsOffset + lists.m_stream.size());
  const auto bytes = header.ToBytes();
  image.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  image.append(lists.m_common);
  image.append(lists.m_index);
  image.append(header.m_wordsOffset - indexEnd, '\0');
  image.append(lists.m_stream);
  return image;
}

// ---- Load checks ----------------------------------------------------------------------------

// Every record of the common-word list has a length of 1 to 31 and ends before the
// list's zero byte, and the longest is as the header says.
bool IsSoundCommonList(const unsigned char* list, std::size_t size, std::uint32_t longest) {
  const std::size_t last = size - 1;
  std::uint32_t found = 0;
  for (std::size_t pos = 0; pos < last;) {
    const std::uint32_t length = list[pos];
    if (length == 0 || length > kMaxWord || pos + length >= last) {
      return false;
    }
    found = std::max(found, length);
    pos += length + 1;
  }
  return list[last] == 0 && found == longest;
}

// The number of blocks in which a record starts: every block but perhaps the last,
// which may hold only the tail of a record. Word bytes all lie above 31, so the first
// byte at or after a block start that is not above 31 is a length byte or the zero.
std::uint64_t CountIndexedBlocks(const unsigned char* stream, std::uint64_t streamBytes) {
  if (streamBytes == 0) {
    return 0;
  }
  const std::uint64_t last = (streamBytes - 1) / kBlock;
  std::uint64_t p = last * kBlock;
  while (p < streamBytes && IsWordByte(stream[p])) {
    ++p;
  }
  return last + (p < streamBytes ? 1 : 0);
}

} // namespace

CMainDictionary::CMainDictionary(int id, std::string path)
    : CDictionary(id, kName, std::move(path)) {}

// ---- Load -----------------------------------------------------------------------------------

bool CMainDictionary::Load() {
  if (IsLoaded()) {
    return true;
  }
  std::int64_t size = 0;
  CFileUtils::GetFileInfo(GetPath(), &size, nullptr);
  if (size <= 0) {
    CAppLogger::Log(kLogMissing);
    return false;
  }
  if (!MapFile()) {
    return false;
  }
  const unsigned char* data = m_view.Data();
  const std::size_t mapped = m_view.Size();
  if (mapped < 1 + Header::kMagic.size() ||
      std::memcmp(data + 1, Header::kMagic.data(), Header::kMagic.size()) != 0) {
    Unmap();
    CAppLogger::Log(kLogBadMagic);
    return false;
  }
  if (data[0] != Header::kVersion) {
    Unmap();
    CAppLogger::Log(kLogBadVersion);
    return false;
  }
  if (mapped >= Header::kSize) {
    m_header = Header::FromBytes(data);
  }
  if (mapped < Header::kSize || !HasSoundLayout()) {
    Unmap();
    CAppLogger::Log(kLogDamaged);
    return false;
  }
  ReadIndex();
  BuildFilter();
  SetLoaded();
  return true;
}

void CMainDictionary::ReadIndex() {
  const unsigned char* entry = m_view.Data() + m_header.m_indexOffset;
  m_index.resize(m_header.m_indexCount);
  for (std::uint64_t& key : m_index) {
    key = KeyValue(entry);
    entry += kKey;
  }
}

template <typename Visit> bool CMainDictionary::WalkStream(Visit&& visit) const {
  // Load checked the header: the stream lies inside the mapping and ends in a zero.
  const auto* data = reinterpret_cast<const char*>(m_view.Data());
  const std::size_t streamEnd = m_header.m_wordsOffset + m_header.m_wordsSize - 1;
  for (std::size_t p = m_header.m_wordsOffset; p < streamEnd;) {
    const auto length = static_cast<unsigned char>(data[p]);
    if (length == 0 || length > kMaxWord || p + length >= streamEnd) {
      return false;
    }
    visit(std::string_view(data + p + 1, length));
    p += length + 1;
  }
  return true;
}

void CMainDictionary::BuildFilter() {
  // Sized by the stream's bytes, at least a bit for each (ten or more a word), so that
  // one walk marks every word without counting them first.
  m_filter.Reset(m_header.m_wordsSize / 16);
  const bool whole =
      WalkStream([this](std::string_view word) { m_filter.Mark(CWordFilter::Hash(word)); });
  if (!whole) {
    m_filter.Clear();
  }
}

bool CMainDictionary::MapFile() {
  CFileDescriptor file(::open(GetPath().c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.IsValid()) {
    CAppLogger::LogWithError(kLogOpen, CSystemUtils::GetLastError(0));
    return false;
  }
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) {
    CAppLogger::LogWithError(kLogMapping, CSystemUtils::GetLastError(0));
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    CAppLogger::LogWithError(kLogMapping,
                             CSystemUtils::GetLastError(S_ISDIR(info.st_mode) ? EISDIR : ENODEV));
    return false;
  }
  if (!m_view.Map(file.Get(), static_cast<std::size_t>(info.st_size))) {
    CAppLogger::LogWithError(kLogView, CSystemUtils::GetLastError(0));
    return false;
  }
  m_file = std::move(file);
  return true;
}

void CMainDictionary::Unmap() {
  m_view.Reset();
  m_file.Reset();
  m_header = Header{};
  m_index.clear();
  m_filter.Clear();
}

// A header whose offsets and sizes all lie inside the file and agree with each other,
// so that no lookup can read outside the mapping.
bool CMainDictionary::HasSoundLayout() const {
  const Header& h = m_header;
  const std::uint64_t fileSize = m_view.Size();
  if (h.m_keyLength != kKey || h.m_blockSize != kBlock || h.m_commonOffset != Header::kSize) {
    return false;
  }
  const std::uint64_t commonEnd = std::uint64_t{h.m_commonOffset} + h.m_commonSize;
  if (h.m_commonSize == 0 || commonEnd > fileSize || h.m_indexOffset != commonEnd) {
    return false;
  }
  if (!IsSoundCommonList(m_view.Data() + h.m_commonOffset, h.m_commonSize, h.m_longestCommonWord)) {
    return false;
  }
  const std::uint64_t indexEnd =
      std::uint64_t{h.m_indexOffset} + std::uint64_t{h.m_indexCount} * kKey;
  if (h.m_wordsOffset != (indexEnd / kBlock + 1) * kBlock) {
    return false;
  }
  const std::uint64_t wordsEnd = std::uint64_t{h.m_wordsOffset} + h.m_wordsSize;
  if (h.m_wordsSize == 0 || wordsEnd != fileSize || m_view.Data()[wordsEnd - 1] != 0) {
    return false;
  }
  return h.m_indexCount == CountIndexedBlocks(m_view.Data() + h.m_wordsOffset, h.m_wordsSize - 1);
}

// ---- Contains -------------------------------------------------------------------------------

bool CMainDictionary::Contains(std::string_view word) const {
  if (!IsLoaded()) {
    return false;
  }
  if (CStringUtils::IsEffectivelyEmpty(word)) {
    return true;
  }
  Key key;
  if (!MakeKey(word, key)) {
    return MatchNumber(word, word.size());
  }
  if (InCommonList(key) || InWordStream(key)) {
    return true;
  }
  return MatchNumber(std::string_view(key.m_bytes, key.m_length), key.m_length);
}

// Folds `word` into `key` and pads it with blanks to the key length. False when the
// word cannot be listed: longer than 31 bytes once folded, or damaged.
bool CMainDictionary::MakeKey(std::string_view word, Key& key) {
  std::size_t length = 0;
  if (!FoldWord(word, key.m_bytes, length) || length == 0) {
    return false;
  }
  key.m_length = length;
  for (; length < kKey; ++length) {
    key.m_bytes[length] = ' ';
  }
  return true;
}

bool CMainDictionary::InCommonList(const Key& key) const {
  if (key.m_length > m_header.m_longestCommonWord) {
    return false;
  }
  // Load checked that every record lies inside the list.
  const unsigned char* p = m_view.Data() + m_header.m_commonOffset;
  const unsigned char* const end = p + m_header.m_commonSize - 1;
  while (p < end) {
    const std::size_t length = *p;
    if (length == key.m_length && std::memcmp(p + 1, key.m_bytes, length) == 0) {
      return true;
    }
    p += length + 1;
  }
  return false;
}

bool CMainDictionary::InWordStream(const Key& key) const {
  if (!m_filter.MayHold(CWordFilter::Hash(std::string_view(key.m_bytes, key.m_length)))) {
    return false;
  }
  const BlockRange range = FindBlockRange(std::string_view(key.m_bytes, kKey));
  if (range.lo >= range.hi) {
    return false;
  }
  const unsigned char* data = m_view.Data();
  const std::size_t words = m_header.m_wordsOffset;
  const std::size_t streamEnd = words + m_header.m_wordsSize - 1; // the zero byte
  const std::size_t stop = std::min(words + std::size_t{range.hi} * kBlock, streamEnd);
  std::size_t p = words + std::size_t{range.lo} * kBlock;
  const auto lastByte = static_cast<unsigned char>(key.m_bytes[key.m_length - 1]);
  // Pass over the tail of a record that began in the block before.
  while (p < streamEnd && IsWordByte(data[p])) {
    ++p;
  }
  while (p < stop) {
    const std::size_t length = data[p];
    // Zero ends the stream; anything else that is no length byte, or a record that
    // runs into the zero byte, is damage: stop rather than read past it.
    if (length == 0 || length > kMaxWord || p + length >= streamEnd) {
      return false;
    }
    // Neighbours in a block share their beginnings: the last byte tells them apart
    // sooner.
    if (length == key.m_length && data[p + length] == lastByte &&
        std::memcmp(data + p + 1, key.m_bytes, length) == 0) {
      return true;
    }
    p += length + 1;
  }
  return false;
}

void CMainDictionary::ForEachWord(const std::function<void(std::string_view)>& visit) const {
  if (IsLoaded()) {
    WalkStream(visit);
  }
}

CMainDictionary::BlockRange CMainDictionary::FindBlockRange(std::string_view key) const {
  const std::size_t count = IsLoaded() ? m_index.size() : 0;
  if (count == 0 || key.size() < kKey) {
    return {};
  }
  const std::uint64_t value = KeyValue(reinterpret_cast<const unsigned char*>(key.data()));
  // The first entry not below the key and the first above it. Plain bisection: a
  // damaged index that is out of order still gives positions inside it.
  const auto firstWhere = [&](auto&& above) {
    std::size_t lo = 0;
    std::size_t hi = count;
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (above(m_index[mid])) {
        hi = mid;
      } else {
        lo = mid + 1;
      }
    }
    return lo;
  };
  const std::size_t first = firstWhere([value](std::uint64_t stored) { return stored >= value; });
  const std::size_t upper = firstWhere([value](std::uint64_t stored) { return stored > value; });
  // Entries may repeat a key, and the block before the first entry with it may hold
  // words with it too: they begin there and run on.
  const std::size_t lower = std::min(first == 0 ? 0 : first - 1, upper);
  return {static_cast<std::uint32_t>(lower), static_cast<std::uint32_t>(upper)};
}

bool CMainDictionary::MatchNumber(std::string_view word, std::size_t length) const {
  length = std::min(length, word.size());
  const auto& isDigit = CStringUtils::m_tableIsDigit;
  std::size_t i = 0;
  for (; i < length; ++i) {
    const auto c = static_cast<unsigned char>(word[i]);
    if (isDigit[c]) {
      continue;
    }
    if (!IsNumberSeparator(c)) {
      break;
    }
    if (i + 1 >= length || !isDigit[static_cast<unsigned char>(word[i + 1])]) {
      return false;
    }
  }
  if (i == length) {
    return length > 0;
  }
  if (i == 0) {
    return false;
  }
  return Contains(word.substr(i, length - i));
}

bool CMainDictionary::ToStoredWord(std::string& word) {
  char folded[kMaxWord];
  std::size_t length = 0;
  if (!FoldWord(word, folded, length) || length == 0) {
    return false;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(folded);
  const auto size = static_cast<std::int32_t>(length);
  for (std::int32_t i = 0; i < size;) {
    UChar32 c = 0;
    U8_NEXT(bytes, i, size, c);
    if (u_charType(c) == U_CONTROL_CHAR) {
      return false;
    }
  }
  word.assign(folded, length);
  return true;
}

// ---- Save -----------------------------------------------------------------------------------

bool CMainDictionary::Save() {
  if (!CanReplaceFile()) {
    return false;
  }
  const std::string folder = CDirUtils::ParsePathFromFile(GetPath());
  std::vector<std::string> words;
  if (!CFileUtils::ReadFileContent(folder + kWordListName, words) || words.empty()) {
    CAppLogger::Log(kLogNoWords);
    return false;
  }
  std::vector<std::string> commonWords;
  if (!CFileUtils::ReadFileContent(folder + kCommonListName, commonWords) || commonWords.empty()) {
    CAppLogger::Log(kLogNoCommonWords);
    return false;
  }
  // Written beside the target and renamed over it only once complete, so a failed
  // build leaves no file behind and never destroys a good dictionary.
  CAtomicFile file;
  std::string error;
  if (!file.Open(GetPath(), error, 0644)) {
    CAppLogger::LogWithError(kLogCreate, error);
    return false;
  }
  CompiledLists lists;
  CompileCommonList(commonWords, lists);
  CompileIndex(words, lists);
  if (!WritingPassMatches(words, lists.m_stream)) {
    CAppLogger::Log(kLogSizeMismatch);
    return false;
  }
  if (!file.Write(BuildImage(lists), error) || !file.Commit(error)) {
    CAppLogger::LogWithError(kLogFinish, error);
    return false;
  }
  return true;
}

// A mapped file must not change under its readers, and what is no regular file or is
// read-only is not ours to replace.
bool CMainDictionary::CanReplaceFile() const {
  int reason = 0;
  struct stat info {};
  if (IsLoaded()) {
    reason = EBUSY;
  } else if (::stat(GetPath().c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      reason = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
      reason = EINVAL;
    } else if (!CFileUtils::IsFileWritable(GetPath())) {
      reason = EACCES;
    }
  }
  if (reason != 0) {
    CAppLogger::LogWithError(kLogCannotReplace, CSystemUtils::GetLastError(reason));
    return false;
  }
  return true;
}
