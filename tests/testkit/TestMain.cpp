// Every test program starts inside a fake home folder, so that no test can read or
// write the real user's configuration, Wine prefix or temporary files.
#include "testkit/ScopedFakeHome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  ScopedFakeHome home;
  return RUN_ALL_TESTS();
}
