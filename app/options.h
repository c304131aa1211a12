// The game's command line: how it is shown (full screen or a window, a fixed
// scale), the pause, and the two informational options. What it gives holds
// for one run, over the settings file (app/settings.h), and is never saved.
#pragma once
#include <string>

#include "app/present.h"

struct GameOptions {
  DisplayRequest display;
};

enum class OptionsVerdict {
  Play,     // start the game with the options
  Help,     // print OptionsHelp() and stop
  Version,  // print the version and stop
  Refused,  // sMessage says why, in one line; stop with status 2
};

// Reads argv[1..argc-1] into options.
OptionsVerdict ParseOptions(int argc, const char *const *argv, GameOptions &options,
                            std::string &sMessage);

// What --help prints.
const char *OptionsHelp();

// What --version prints ("Skarnvale 1.0.0").
const char *VersionLine();
