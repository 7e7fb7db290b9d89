#include "appcfg/AppSettings.h"

#include "diskfiles/FileExtMgr.h"
#include "testkit/SaveFaults.h"
#include "testkit/ScopedFakeHome.h"
#include "utilcore/AppLogger.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kSaveFailedId = "{645E8BCF-73FB-481B-B01F-BF45BF9589E9}";

class AppSettingsSave : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(CAppLogger::SetAppName("Pagelint"));
    FileExtMgr::GetInstance()->RemoveAll();
  }
  void TearDown() override {
    CFileWriteFaults::Clear();
    FileExtMgr::GetInstance()->RemoveAll();
    CAppLogger::Close();
  }

  testkit::SWriterUnderTest Writer() {
    m_settings.SetPlayWelcomeMsg(true);
    EXPECT_TRUE(m_settings.Save());
    m_settings.SetPlayWelcomeMsg(false);
    m_settings.SetAppShape({10, 20, 800, 600, false, true, true});

    testkit::SWriterUnderTest writer;
    writer.path = m_settings.GetSettingsFilePath();
    writer.save = [this] { return m_settings.Save(); };
    writer.logId = std::string(kSaveFailedId) + " - " + writer.path + " - ";
    return writer;
  }

  ScopedFakeHome m_home;
  CAppSettings m_settings;
};

PAGELINT_SAVE_UNDER_FAILURE_TESTS(TEST_F, AppSettingsSave)

} // namespace
