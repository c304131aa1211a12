// Reading the command line.
#include "app/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifndef SKV_VERSION
#define SKV_VERSION "unknown"
#endif

namespace {

// More than any screen made today needs (64 x 640 = 40960 pixels).
constexpr int MaxScale = 64;

bool ReadScale(const char *cText, int &iScale) {
  if (cText == nullptr || *cText < '0' || *cText > '9') return false;
  errno = 0;
  char *pEnd = nullptr;
  const long iValue = strtol(cText, &pEnd, 10);
  if (errno != 0 || *pEnd != '\0' || iValue < 1 || iValue > MaxScale) return false;
  iScale = static_cast<int>(iValue);
  return true;
}

}  // namespace

OptionsVerdict ParseOptions(int argc, const char *const *argv, GameOptions &options,
                            std::string &sMessage) {
  for (int i = 1; i < argc; ++i) {
    const char *cArg = argv[i];
    if (strcmp(cArg, "--help") == 0 || strcmp(cArg, "-h") == 0) return OptionsVerdict::Help;
    if (strcmp(cArg, "--version") == 0) return OptionsVerdict::Version;
    if (strcmp(cArg, "--window") == 0) {
      options.display.bWindow = true;
      continue;
    }
    if (strcmp(cArg, "--no-pause") == 0) {
      options.display.bNoPause = true;
      continue;
    }
    const char *cScale = nullptr;
    if (strcmp(cArg, "--scale") == 0) {
      cScale = i + 1 < argc ? argv[++i] : nullptr;
    } else if (strncmp(cArg, "--scale=", 8) == 0) {
      cScale = cArg + 8;
    } else {
      sMessage = std::string("skarnvale: unknown option '") + cArg + "' (try --help)";
      return OptionsVerdict::Refused;
    }
    if (!ReadScale(cScale, options.display.iScale)) {
      sMessage = std::string("skarnvale: --scale needs a whole number from 1 to ") +
                 std::to_string(MaxScale) + (cScale ? std::string(", not '") + cScale + "'" : "");
      return OptionsVerdict::Refused;
    }
  }
  return OptionsVerdict::Play;
}

const char *OptionsHelp() {
  return "Usage: skarnvale [--window] [--scale N] [--no-pause]\n"
         "Flies a dragon up five stages of orcs, huts and wizards.\n"
         "\n"
         "  --window     start in a window instead of full screen\n"
         "  --scale N    show every game pixel as an N x N block (the default is\n"
         "               the largest whole number that fits the screen)\n"
         "  --no-pause   keep playing while another window has the focus (the\n"
         "               game pauses otherwise)\n"
         "  --help       show this help and stop\n"
         "  --version    show the version and stop\n"
         "\n"
         "While playing, Alt+Enter switches between full screen and a window.\n"
         "\n"
         "The title's Options screen sets the volumes, the display, the scale, the\n"
         "pause and the keys, and keeps them in\n"
#ifdef _WIN32
         "%APPDATA%\\Skarnvale\\settings.ini.\n"
#else
         "$XDG_CONFIG_HOME/skarnvale/settings.ini (else ~/.config/skarnvale/settings.ini).\n"
#endif
         "The options above hold for one run and are not kept.\n";
}

const char *VersionLine() { return "Skarnvale " SKV_VERSION; }
