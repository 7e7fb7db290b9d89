#include "GuiTestKit.h"

#include "projects/ResearchServices.h"
#include "services/LaunchActions.h"

#include "diskfiles/FileExtMgr.h"

#include "testkit/LogCapture.h"

#include <QUrl>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using SLaunch = CLaunchActions::SLaunch;
using EUse = CLaunchActions::EUse;
constexpr int kYes = CMessageBoxService::kAnswerYes;
constexpr int kNo = CMessageBoxService::kAnswerNo;

TEST(ResearchServices, AWordIsEncodedSoThatItStaysInItsPlaceOfTheAddress) {
  const struct {
    int command;
    const char* word;
    const char* address;
  } cases[] = {
      {45053, "ice cream", "https://en.wikipedia.org/wiki/ice%20cream"},
      {45049, "R&D", "https://www.google.com/#q=R%26D"},
      {45048, "a/b", "https://www.dictionary.com/browse/a%2Fb"},
      {45054, "why?word=x#top", "https://howjsay.com/index.php?word=why%3Fword%3Dx%23top"},
      {45051, "caf\xC3\xA9", "https://en.wiktionary.org/wiki/caf%C3%A9"},
      {45052, "@evil.example", "https://www.thefreedictionary.com/%40evil.example"},
      {45047, "it's", "https://www.answers.com/topic/it%27s"},
      {45046, "word", ""},
      {45053, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CResearchServices::AddressFor(c.command, c.word), c.address) << c.word;
  }
  // Whatever the word, the address keeps the service's host and leads below its path.
  for (const CResearchServices::SService& service : CResearchServices::All()) {
    const QUrl prefix(QString::fromUtf8(service.addressPrefix));
    for (const char* word : {"../../x", "//evil.example/", "a b?c#d", "%2F", "\\\\host"}) {
      const QUrl address(
          QString::fromStdString(CResearchServices::AddressFor(service.commandId, word)));
      EXPECT_EQ(address.host(), prefix.host()) << service.site << " " << word;
      EXPECT_EQ(address.path().left(prefix.path().size()), prefix.path())
          << service.site << " " << word;
    }
  }
}

class LaunchActionsTest : public testing::Test {
protected:
  LaunchActionsTest() { guitest::Application(); }

  CLaunchActions m_actions{nullptr};
  std::vector<std::string> m_settingsOpened;
};

TEST_F(LaunchActionsTest, ARegisteredProgramOpensThePageWhateverTheCaseOfItsExtension) {
  const guitest::RecordedLaunches launches;
  FileExtMgr::GetInstance()->SetEditorApp("htm", "/opt/editor/bin/edit", true, false);
  FileExtMgr::GetInstance()->SetOpenerApp("htm", "viewer", true, false);
  m_actions.OpenFile(EUse::Edit, "/site/PAGE.HTM");
  m_actions.OpenFile(EUse::View, "/site/page.Htm");
  EXPECT_EQ(launches.All(),
            (std::vector<SLaunch>{{"/opt/editor/bin/edit", "/opt/editor/bin/", {"/site/PAGE.HTM"}},
                                  {"viewer", "", {"/site/page.Htm"}}}));
}

TEST_F(LaunchActionsTest, WithoutAProgramTheUserIsAskedToChooseOneInTheSettingsWindow) {
  constexpr const char* kEditQuestion =
      "There currently is no application associated with editing files of type \"html\". Would "
      "you like to select an application?\n\nIf you press the \"Yes\" button, you will be "
      "presented with the \"Pagelint Settings\" window. Select the first tab,\"Launch\", select "
      "the file extension \"html\" in the list, and select an application in the \"To modify "
      "files of this type use:\" field.";
  const struct {
    int answer;
    bool settingsOk;
    const char* registered; // by the user in the settings window
    bool launched;
  } cases[] = {{kNo, true, "ed", false},
               {kYes, false, "ed", false},
               {kYes, true, "", false},
               {kYes, true, "ed", true}};
  for (const auto& c : cases) {
    const guitest::RecordedLaunches launches;
    const guitest::ScriptedAnswers answers({c.answer});
    m_settingsOpened.clear();
    m_actions.SetSettingsWindow([&](const std::string& extension) {
      m_settingsOpened.push_back(extension);
      FileExtMgr::GetInstance()->SetEditorApp(extension, c.registered, true, false);
      return c.settingsOk;
    });
    m_actions.OpenFile(EUse::Edit, "/site/a.HTML");
    ASSERT_EQ(answers.Questions().size(), 1U);
    EXPECT_EQ(answers.Questions()[0].title, "Pagelint");
    EXPECT_EQ(answers.Questions()[0].text.toStdString(), kEditQuestion);
    EXPECT_EQ(m_settingsOpened.size(), c.answer == kYes ? 1U : 0U);
    EXPECT_EQ(launches.All().size(), c.launched ? 1U : 0U) << c.answer << c.registered;
  }
}

TEST_F(LaunchActionsTest, APageWithoutViewerGoesToTheDesktopAndOnlyThenIsAQuestion) {
  {
    const guitest::RecordedLaunches launches;
    const guitest::ScriptedAnswers answers;
    m_actions.OpenFile(EUse::View, "/site/a.htm");
    EXPECT_EQ(launches.All(), (std::vector<SLaunch>{{{}, {}, {"/site/a.htm"}}}));
    EXPECT_TRUE(answers.Questions().empty());
  }
  const guitest::RecordedLaunches noOpener("xdg-open: not found");
  const guitest::ScriptedAnswers answers({kNo});
  m_actions.OpenFile(EUse::View, "/site/a.htm");
  ASSERT_EQ(answers.Questions().size(), 1U);
  EXPECT_TRUE(answers.Questions()[0].text.startsWith(
      "There currently is no application associated with opening files of type \"htm\"."));
}

TEST_F(LaunchActionsTest, AStartThatFailsIsLoggedAndItsReasonShown) {
  const guitest::RecordedLaunches failing("No such file or directory");
  FileExtMgr::GetInstance()->SetEditorApp("htm", "/gone/editor", true, false);
  FileExtMgr::GetInstance()->SetOpenerApp("htm", "/gone/viewer", true, false);
  const struct {
    const char* id;
    std::function<void()> act;
  } cases[] = {
      {"{C118734E-3F31-49E5-91E0-4268EC366DD0}", [this] { m_actions.LookUp(45053, "word"); }},
      {"{E56938A0-E3F1-44F8-A5E0-1F7C20B7D4EC}",
       [this] { m_actions.OpenFile(EUse::View, "/site/a.htm"); }},
      {"{1F679C4B-30A9-4553-A4F7-3A0ADF42F5C6}",
       [this] { m_actions.OpenFile(EUse::Edit, "/site/a.htm"); }},
  };
  for (const auto& c : cases) {
    const LogCapture log;
    const guitest::ScriptedAnswers answers;
    c.act();
    EXPECT_TRUE(log.Contains(c.id)) << c.id;
    ASSERT_EQ(answers.Questions().size(), 1U) << c.id;
    EXPECT_EQ(answers.Questions()[0].text, "No such file or directory");
    EXPECT_EQ(answers.Questions()[0].title, "Pagelint");
  }
}

} // namespace
