// From the check to the replacement: the positions the check worker records are the
// ones the replacement rewrites.
#include "../checking/CheckWorkerFixture.h"
#include "ReplacerFixture.h"

#include <string>
#include <vector>

namespace replacetest {
namespace {

struct CheckedCase {
  const char* name;
  std::string bytes;
  std::string word; ///< as the check lists it
  std::string replacement;
  std::string expected;
  int replaced;
  CPageScanner::EAttributeText attributes = CPageScanner::EAttributeText::kSkipped;
  int duplicate = 0; ///< 1: the repeated word of that text
};

constexpr auto kSkipped = CPageScanner::EAttributeText::kSkipped;

const CheckedCase kCheckedCases[] = {
    // Markup, comments, attributes and addresses hold the word too, but are not text.
    {"MarkupAndAddressesStay",
     "<html><body>\r\n<p>A qzxv and caf&eacute; qzxv.</p>\r\n<!-- qzxv in a comment -->\r\n"
     "<p title=\"qzxv\">Mail qzxv@example.org or www.qzxv.org</p>\r\n</body></html>",
     "qzxv", "fox",
     "<html><body>\r\n<p>A fox and caf&eacute; fox.</p>\r\n<!-- qzxv in a comment -->\r\n"
     "<p title=\"qzxv\">Mail qzxv@example.org or www.qzxv.org</p>\r\n</body></html>",
     2},
    {"ReferenceInsideTheWord", "<p>na&iuml;vqz and na&iuml;vqz again</p>\n", "na\xC3\xAFvqz",
     "naive", "<p>naive and naive again</p>\n", 2},
    {"Windows1252Page", "<p>caf\xE9 qzxv \xE0 qzxv</p>\n", "qzxv", "fox",
     "<p>caf\xE9 fox \xE0 fox</p>\n", 2},
    {"Utf16Page", Utf16Le("<p>qzxv and qzxv</p>\r\n"), "qzxv", "the end",
     Utf16Le("<p>the end and the end</p>\r\n"), 2},
    {"MultiByteTextBeforeTheWord",
     "<p>\xE2\x80\x9C\xC3\xA9t\xC3\xA9\xE2\x80\x9D qzxv \xE2\x80\x94 qzxv</p>", "qzxv", "",
     "<p>\xE2\x80\x9C\xC3\xA9t\xC3\xA9\xE2\x80\x9D  \xE2\x80\x94 </p>", 2},
    // Checked as text, a description and a tooltip change byte for byte, quotes,
    // references and the tag around them untouched; the other attributes stay.
    {"ImageDescriptionsAndTooltips",
     "<p><img src=\"qzxv.png\"\n alt=\"A qzxv &amp; caf&eacute;\">qzxv</p>\n"
     "<a href=qzxv.htm TITLE='the qzxv'>x</a>\n",
     "qzxv", "fox",
     "<p><img src=\"qzxv.png\"\n alt=\"A fox &amp; caf&eacute;\">fox</p>\n"
     "<a href=qzxv.htm TITLE='the fox'>x</a>\n",
     3, CPageScanner::EAttributeText::kChecked},
    // A repeated word replaced with nothing goes with the blank before it; markup in
    // that blank stays whole; at the start of a line the blank after it goes instead.
    {"RepeatErasedWithTheBlankBefore", "<p>We walked to the  the harbour.</p>\n", "the", "",
     "<p>We walked to the harbour.</p>\n", 1, kSkipped, 1},
    {"RepeatAfterANoBreakSpace", "<p>the&nbsp;\tthe end</p>", "the", "", "<p>the end</p>", 1,
     kSkipped, 1},
    {"RepeatAcrossATagHoldingBlanks", "<p>the <span class=\"a b\">the</span> end</p>", "the", "",
     "<p>the<span class=\"a b\"></span> end</p>", 1, kSkipped, 1},
    {"RepeatJoinedByMarkup", "<p>In in<b>d</b>eed in <b>i</b>n x</p>", "in", "",
     "<p>In in<b>d</b>eed in<b></b> x</p>", 1, kSkipped, 1},
    {"RepeatStartingALine", "<p>walked to the\r\n   the harbour</p>\r\n", "the", "",
     "<p>walked to the\r\n   harbour</p>\r\n", 1, kSkipped, 1},
    {"RepeatReplacedByAWord", "<p>to the the end</p>", "the", "a", "<p>to the a end</p>", 1,
     kSkipped, 1},
};

class ReplaceAfterCheck : public checktest::CheckWorkerTest,
                          public testing::WithParamInterface<CheckedCase> {
protected:
  ScopedFakeHome m_home; // the backups go below its runtime folder
};

TEST_P(ReplaceAfterCheck, RewritesWhatTheCheckFound) {
  const CheckedCase& c = GetParam();
  CHTMLFile* file = CheckPageAfresh(c.bytes, c.attributes);
  ASSERT_NE(file, nullptr);
  CBadWord* word = m_words.FindWord(c.word, c.duplicate);
  ASSERT_NE(word, nullptr) << "the check lists it";
  word->SetReplacement(c.replacement);
  std::vector<std::string> backups;
  const std::string backupFolder = CBackupFolders::GetBackupFolder("Site", "/nonexistent/");

  const SReplaceResult result = CReplacer::ReplaceInFiles(m_words, *word, backupFolder,
                                                          Root().size(), {}, backups, c.attributes);

  EXPECT_EQ(testkit::ReadBytes(Root() + "page.htm"), c.expected);
  EXPECT_EQ(result.locationsReplaced, c.replaced);
  EXPECT_EQ(result.locationsSkipped, 0);
  EXPECT_EQ(result.filesChanged, 1);
  ASSERT_EQ(backups, std::vector<std::string>{backupFolder + "page.htmb1"});
  EXPECT_EQ(testkit::ReadBytes(backups[0]), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceAfterCheck, testing::ValuesIn(kCheckedCases), CaseName());

} // namespace
} // namespace replacetest
