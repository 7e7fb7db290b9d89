// Pagelint: the desktop program.
#include "PagelintApp.h"

int main(int argc, char** argv) {
  return CPagelintApp::Run(argc, argv);
}
