#include "PagelintApp.h"

#include <QApplication>

int CPagelintApp::Run(int argc, char** argv) {
  QApplication application(argc, argv);
  return 0;
}
