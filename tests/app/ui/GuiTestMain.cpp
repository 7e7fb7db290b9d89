// The GUI test programs' main: a fake home, as for every test program, and one
// QApplication that lives until the tests are over (a static one would outlive the
// objects Qt needs when it goes).
#include "testkit/ScopedFakeHome.h"

#include <QApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  ScopedFakeHome home;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // As in every test program, the machine's Hunspell dictionaries stay out of sight.
  setenv("PAGELINT_HUNSPELL_PATH", "", 1);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
