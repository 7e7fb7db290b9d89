// Pagelint: the desktop program.
#include "app/PagelintApp.h"

int main(int argc, char** argv) {
  return CPagelintApp::Run(argc, argv);
}
