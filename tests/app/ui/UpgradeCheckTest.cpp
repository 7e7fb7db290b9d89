#include "GuiTestKit.h"

#include "DownloadPane.h"
#include "MessageBoxService.h"
#include "QtMessagePump.h"
#include "UpgradeCheck.h"

#include "appcfg/AppSettings.h"
#include "mtcore/FunctionTarget.h"
#include "testkit/FileBytes.h"
#include "testkit/LogCapture.h"
#include "testkit/ScopedTempDir.h"
#include "utilcore/DateTime.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"

#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {
using testkit::ReadBytes;
using testkit::WriteBytes;

constexpr const char* kLogBadProgram = "{8A2AE638-4456-4476-BB48-B49DC7666971}";
constexpr const char* kLogBadDictionary = "{6C2DD379-97E6-4D01-989B-23B261DD0C9F}";
constexpr const char* kProgramFile = "/pagelint/version.dat";
constexpr const char* kDictionaryFile = "/dictionary/versiondict.dat";
constexpr const char* kDictionary = "/dictionary/ZEB.fdc";
constexpr const char* kPackage = "/pagelint/pagelint.deb";

/// A tiny HTTP server on 127.0.0.1 that serves canned files and records what was asked.
/// A path it has no file for gets 404; with `silent` it never answers at all.
class CCannedServer {
public:
  CCannedServer() {
    m_server.listen(QHostAddress(QHostAddress::LocalHost), 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] { Accept(); });
  }
  std::string Address() const {
    return "http://127.0.0.1:" + std::to_string(m_server.serverPort());
  }

  std::map<std::string, std::string> files;
  std::vector<std::string> requests;
  bool silent = false;

private:
  void Accept() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Answer(*socket); });
    }
  }
  void Answer(QTcpSocket& socket) {
    const QByteArray head = socket.readAll();
    const QList<QByteArray> words = head.split(' ');
    if (words.size() < 2) {
      return;
    }
    const std::string path = words[1].toStdString();
    requests.push_back(path);
    if (silent) {
      return;
    }
    const auto file = files.find(path);
    const std::string body = file != files.end() ? file->second : std::string();
    const std::string status = file != files.end() ? "200 OK" : "404 Not Found";
    socket.write(QByteArray::fromStdString("HTTP/1.1 " + status +
                                           "\r\nContent-Length: " + std::to_string(body.size()) +
                                           "\r\nConnection: close\r\n\r\n" + body));
    socket.disconnectFromHost();
  }

  QTcpServer m_server;
};

class UpgradeCheckTest : public testing::Test {
protected:
  UpgradeCheckTest() {
    guitest::Application();
    CUpgradeCheck::SetStartDelay(0);
    std::filesystem::create_directories(m_app.Path());
    WriteBytes(AppFolder() + "ZEB.fdc", OldDictionary());
    bool first = true;
    bool upgraded = false;
    m_settings.Read(AppFolder(), "Pagelint", first, upgraded);
    m_settings.SetServerAddress(m_server.Address());
    // What an earlier test kept must not count here.
    std::string error;
    CFileUtils::DeleteFileA(m_settings.GetApplicationSettingsPath() + "ZEB.fdc", error, true);
  }
  ~UpgradeCheckTest() override { CUpgradeCheck::SetStartDelay(CUpgradeCheck::kDefaultDelayMs); }

  std::string AppFolder() const { return m_app.Path() + "/"; }
  static std::string OldDictionary() { return ReadBytes(CDirUtils::GetAppPath() + "ZEB.fdc"); }

  /// Runs the check until it has nothing more to do.
  void RunCheck() {
    m_check.Start();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_check.IsBusy(); }, 10000));
    // The last reply's message is handled too.
    QTest::qWait(0);
    QCoreApplication::processEvents();
  }
  void AnnounceDictionary(const std::string& date, std::size_t size) {
    m_server.files[kDictionaryFile] = date + "\n" + std::to_string(size) + "\n";
  }

  CQtMessagePump m_pump;
  CCannedServer m_server;
  ScopedTempDir m_app;
  CAppSettings m_settings;
  QStatusBar m_bar;
  CDownloadPane m_pane{&m_bar};
  CFunctionTarget m_window{[this](UINT message, WPARAM wParam, LPARAM lParam) {
    m_check.OnMessage(message, wParam, lParam);
  }};
  CUpgradeCheck m_check{m_settings, m_window.GetSafeHwnd(), m_pane};
};

