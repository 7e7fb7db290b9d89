// The custom guesses file ("common_custom_guess.dat") of any bytes: reading never
// crashes, a damaged file is a logged false result that leaves the file as it was, and
// whatever was read (a damaged file's entries before the damage too) writes back and
// reads again to the same table. An old-version file is rewritten in the current one.
#include "fuzzkit/FuzzHome.h"
#include "fuzzkit/LogWatch.h"

#include "guess/GuessCustom.h"
#include "utilcore/ArchiveException.h"
#include "utilcore/ArchiveReader.h"
#include "utilcore/ArchiveWriter.h"
#include "utilcore/StringUtils.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kFormatErrorId = "{BB412687-5950-455A-851B-29AC5C89870B}";

struct SRead {
  bool damaged = false;
  bool oldVersion = false;
};

SRead ReadInto(CGuessCustom& guess, std::string_view bytes) {
  SRead read;
  CArchiveReader archive(bytes, "fuzzed");
  try {
    read.oldVersion = guess.Serialize(archive);
  } catch (const CArchiveException&) {
    read.damaged = true;
  }
  return read;
}

std::string Written(const CGuessCustom& guess) {
  CArchiveWriter archive("fuzzed");
  guess.Serialize(archive);
  return archive.TakeBytes();
}

void CheckRoundTrip(const CGuessCustom& guess) {
  const std::string bytes = Written(guess);
  CGuessCustom again;
  const SRead read = ReadInto(again, bytes);
  FUZZ_REQUIRE(!read.damaged && !read.oldVersion);
  FUZZ_REQUIRE(again.GetTable() == guess.GetTable());
  FUZZ_REQUIRE(Written(again) == bytes);
}

/// A key stored in lower case is offered its replacements in the case of the word.
void CheckGuesses(CGuessCustom& guess) {
  for (const auto& [key, replacements] : guess.GetTable()) {
    std::string lower = key;
    CStringUtils::MakeLower(lower);
    if (lower != key) {
      continue;
    }
    std::vector<std::string> suggestions;
    guess.MakeGuesses(key, {}, suggestions, false, nullptr);
    FUZZ_REQUIRE(suggestions == replacements);
    return;
  }
}

void CheckLoad(std::string_view bytes, const CGuessCustom& inMemory, const SRead& read) {
  const std::string path = CGuessCustom::GetFilePath();
  FUZZ_REQUIRE(!path.empty());
  CFuzzHome::WriteBytes(path, bytes);
  CGuessCustom guess;
  const CLogWatch log;
  const bool loaded = guess.Load();
  // An empty file is an empty table, not a damaged one.
  const bool damaged = read.damaged && !bytes.empty();
  FUZZ_REQUIRE(loaded == !damaged);
  FUZZ_REQUIRE(guess.GetTable() == inMemory.GetTable());
  if (damaged) {
    FUZZ_REQUIRE(log.Logged(kFormatErrorId));
    FUZZ_REQUIRE(CFuzzHome::ReadBytes(path) == bytes);
    return;
  }
  const std::string onDisk = CFuzzHome::ReadBytes(path);
  FUZZ_REQUIRE(onDisk == (read.oldVersion ? Written(inMemory) : std::string(bytes)));
  CheckGuesses(guess);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CFuzzHome::Get();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CGuessCustom guess;
  const SRead read = ReadInto(guess, bytes);
  CheckRoundTrip(guess);
  CheckLoad(bytes, guess, read);
  return 0;
}
