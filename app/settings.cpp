// The player's settings: the file's reader and writer, where it lives, and
// the key bindings.
#include "app/settings.h"

#include <allegro.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <winalleg.h>  // the system's header, as the library allows it beside its own
#else
#include <unistd.h>
#endif

Settings GameSettings;
Settings KeptSettings;

Settings::Settings()
    : aKeys{KEY_LCONTROL, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_P} {}

namespace {

// ---------------------------------------------------------------- key names

struct NamedKey {
  int iScancode;
  const char *cName;
};

// Every key the library knows but the letters and digits, which are named
// by their own character.
const NamedKey kKeyNames[] = {
    {KEY_0_PAD, "Pad 0"}, {KEY_1_PAD, "Pad 1"}, {KEY_2_PAD, "Pad 2"}, {KEY_3_PAD, "Pad 3"},
    {KEY_4_PAD, "Pad 4"}, {KEY_5_PAD, "Pad 5"}, {KEY_6_PAD, "Pad 6"}, {KEY_7_PAD, "Pad 7"},
    {KEY_8_PAD, "Pad 8"}, {KEY_9_PAD, "Pad 9"}, {KEY_F1, "F1"}, {KEY_F2, "F2"}, {KEY_F3, "F3"},
    {KEY_F4, "F4"}, {KEY_F5, "F5"}, {KEY_F6, "F6"}, {KEY_F7, "F7"}, {KEY_F8, "F8"},
    {KEY_F9, "F9"}, {KEY_F10, "F10"}, {KEY_F11, "F11"}, {KEY_F12, "F12"}, {KEY_ESC, "Esc"},
    {KEY_TILDE, "`"}, {KEY_MINUS, "-"}, {KEY_EQUALS, "="}, {KEY_BACKSPACE, "Backspace"},
    {KEY_TAB, "Tab"}, {KEY_OPENBRACE, "["}, {KEY_CLOSEBRACE, "]"}, {KEY_ENTER, "Enter"},
    {KEY_COLON, ";"}, {KEY_QUOTE, "'"}, {KEY_BACKSLASH, "\\"}, {KEY_BACKSLASH2, "< >"},
    {KEY_COMMA, ","}, {KEY_STOP, "."}, {KEY_SLASH, "/"}, {KEY_SPACE, "Space"},
    {KEY_INSERT, "Insert"}, {KEY_DEL, "Delete"}, {KEY_HOME, "Home"}, {KEY_END, "End"},
    {KEY_PGUP, "Page Up"}, {KEY_PGDN, "Page Down"}, {KEY_LEFT, "Left"}, {KEY_RIGHT, "Right"},
    {KEY_UP, "Up"}, {KEY_DOWN, "Down"}, {KEY_SLASH_PAD, "Pad /"}, {KEY_ASTERISK, "Pad *"},
    {KEY_MINUS_PAD, "Pad -"}, {KEY_PLUS_PAD, "Pad +"}, {KEY_DEL_PAD, "Pad ."},
    {KEY_ENTER_PAD, "Pad Enter"}, {KEY_PRTSCR, "Print Screen"}, {KEY_PAUSE, "Pause"},
    {KEY_EQUALS_PAD, "Pad ="}, {KEY_BACKQUOTE, "Backquote"}, {KEY_SEMICOLON, "Semicolon"},
    {KEY_LSHIFT, "Left Shift"}, {KEY_RSHIFT, "Right Shift"}, {KEY_LCONTROL, "Left Ctrl"},
    {KEY_RCONTROL, "Right Ctrl"}, {KEY_ALT, "Alt"}, {KEY_ALTGR, "AltGr"},
    {KEY_LWIN, "Left Super"}, {KEY_RWIN, "Right Super"}, {KEY_MENU, "Menu"},
    {KEY_SCRLOCK, "Scroll Lock"}, {KEY_NUMLOCK, "Num Lock"}, {KEY_CAPSLOCK, "Caps Lock"},
    {KEY_ABNT_C1, "Abnt C1"}, {KEY_YEN, "Yen"}, {KEY_KANA, "Kana"}, {KEY_CONVERT, "Convert"},
    {KEY_NOCONVERT, "No Convert"}, {KEY_AT, "@"}, {KEY_CIRCUMFLEX, "^"}, {KEY_COLON2, ":"},
    {KEY_KANJI, "Kanji"}, {KEY_COMMAND, "Command"}, {KEY_UNKNOWN1, "Extra 1"},
    {KEY_UNKNOWN2, "Extra 2"}, {KEY_UNKNOWN3, "Extra 3"}, {KEY_UNKNOWN4, "Extra 4"},
    {KEY_UNKNOWN5, "Extra 5"}, {KEY_UNKNOWN6, "Extra 6"}, {KEY_UNKNOWN7, "Extra 7"},
    {KEY_UNKNOWN8, "Extra 8"},
};

// The menus keep Enter and ESC; Alt would make Alt+Enter switch the display
// whenever Enter is pressed with the key held; the system keys belong to the
// desktop; O ends a stage.
const int kUnbindable[] = {KEY_ENTER, KEY_ENTER_PAD, KEY_ESC, KEY_ALT,  KEY_ALTGR,
                           KEY_LWIN,  KEY_RWIN,      KEY_MENU, KEY_O};

const char *const kActionNames[KeyActionCount] = {"Fire", "Faster", "Slower",
                                                  "Left", "Right",  "Pause"};
const char *const kActionKeys[KeyActionCount] = {"key_fire", "key_faster", "key_slower",
                                                 "key_left", "key_right",  "key_pause"};

bool SameName(const std::string &a, const char *b) {
  if (a.size() != strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// ---------------------------------------------------------------- reading

std::string Trimmed(const std::string &s) {
  const char *cBlanks = " \t\r\v\f";
  const size_t iFirst = s.find_first_not_of(cBlanks);
  if (iFirst == std::string::npos) return "";
  return s.substr(iFirst, s.find_last_not_of(cBlanks) - iFirst + 1);
}

// A whole number within [iLow, iHigh], taken to the nearest end when beyond.
bool ReadNumber(const std::string &s, int iLow, int iHigh, int &iOut) {
  if (s.empty()) return false;
  const char *c = s.c_str();
  char *pEnd = nullptr;
  errno = 0;
  const long long iValue = strtoll(c, &pEnd, 10);
  if (*pEnd != '\0' || pEnd == c) return false;
  // Out of range even for strtoll: still a number, taken to the nearest end.
  if (errno == ERANGE || iValue < iLow) iOut = (errno == ERANGE && c[0] != '-') ? iHigh : iLow;
  else iOut = iValue > iHigh ? iHigh : static_cast<int>(iValue);
  return true;
}

bool ReadYesNo(const std::string &s, bool &bOut) {
  if (SameName(s, "yes") || SameName(s, "on") || SameName(s, "true") || s == "1") {
    bOut = true;
    return true;
  }
  if (SameName(s, "no") || SameName(s, "off") || SameName(s, "false") || s == "0") {
    bOut = false;
    return true;
  }
  return false;
}

// One known key into settings; false when the key is not one of ours.
bool TakeKnown(const std::string &sKey, const std::string &sValue, Settings &out) {
  if (sKey == "version") {
    int iVersion;
    if (ReadNumber(sValue, 1, 1000000, iVersion) && iVersion > SettingsVersion)
      out.iVersion = iVersion;
    return true;
  }
  if (sKey == "music_volume") {
    ReadNumber(sValue, 0, VolumeSteps, out.iMusicVolume);
    return true;
  }
  if (sKey == "effects_volume") {
    ReadNumber(sValue, 0, VolumeSteps, out.iEffectsVolume);
    return true;
  }
  if (sKey == "display") {
    if (SameName(sValue, "window")) out.bWindow = true;
    if (SameName(sValue, "fullscreen")) out.bWindow = false;
    return true;
  }
  if (sKey == "scale") {
    if (SameName(sValue, "largest")) out.iScale = 0;
    else ReadNumber(sValue, 1, 64, out.iScale);
    return true;
  }
  if (sKey == "pause_when_away") {
    ReadYesNo(sValue, out.bPauseWhenAway);
    return true;
  }
  for (int i = 0; i < KeyActionCount; ++i) {
    if (sKey != kActionKeys[i]) continue;
    const int iKey = KeyByName(sValue);
    if (iKey != 0) BindKey(out, static_cast<KeyAction>(i), iKey);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- writing

#ifdef _WIN32
int MakeFolder(const std::string &s) { return _mkdir(s.c_str()); }
int FlushToDisk(FILE *pFile) { return _commit(_fileno(pFile)); }
bool ReplaceWith(const std::string &sFrom, const std::string &sTo) {
  return MoveFileExA(sFrom.c_str(), sTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
#else
int MakeFolder(const std::string &s) { return mkdir(s.c_str(), 0755); }
int FlushToDisk(FILE *pFile) { return fsync(fileno(pFile)); }
bool ReplaceWith(const std::string &sFrom, const std::string &sTo) {
  return rename(sFrom.c_str(), sTo.c_str()) == 0;
}
#endif

// Makes the folder that holds sPath and those above it.
bool MakeFolderFor(const std::string &sPath) {
  const size_t iLast = sPath.find_last_of("/\\");
  if (iLast == std::string::npos || iLast == 0) return true;
  const std::string sFolder = sPath.substr(0, iLast);
  struct stat st;
  if (stat(sFolder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (!MakeFolderFor(sFolder)) return false;
  return MakeFolder(sFolder) == 0 || errno == EEXIST;
}

std::string Why(const std::string &sPath, int iErrno) {
  return "Could not save the settings in " + sPath + ": " + strerror(iErrno) +
         ".  They hold until the game ends.";
}

}  // namespace

// ---------------------------------------------------------------- the file

bool ParseSettings(const std::string &sText, Settings &out) {
  out = Settings();
  if (sText.size() > SettingsFileLimit || sText.find('\0') != std::string::npos) return false;
  Settings read;
  size_t iAt = sText.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (iAt < sText.size()) {
    size_t iEnd = sText.find('\n', iAt);
    if (iEnd == std::string::npos) iEnd = sText.size();
    std::string sLine = sText.substr(iAt, iEnd - iAt);
    iAt = iEnd + 1;
    if (sLine.size() > SettingsLineLimit) return false;
    if (!sLine.empty() && sLine.back() == '\r') sLine.pop_back();
    sLine = Trimmed(sLine);
    if (sLine.empty() || sLine[0] == '#' || sLine[0] == ';') continue;
    if (sLine.front() == '[' && sLine.back() == ']') continue;
    const size_t iEquals = sLine.find('=');
    if (iEquals == std::string::npos || iEquals == 0) return false;
    const std::string sKey = Trimmed(sLine.substr(0, iEquals));
    const std::string sValue = Trimmed(sLine.substr(iEquals + 1));
    if (TakeKnown(sKey, sValue, read)) continue;
    // Kept as "key = value", which must still be a line the reader takes.
    if (sKey.size() + sValue.size() + 3 > SettingsLineLimit) return false;
    bool bReplaced = false;
    for (auto &kept : read.aUnknown)
      if (kept.first == sKey) kept.second = sValue, bReplaced = true;
    if (bReplaced) continue;
    if (read.aUnknown.size() >= SettingsKeptLimit) return false;
    read.aUnknown.emplace_back(sKey, sValue);
  }
  // What a save writes must be a file the reader takes again.
  if (FormatSettings(read).size() > SettingsFileLimit) return false;
  out = read;
  return true;
}

std::string FormatSettings(const Settings &s) {
  std::string sText =
      "# Skarnvale's settings, written by the game when you change an option.\n"
      "# Volumes go from 0 (off) to 10; display is fullscreen or window; scale\n"
      "# is largest or a whole number.\n";
  auto Line = [&sText](const std::string &sKey, const std::string &sValue) {
    sText += sKey + " = " + sValue + "\n";
  };
  Line("version", std::to_string(s.iVersion > SettingsVersion ? s.iVersion : SettingsVersion));
  Line("music_volume", std::to_string(s.iMusicVolume));
  Line("effects_volume", std::to_string(s.iEffectsVolume));
  Line("display", s.bWindow ? "window" : "fullscreen");
  Line("scale", s.iScale > 0 ? std::to_string(s.iScale) : "largest");
  Line("pause_when_away", s.bPauseWhenAway ? "yes" : "no");
  for (int i = 0; i < KeyActionCount; ++i) Line(kActionKeys[i], KeyName(s.aKeys[i]));
  for (const auto &kept : s.aUnknown) Line(kept.first, kept.second);
  return sText;
}

std::string SettingsPath() {
#ifdef _WIN32
  const char *cAppData = getenv("APPDATA");
  if (cAppData == nullptr || *cAppData == '\0') return "";
  return std::string(cAppData) + "\\Skarnvale\\settings.ini";
#else
  const char *cConfig = getenv("XDG_CONFIG_HOME");
  // The desktop's rule: a relative folder is not one.
  if (cConfig != nullptr && cConfig[0] == '/') return std::string(cConfig) + "/skarnvale/settings.ini";
  const char *cHome = getenv("HOME");
  if (cHome == nullptr || *cHome == '\0') return "";
  return std::string(cHome) + "/.config/skarnvale/settings.ini";
#endif
}

SettingsLoad LoadSettings(const std::string &sPath, Settings &out, std::string &sNote) {
  out = Settings();
  sNote.clear();
  struct stat st;
  // Only a file is read (or set aside); anything else in its place is left
  // alone, and a save reports it.
  if (sPath.empty() || stat(sPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return SettingsLoad::Missing;
  FILE *pFile = fopen(sPath.c_str(), "rb");
  if (pFile == nullptr) return SettingsLoad::Missing;
  std::string sText;
  char cBuffer[4096];
  size_t iRead;
  // One byte over the limit is enough to know the file is too long.
  while (sText.size() <= SettingsFileLimit && (iRead = fread(cBuffer, 1, sizeof cBuffer, pFile)) > 0)
    sText.append(cBuffer, iRead);
  const bool bFailed = ferror(pFile) != 0;
  fclose(pFile);
  if (!bFailed && ParseSettings(sText, out)) return SettingsLoad::Read;
  const std::string sBad = sPath + ".bad";
  remove(sBad.c_str());  // an older damaged file gives way to this one
  if (ReplaceWith(sPath, sBad))
    sNote = "The settings in " + sPath + " could not be read.  The game starts with its defaults; the old file is kept as " + sBad + ".";
  else
    sNote = "The settings in " + sPath + " could not be read.  The game starts with its defaults.";
  return SettingsLoad::Damaged;
}

bool SaveSettings(const std::string &sPath, const Settings &settings, std::string &sError) {
  sError.clear();
  if (sPath.empty()) {
    sError = "Could not save the settings: no folder for them is set (HOME or XDG_CONFIG_HOME).  They hold until the game ends.";
    return false;
  }
  if (!MakeFolderFor(sPath)) {
    sError = Why(sPath, errno);
    return false;
  }
  const std::string sTemporary = sPath + ".new";
  FILE *pFile = fopen(sTemporary.c_str(), "wb");
  if (pFile == nullptr) {
    sError = Why(sPath, errno);
    return false;
  }
  const std::string sText = FormatSettings(settings);
  bool bWritten = fwrite(sText.data(), 1, sText.size(), pFile) == sText.size();
  bWritten = fflush(pFile) == 0 && bWritten;
  bWritten = bWritten && FlushToDisk(pFile) == 0;
  const int iWriteErrno = errno;
  bWritten = fclose(pFile) == 0 && bWritten;
  if (!bWritten || !ReplaceWith(sTemporary, sPath)) {
    const int iErrno = bWritten ? errno : iWriteErrno;
    remove(sTemporary.c_str());
    sError = Why(sPath, iErrno != 0 ? iErrno : EIO);
    return false;
  }
  return true;
}

bool CarryChanges(const Settings &before, const Settings &after, Settings &kept) {
  bool bChanged = false;
  auto Carry = [&bChanged](const auto &was, const auto &now, auto &into) {
    if (was == now) return;
    into = now;
    bChanged = true;
  };
  Carry(before.iMusicVolume, after.iMusicVolume, kept.iMusicVolume);
  Carry(before.iEffectsVolume, after.iEffectsVolume, kept.iEffectsVolume);
  Carry(before.bWindow, after.bWindow, kept.bWindow);
  Carry(before.iScale, after.iScale, kept.iScale);
  Carry(before.bPauseWhenAway, after.bPauseWhenAway, kept.bPauseWhenAway);
  for (int i = 0; i < KeyActionCount; ++i) {
    if (before.aKeys[i] == after.aKeys[i]) continue;
    // The file's bindings stay whole: the key goes where the player put it.
    BindKey(kept, static_cast<KeyAction>(i), after.aKeys[i]);
    bChanged = true;
  }
  return bChanged;
}

// ---------------------------------------------------------------- keys

const char *KeyName(int iScancode) {
  static char cOne[KEY_9 - KEY_A + 1][2];
  if (iScancode >= KEY_A && iScancode <= KEY_9) {
    char *c = cOne[iScancode - KEY_A];
    c[0] = iScancode <= KEY_Z ? static_cast<char>('A' + iScancode - KEY_A)
                              : static_cast<char>('0' + iScancode - KEY_0);
    c[1] = '\0';
    return c;
  }
  for (const NamedKey &named : kKeyNames)
    if (named.iScancode == iScancode) return named.cName;
  return "?";
}

int KeyByName(const std::string &sName) {
  for (int i = KEY_A; i <= KEY_9; ++i)
    if (SameName(sName, KeyName(i))) return i;
  for (const NamedKey &named : kKeyNames)
    if (SameName(sName, named.cName)) return named.iScancode;
  return 0;
}

const char *KeyActionName(KeyAction action) { return kActionNames[static_cast<int>(action)]; }

BindResult BindKey(Settings &settings, KeyAction action, int iScancode) {
  if (iScancode <= 0 || iScancode >= KEY_MAX || KeyByName(KeyName(iScancode)) != iScancode)
    return BindResult::Refused;
  for (int iRefused : kUnbindable)
    if (iScancode == iRefused) return BindResult::Refused;
  int &iOwn = settings.aKeys[static_cast<int>(action)];
  for (int &iOther : settings.aKeys) {
    if (&iOther == &iOwn || iOther != iScancode) continue;
    iOther = iOwn;
    iOwn = iScancode;
    return BindResult::Swapped;
  }
  iOwn = iScancode;
  return BindResult::Bound;
}

bool ActionKeyHeld(KeyAction action) { return key[GameSettings.keyFor(action)] != 0; }
