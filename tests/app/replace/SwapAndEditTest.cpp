// Replace and Undo against pages that change under them: a page or its folder swapped
// for a link that leads outside the site, and a page edited before or after Replace.
#include "ReplacerFixture.h"

#include "replace/UndoReplace.h"

#include "testkit/LogCapture.h"
#include "utilcore/ContentFingerprint.h"

#include <functional>

namespace {

namespace fs = std::filesystem;
using replacetest::CaseName;
using replacetest::ReplacerTest;

constexpr const char* kPage = "<p>teh cat</p>\n";
constexpr const char* kReplaced = "<p>the cat</p>\n";
constexpr const char* kOutside = "<p>teh secret</p>\n";
constexpr const char* kChangedPageId = "{52C33F55-3CA3-44EE-B5CB-C1A11669D96B}";
constexpr const char* kRestoreFailedId = "{F49E758D-CB5C-411E-AAB8-CBC3CAEBF503}";

class SwapTest : public ReplacerTest {
protected:
  std::string Outside() const { return m_outside.Path() + "/"; }

  /// "teh" found at line 0 of `relative`, replaced with "the".
  CBadWord* Teh(const std::string& relative) {
    CBadWord* word = Word("teh", "the");
    Locate(word, relative, {{0, 3, 6}});
    return word;
  }

  /// Replaces "teh" as the program does, keeping what Undo needs.
  SReplaceResult ReplaceKeepingUndo(const CBadWord* word) {
    m_written.clear();
    return CReplacer::ReplaceInFiles(m_list, *word, BackupFolder(), Root().size(), {}, m_backups,
                                     CPageScanner::EAttributeText::kSkipped, &m_written);
  }

  CUndoReplace::SRestoreResult Undo(bool restoreChanged) {
    const CUndoReplace entry("teh", "the", m_backups, m_written);
    return entry.Restore(Root(), "My Site", [this, restoreChanged](const std::string& page) {
      m_asked.push_back(page);
      return restoreChanged;
    });
  }

