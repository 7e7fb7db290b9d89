#include "utilcore/UserFolders.h"

#include "testkit/FileBytes.h"
#include "testkit/ScopedFakeHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Paths below a fresh fake home's root, which holds the folder "home" and the file
// "file"; an empty `config` leaves XDG_CONFIG_HOME unset.
TEST(UserFolders, IsHomeMissingOnlyWhenTheConfigurationWouldBeMadeInIt) {
  struct Case {
    const char* home;
    const char* config;
    bool missing;
  };
  const Case cases[] = {
      {"/home", "", false},
      {"/gone", "", true},
      {"/gone/", "", true},
      {"/gone", "/gone/.config", true},
      {"/gone", "/home/.config", false},
      {"/gone", "/gone2/.config", false},
      {"/file", "", true},
      {"/file/home", "", true},
  };
  for (const Case& c : cases) {
    // Puts HOME and XDG_CONFIG_HOME back afterwards.
    const ScopedFakeHome fake;
    testkit::WriteBytes(fake.Root() + "/file", "");
    setenv("HOME", (fake.Root() + c.home).c_str(), 1);
    if (*c.config == '\0') {
      unsetenv("XDG_CONFIG_HOME");
    } else {
      setenv("XDG_CONFIG_HOME", (fake.Root() + c.config).c_str(), 1);
    }
    EXPECT_EQ(CUserFolders::IsHomeMissing(), c.missing) << c.home << " " << c.config;
  }
}

} // namespace
