#include "speller/facade/SpellerFixture.h"

#include "dictionaries/CustomDictionary.h"
#include "guess/GuessCustom.h"

#include "testkit/LogCapture.h"
#include "testkit/SaveFaults.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace {

constexpr const char* kGuessWriteFailed = "{25B7EE25-BAB1-4604-A5CF-19277C4A7653}";

// A speller writer: `prepare` writes the old file at `path`, loads it and changes it
// in memory; the save it returns writes the change.
struct SSpellerWriter {
  const char* name;
  const char* fileName;
  const char* logId;
  std::function<std::function<bool()>(const std::string& path)> prepare;
};

void PrintTo(const SSpellerWriter& writer, std::ostream* out) {
  *out << writer.name;
}

const SSpellerWriter kWriters[] = {
    {"CustomDictionary", "Mine.dic", "",
     [](const std::string& path) -> std::function<bool()> {
       testkit::WriteBytes(path, spellertest::Utf16("zebra\r\napple\r\n"));
       auto dictionary = std::make_shared<CCustomDictionary>(7, "Mine", path);
       EXPECT_TRUE(dictionary->Load());
       dictionary->AddWord("mango");
       return [dictionary] { return dictionary->Save(); };
     }},
    // Saving logs its failures and returns nothing: no line means it worked.
    {"GuessCustom", CGuessCustom::kFileName, kGuessWriteFailed,
     [](const std::string& path) -> std::function<bool()> {
       CGuessCustom first;
       first.AddGuess("teh", "the");
       const std::string old = testkit::ReadBytes(path);
       auto guess = std::make_shared<CGuessCustom>();
       EXPECT_TRUE(guess->Load());
       guess->AddGuess("recieve", "receive"); // learns and saves at once
       testkit::WriteBytes(path, old);
       return [guess] {
         const LogCapture log;
         guess->Save();
         return !log.Contains(kGuessWriteFailed);
       };
     }},
};

class SpellerSave : public spellertest::SpellerTest,
                    public testing::WithParamInterface<SSpellerWriter> {
protected:
  testkit::SWriterUnderTest Writer() {
    std::filesystem::create_directories(CustomFolder());
    testkit::SWriterUnderTest writer;
    writer.path = CustomFolder() + GetParam().fileName;
    writer.save = GetParam().prepare(writer.path);
    writer.logId = GetParam().logId;
    return writer;
  }
};

PAGELINT_SAVE_UNDER_FAILURE_TESTS(TEST_P, SpellerSave)

INSTANTIATE_TEST_SUITE_P(Writers, SpellerSave, testing::ValuesIn(kWriters),
                         [](const testing::TestParamInfo<SSpellerWriter>& c) {
                           return std::string(c.param.name);
                         });

} // namespace
