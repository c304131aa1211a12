// The player's settings: the volumes, the display, the pause when the window
// loses its focus and the stage's keys. Kept in a plain "key = value" file
// where the desktop keeps settings, read once at start-up and written only
// when the player leaves the Options screen after changing something.
//
//   # Skarnvale's settings ...
//   version = 1
//   music_volume = 10        0 (off) .. 10
//   effects_volume = 10      0 (off) .. 10
//   display = fullscreen     fullscreen | window
//   scale = largest          largest | 1 .. 64
//   pause_when_away = yes    yes | no
//   key_fire = Left Ctrl     a key's name (KeyName)
//   ...
//
// Keys the game does not know are kept, in their order, and written back
// after the known ones. A number out of range is taken to the nearest valid
// one; a value that is not one of the key's values leaves its default. Blank
// lines and lines starting with '#' or ';' are skipped.
#pragma once
#include <string>
#include <utility>
#include <vector>

// The stage's actions a key is bound to, in the Options screen's order.
enum class KeyAction { Fire, Faster, Slower, Left, Right, Pause, Count };
constexpr int KeyActionCount = static_cast<int>(KeyAction::Count);

constexpr int SettingsVersion = 1;
constexpr int VolumeSteps = 10;  // a volume is 0 (off) .. VolumeSteps (full)

struct Settings {
  int iMusicVolume = VolumeSteps;
  int iEffectsVolume = VolumeSteps;
  bool bWindow = false;
  int iScale = 0;  // 0: the largest whole scale that fits
  bool bPauseWhenAway = true;
  int aKeys[KeyActionCount];  // scancodes (KEY_*), by KeyAction
  int iVersion = SettingsVersion;  // the file's, when newer than ours
  std::vector<std::pair<std::string, std::string>> aUnknown;  // kept as read

  Settings();  // today's game: left Control fires, the arrows steer, P pauses
  int keyFor(KeyAction action) const { return aKeys[static_cast<int>(action)]; }
};

// The settings in effect for this run (the file's, then the command line's).
// Written on the game thread by main and the Options screen; read by the
// stage's control step and the screens.
extern Settings GameSettings;
// The file's settings, which the command line never touches: what a save
// writes. Read by main at start-up, changed by the Options screen.
extern Settings KeptSettings;

// ---- The file ----

// Reads a whole file's text. False when it is not a settings file: a line
// that is neither blank, a comment, a section heading nor "key = value", a
// NUL byte, a line over SettingsLineLimit bytes, more than SettingsFileLimit
// bytes, or more than SettingsKeptLimit keys it does not know (what it
// reads, written again, stays within the limits too). A byte-order mark and
// CRLF line ends are taken. On false, out is left at the defaults.
constexpr size_t SettingsLineLimit = 1024;
constexpr size_t SettingsFileLimit = 64 * 1024;
constexpr size_t SettingsKeptLimit = 512;
bool ParseSettings(const std::string &sText, Settings &out);

// The file's text for these settings.
std::string FormatSettings(const Settings &settings);

// Where the settings are kept: $XDG_CONFIG_HOME/skarnvale/settings.ini, else
// $HOME/.config/skarnvale/settings.ini; on Windows
// %APPDATA%\Skarnvale\settings.ini. Empty when none of those is set.
std::string SettingsPath();

enum class SettingsLoad {
  Missing,  // no file: the defaults, and nothing is written
  Read,
  Damaged,  // the defaults; the file was moved to "<path>.bad" when it could be
};

// Reads the file at sPath into out (defaults first). A damaged file is set
// aside as "<sPath>.bad"; sNote then says so, in one sentence for the player.
SettingsLoad LoadSettings(const std::string &sPath, Settings &out, std::string &sNote);

// Writes the settings so that nothing is ever lost: the whole text into a
// temporary file in the same folder (made when missing), flushed to disk,
// then renamed over sPath. On failure the old file is left as it was, the
// temporary one is removed, and sError says why, for the player.
bool SaveSettings(const std::string &sPath, const Settings &settings, std::string &sError);

// What the player changed between `before` and `after` goes into `kept` (the
// file's settings, which the command line never touched). True when
// anything changed.
bool CarryChanges(const Settings &before, const Settings &after, Settings &kept);

// ---- Keys ----

// A key's name, as the Options screen shows it and the file keeps it
// ("Left Ctrl", "Space", "P"); "?" for a scancode without one.
const char *KeyName(int iScancode);
// The scancode of a name (KeyName's, any case), 0 when there is none.
int KeyByName(const std::string &sName);
// The name of an action as the Options screen shows it ("Fire").
const char *KeyActionName(KeyAction action);

enum class BindResult {
  Bound,    // the action has the key now
  Swapped,  // the action that had the key took the action's old one
  Refused,  // the menus' own (Enter, ESC, Alt: Alt+Enter switches the display),
            // the desktop's (the system keys) or the stage's own (O)
};

// Binds iScancode to action in settings, swapping with the action that had it.
BindResult BindKey(Settings &settings, KeyAction action, int iScancode);

// True when the key bound to action is held now.
bool ActionKeyHeld(KeyAction action);
