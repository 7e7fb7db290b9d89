#include "projects/WebProject.h"

#include "WebProjectFileFixture.h"

#include "testkit/SaveFaults.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kWriteFailedId = "{1A7211AD-F9DB-4F9B-8C22-DA96F86D442A}";
constexpr const char* kCreateFailedId = "{6DC85668-3ED0-47C8-9228-50D8E13AC257}";

// Either way of saving: with or without marking the results out of date.
class WebProjectSave : public ProjectFileTest, public testing::WithParamInterface<bool> {
protected:
  testkit::SWriterUnderTest Writer() {
    m_project.SetName("Site");
    m_project.SetRootDirectory("/srv/site/");
    m_project.SetDataPath(DataDir());
    EXPECT_TRUE(m_project.SaveProject(false));
    m_project.SetRootDirectory("/srv/moved elsewhere/");
    m_project.AddFilter({2, "*.php"});

    testkit::SWriterUnderTest writer;
    writer.path = DataDir() + "Site.plx";
    writer.save = [this] { return m_project.SaveProject(GetParam()); };
    writer.logId = kWriteFailedId;
    writer.openLogId = kCreateFailedId;
    return writer;
  }

  CWebProject m_project;
};

PAGELINT_SAVE_UNDER_FAILURE_TESTS(TEST_P, WebProjectSave)

INSTANTIATE_TEST_SUITE_P(Marking, WebProjectSave, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& c) {
                           return std::string(c.param ? "OutOfDate" : "AsItIs");
                         });

} // namespace
