#include "ReplacerFixture.h"

#include "testkit/SaveFaults.h"

#include <filesystem>
#include <string>

namespace replacetest {
namespace {

namespace fs = std::filesystem;

// Which write of a replacement the faults hit: the backup made first, or the page.
struct SAim {
  const char* name;
  unsigned spare;
  const char* logId;
};

class ReplaceUnderFailure : public ReplacerTest, public testing::WithParamInterface<SAim> {
protected:
  testkit::SWriterUnderTest Writer() {
    CBadWord* word = Word("teh", "the");
    // As long after as before: every write fault then strikes before the end of either.
    Write("page.htm", "<p>teh cat, teh hat</p>\r\n<p>and teh mat\r\n");
    Locate(word, "page.htm", {{0, 3, 6}, {0, 12, 15}, {1, 7, 10}});

    testkit::SWriterUnderTest writer;
    writer.path = Root() + "page.htm";
    writer.save = [this, word] {
      m_last = Replace(word);
      return m_last.filesChanged == 1;
    };
    writer.logId = GetParam().logId;
    writer.spare = GetParam().spare;
    return writer;
  }

  std::size_t BackupFiles() const {
    return fs::exists(BackupFolder()) ? testkit::NamesIn(BackupFolder()).size() : 0;
  }

  SReplaceResult m_last;
};

TEST_P(ReplaceUnderFailure, EveryFailureKeepsThePageAndDropsItsBackup) {
  testkit::SWriterUnderTest writer = Writer();
  writer.expectNothingLost = [this] {
    EXPECT_EQ(m_last.filesLeftUnchanged, 1);
    EXPECT_EQ(m_last.locationsReplaced, 0);
    // Only the backup of the one save that worked, and no temporary file beside it.
    EXPECT_EQ(m_backups.size(), 1U);
    EXPECT_EQ(BackupFiles(), 1U);
  };
  testkit::ExpectEveryFailureKeepsTheFile(writer);
}

TEST_P(ReplaceUnderFailure, AKilledReplacementKeepsThePage) {
  testkit::SWriterUnderTest writer = Writer();
  testkit::ExpectAKilledSaveKeepsTheFile(writer);
  for (const std::string& backup : m_backups) {
    EXPECT_EQ(testkit::ReadBytes(backup), "<p>teh cat, teh hat</p>\r\n<p>and teh mat\r\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Writes, ReplaceUnderFailure,
                         testing::Values(SAim{"Backup", 0, kBackupFailedId}, SAim{"Page", 1, ""}),
                         CaseName());

} // namespace
} // namespace replacetest