TEST_F(UpgradeCheckTest, WithAutomaticUpgradingOffTheTimerFiresOnceAndNothingIsAsked) {
  m_settings.SetAutomaticUpgrading(false);
  RunCheck();
  EXPECT_TRUE(m_server.requests.empty());
  EXPECT_FALSE(m_check.IsBusy()) << "the timer is gone after its one firing";
}

struct SBadReply {
  const char* program;
  const char* dictionary;
  std::vector<std::string> log;
};

TEST_F(UpgradeCheckTest, ABadVersionFileIsLoggedAndTheDictionaryIsStillAskedFor) {
  const SBadReply cases[] = {
      {"99.0", "2001-01-01\n1\n", {std::string(kLogBadProgram) + "expected 2 lines, got 1"}},
      {"99.0\n1000\nmore",
       "x",
       {std::string(kLogBadProgram) + "expected 2 lines, got 3",
        std::string(kLogBadDictionary) + "expected 2 lines, got 1"}},
      {"0.1\n1000\n", "a\nb\nc\n", {std::string(kLogBadDictionary) + "expected 2 lines, got 3"}},
      {"new\n1000",
       "2001-01-01\nbig",
       {std::string(kLogBadProgram) + "no version: new",
        std::string(kLogBadDictionary) + "bad size: big"}},
  };
  for (const SBadReply& c : cases) {
    m_server.files = {{kProgramFile, c.program}, {kDictionaryFile, c.dictionary}};
    m_server.requests.clear();
    LogCapture log;
    RunCheck();
    ASSERT_GE(m_server.requests.size(), 2U);
    EXPECT_EQ(m_server.requests[0], kProgramFile);
    EXPECT_EQ(m_server.requests[1], kDictionaryFile) << c.program;
    EXPECT_EQ(log.Lines(), c.log) << c.program;
  }
}

TEST_F(UpgradeCheckTest, AMissingVersionFileLogsTheRequestsError) {
  LogCapture log;
  RunCheck();
  ASSERT_EQ(log.Lines().size(), 2U);
  EXPECT_EQ(log.Lines()[0].rfind(kLogBadProgram, 0), 0U);
  EXPECT_NE(log.Lines()[0].find("Not Found"), std::string::npos) << log.Lines()[0];
  EXPECT_EQ(log.Lines()[1].rfind(kLogBadDictionary, 0), 0U);
}

struct SDictionaryCase {
  const char* name;
  const char* serverDate;
  int sizeChange; ///< the announced size against the installed one
  bool downloads;
};

TEST_F(UpgradeCheckTest, ADictionaryIsDownloadedWhenNewerOrOfAnotherSize) {
  std::time_t installedTime = 0;
  CFileUtils::GetFileInfo(AppFolder() + "ZEB.fdc", nullptr, &installedTime);
  const auto format = [](std::time_t t) {
    DateTime date;
    date.SetTime(t);
    return date.GetString();
  };
  const std::string earlier = format(installedTime - 86400);
  const std::string later = format(installedTime + 86400);
  const SDictionaryCase cases[] = {
      {"same size, newer date", later.c_str(), 0, true},
      {"same size, older date", earlier.c_str(), 0, false},
      {"other size, older date", earlier.c_str(), -1, true},
  };
  for (const SDictionaryCase& c : cases) {
    const std::string served = OldDictionary().substr(0, OldDictionary().size() + c.sizeChange);
    m_server.files = {{kDictionary, served}};
    AnnounceDictionary(c.serverDate, served.size());
    m_server.requests.clear();
    RunCheck();
    const bool asked = std::find(m_server.requests.begin(), m_server.requests.end(), kDictionary) !=
                       m_server.requests.end();
    EXPECT_EQ(asked, c.downloads) << c.name;
    EXPECT_EQ(CFileUtils::DoesFileExist(m_settings.GetApplicationDictionaryUpdatesFile()),
              c.downloads)
        << c.name;
    EXPECT_EQ(m_pane.IsShown(), c.downloads) << c.name;
    std::string error;
    CFileUtils::DeleteFileA(m_settings.GetApplicationDictionaryUpdatesFile(), error, true);
    m_pane.Remove();
  }
}

