#pragma once

/// The program's application object (being built).
class CPagelintApp {
public:
  static int Run(int argc, char** argv);
};