  ScopedTempDir m_outside;
  std::vector<CContentFingerprint> m_written;
  std::vector<std::string> m_asked;
};

/// A way to put a link where the site had a page or a folder.
struct SwapCase {
  std::string name;
  std::string page; ///< the page, relative to the root
  std::function<void(const std::string& root, const std::string& outside)> swap;
};

// The page "a.htm" becomes a link to a file outside the site.
void SwapPage(const std::string& root, const std::string& outside) {
  testkit::WriteBytes(outside + "a.htm", kOutside);
  fs::remove(root + "a.htm");
  fs::create_symlink(outside + "a.htm", root + "a.htm");
}

// The folder "sub" becomes a link to a folder outside the site that holds "a.htm".
void SwapFolder(const std::string& root, const std::string& outside) {
  fs::create_directories(outside + "sub");
  testkit::WriteBytes(outside + "sub/a.htm", kOutside);
  fs::remove_all(root + "sub");
  fs::create_directory_symlink(outside + "sub", root + "sub");
}

// The page becomes a relative link that climbs out of the site.
void SwapPageRelative(const std::string& root, const std::string& outside) {
  testkit::WriteBytes(outside + "a.htm", kOutside);
  fs::remove(root + "a.htm");
  fs::create_symlink(fs::relative(outside + "a.htm", root), root + "a.htm");
}

const SwapCase kSwaps[] = {
    {"PageLinkedOutside", "a.htm", SwapPage},
    {"FolderLinkedOutside", "sub/a.htm", SwapFolder},
    {"PageLinkedOutsideRelatively", "a.htm", SwapPageRelative},
};

class Swap : public SwapTest, public testing::WithParamInterface<SwapCase> {
protected:
  std::string OutsideFile() const {
    return Outside() + (GetParam().page == "a.htm" ? "a.htm" : "sub/a.htm");
  }
};

TEST_P(Swap, BeforeReplaceTheOutsideFileIsNeitherWrittenNorBackedUp) {
  Write(GetParam().page, kPage);
  CBadWord* word = Teh(GetParam().page);
  GetParam().swap(Root(), Outside());
  LogCapture log;
  const SReplaceResult result = ReplaceKeepingUndo(word);

  EXPECT_EQ(testkit::ReadBytes(OutsideFile()), kOutside);
  EXPECT_TRUE(m_backups.empty());
  EXPECT_FALSE(fs::exists(BackupFolder())) << "not even a copy of the outside file";
  EXPECT_EQ(result.filesChanged, 0);
  EXPECT_EQ(result.filesLeftUnchanged, 1);
  ASSERT_EQ(result.unchangedFiles.size(), 1U);
  EXPECT_EQ(result.unchangedFiles[0].path, Root() + GetParam().page);
  EXPECT_NE(result.unchangedFiles[0].reason.find("leads outside the site's folder"),
            std::string::npos)
      << result.unchangedFiles[0].reason;
  EXPECT_FALSE(log.Lines().empty()) << "the refusal is logged";
}

TEST_P(Swap, BeforeUndoTheOutsideFileIsNotOverwritten) {
  Write(GetParam().page, kPage);
  ASSERT_EQ(ReplaceKeepingUndo(Teh(GetParam().page)).filesChanged, 1);
  ASSERT_EQ(m_backups.size(), 1U);
  GetParam().swap(Root(), Outside());
  LogCapture log;
  const CUndoReplace::SRestoreResult result = Undo(true);

  EXPECT_EQ(testkit::ReadBytes(OutsideFile()), kOutside);
  EXPECT_EQ(result.restored, 0);
  ASSERT_EQ(result.failed.size(), 1U);
  EXPECT_EQ(result.failed[0].path, Root() + GetParam().page);
  EXPECT_NE(result.failed[0].reason.find("leads outside the site's folder"), std::string::npos);
  EXPECT_TRUE(m_asked.empty());
  EXPECT_TRUE(fs::exists(m_backups[0])) << "the refused backup stays";
  EXPECT_TRUE(log.Contains(kRestoreFailedId));
}

INSTANTIATE_TEST_SUITE_P(Links, Swap, testing::ValuesIn(kSwaps), CaseName());

TEST_F(SwapTest, APageLinkedInsideTheSiteIsReplacedInItsTarget) {
  Write("real/a.htm", kPage);
  fs::create_symlink("real/a.htm", Root() + "a.htm");
  const SReplaceResult result = ReplaceKeepingUndo(Teh("a.htm"));
  EXPECT_EQ(result.filesChanged, 1);
  EXPECT_TRUE(fs::is_symlink(Root() + "a.htm")) << "the link stays a link";
  EXPECT_EQ(testkit::ReadBytes(Root() + "real/a.htm"), kReplaced);

  EXPECT_EQ(Undo(false).restored, 1);
  EXPECT_TRUE(m_asked.empty());
  EXPECT_TRUE(fs::is_symlink(Root() + "a.htm"));
  EXPECT_EQ(testkit::ReadBytes(Root() + "real/a.htm"), kPage);
}

/// What happens to the page between the check, Replace and Undo.
struct EditCase {
  std::string name;
  std::string beforeReplace; ///< empty: as checked
  std::string afterReplace;  ///< empty: as Replace wrote it; "-": deleted
  bool restoreChanged;       ///< the user's answer when asked
  std::string expected;      ///< the page after Undo; "-": missing
  bool asked;
};

const EditCase kEdits[] = {
    {"UntouchedIsRestoredUnasked", "", "", false, kPage, false},
    {"EditedAfterReplaceIsKeptByDefault", "", "<p>the cat</p>\n<p>new</p>\n", false,
     "<p>the cat</p>\n<p>new</p>\n", true},
    {"EditedAfterReplaceIsRestoredWhenTheUserSaysSo", "", "<p>the cat</p>\n<p>new</p>\n", true,
     kPage, true},
    {"SameSizeEditIsSeen", "", "<p>thE cat</p>\n", false, "<p>thE cat</p>\n", true},
    {"DeletedAfterReplaceStaysDeletedByDefault", "", "-", false, "-", true},
    {"DeletedAfterReplaceComesBackWhenTheUserSaysSo", "", "-", true, kPage, true},
};

class Edit : public SwapTest, public testing::WithParamInterface<EditCase> {};

TEST_P(Edit, UndoRestoresOnlyWhatReplaceWroteUnlessTheUserSaysSo) {
  const EditCase& c = GetParam();
  const std::string page = Write("a.htm", kPage);
  ASSERT_EQ(ReplaceKeepingUndo(Teh("a.htm")).filesChanged, 1);
  if (c.afterReplace == "-") {
    fs::remove(page);
  } else if (!c.afterReplace.empty()) {
    testkit::WriteBytes(page, c.afterReplace);
  }
  LogCapture log;
  const CUndoReplace::SRestoreResult result = Undo(c.restoreChanged);

  EXPECT_EQ(c.expected == "-" ? "-" : testkit::ReadBytes(page), c.expected);
  EXPECT_EQ(m_asked, c.asked ? std::vector<std::string>{page} : std::vector<std::string>{});
  const bool kept = c.asked && !c.restoreChanged;
  EXPECT_EQ(result.restored, kept ? 0 : 1);
  EXPECT_EQ(result.keptChanged, kept ? std::vector<std::string>{page} : std::vector<std::string>{});
  EXPECT_EQ(fs::exists(m_backups[0]), kept) << "a kept page keeps its backup";
  // Each answer is logged, with the page.
  EXPECT_EQ(log.Contains(std::string(kChangedPageId) + " - " + page + " - "), c.asked);
}

INSTANTIATE_TEST_SUITE_P(Pages, Edit, testing::ValuesIn(kEdits), CaseName());

TEST_F(SwapTest, APageChangedBeforeReplaceIsNamedAndLeftAlone) {
  const std::string page = Write("a.htm", "<p>a teh cat</p>\n");
  const SReplaceResult result = ReplaceKeepingUndo(Teh("a.htm"));
  EXPECT_EQ(testkit::ReadBytes(page), "<p>a teh cat</p>\n");
  EXPECT_TRUE(m_backups.empty());
  EXPECT_EQ(result.filesWithoutMatch, 1);
  ASSERT_EQ(result.unchangedFiles.size(), 1U);
  EXPECT_EQ(result.unchangedFiles[0].path, page);
  EXPECT_EQ(result.unchangedFiles[0].why, SUnchangedFile::EWhy::kWordMoved);
}

} // namespace