struct SDownloadCase {
  const char* name;
  std::string served;
  std::size_t announced;
  bool applied;
};

TEST_F(UpgradeCheckTest, OnlyASoundDictionaryOfTheAnnouncedSizeIsAppliedAtExit) {
  const std::string old = ReadBytes(AppFolder() + "ZEB.fdc");
  // A sound dictionary that differs from the installed one: one common word less.
  const std::string sound = old;
  const SDownloadCase cases[] = {
      {"sound", sound, sound.size(), true},
      {"truncated by the server", sound.substr(0, 1000), sound.size(), false},
      {"garbage of the announced size", std::string(5000, 'g'), 5000, false},
      {"longer than announced", sound + "tail", sound.size(), false},
  };
  for (const SDownloadCase& c : cases) {
    WriteBytes(AppFolder() + "ZEB.fdc", "old bytes");
    m_server.files = {{kDictionary, c.served}};
    AnnounceDictionary("2001-01-01", c.announced);
    RunCheck();
    m_check.ApplyDictionary();
    EXPECT_EQ(ReadBytes(AppFolder() + "ZEB.fdc"), c.applied ? c.served : "old bytes") << c.name;
    EXPECT_FALSE(CFileUtils::DoesFileExist(m_settings.GetApplicationDictionaryUpdatesFile()))
        << c.name;
    EXPECT_FALSE(
        CFileUtils::DoesFileExist(m_settings.GetApplicationDictionaryUpdatesFile() + ".part"))
        << c.name;
  }
}

TEST_F(UpgradeCheckTest, ASilentServerIsLeftAtOnceWhenTheProgramCloses) {
  m_server.silent = true;
  m_check.Start();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !m_server.requests.empty(); }, 10000));
  EXPECT_TRUE(m_check.IsBusy());
  m_check.Stop();
  EXPECT_FALSE(m_check.IsBusy());
  QCoreApplication::processEvents();
  EXPECT_EQ(m_server.requests.size(), 1U) << "nothing goes on after the stop";
}

TEST_F(UpgradeCheckTest, ANewerProgramIsDownloadedAndOpenedOnlyOnTheUsersYes) {
  const std::string package(3000, 'p');
  m_server.files = {{kProgramFile, "99.0\n3000\n"}, {kPackage, package}};
  RunCheck();
  ASSERT_TRUE(m_check.IsPackageReady());
  EXPECT_EQ(ReadBytes(m_settings.GetApplicationUpdatesExe()), package);
  EXPECT_TRUE(m_pane.IsShown());

  for (const int answer : {CMessageBoxService::kAnswerNo, CMessageBoxService::kAnswerYes}) {
    guitest::RecordedLaunches launches;
    guitest::ScriptedAnswers answers({answer});
    m_check.OfferPackage(nullptr);
    ASSERT_EQ(answers.Questions().size(), 1U);
    EXPECT_EQ(answers.Questions()[0].title.toStdString(), "Upgrades Available");
    EXPECT_NE(answers.Questions()[0].text.toStdString().find(m_settings.GetApplicationUpdatesExe()),
              std::string::npos);
    if (answer == CMessageBoxService::kAnswerNo) {
      EXPECT_TRUE(launches.All().empty());
    } else {
      ASSERT_EQ(launches.All().size(), 1U);
      EXPECT_EQ(launches.All()[0].application, m_settings.GetApplicationUpdatesExe());
      EXPECT_TRUE(launches.All()[0].arguments.empty()) << "no installer switches";
    }
  }
}

TEST_F(UpgradeCheckTest, APackageOfTheWrongSizeIsNeitherKeptNorOffered) {
  m_server.files = {{kProgramFile, "99.0\n3000\n"}, {kPackage, std::string(2999, 'p')}};
  RunCheck();
  EXPECT_FALSE(m_check.IsPackageReady());
  EXPECT_FALSE(CFileUtils::DoesFileExist(m_settings.GetApplicationUpdatesExe()));
  EXPECT_FALSE(m_pane.IsShown());
  guitest::ScriptedAnswers answers;
  m_check.OfferPackage(nullptr);
  EXPECT_TRUE(answers.Questions().empty());
}
} // namespace
