// The player's settings: the file's reader over what players' files hold,
// the writer that never loses the old file, where the file lives, and the
// key bindings.
#include "app/settings.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

std::string ReadAll(const std::string &sPath) {
  std::ifstream in(sPath, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string &sPath, const std::string &sText) {
  std::ofstream(sPath, std::ios::binary) << sText;
}

bool Exists(const std::string &sPath) {
  struct stat st;
  return stat(sPath.c_str(), &st) == 0;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char cTemplate[] = "/tmp/skv_settings_XXXXXX";
    ASSERT_NE(mkdtemp(cTemplate), nullptr);
    sDir = cTemplate;
    sPath = sDir + "/skarnvale/settings.ini";
  }
  void TearDown() override { ASSERT_EQ(system(("rm -rf " + sDir).c_str()), 0); }
  std::string sDir, sPath;
};

}  // namespace

TEST(SettingsReader, TakesWhatPlayersFilesHold) {
  const Settings defaults;
  struct Case {
    const char *cName;
    std::string sText;
    bool bRead;
    std::function<void(const Settings &)> check;
  };
  const std::string sLong(SettingsLineLimit + 1, 'x');
  const Case cases[] = {
      {"every key", "version = 1\nmusic_volume = 3\neffects_volume = 0\ndisplay = window\nscale = 2\n"
                    "pause_when_away = no\nkey_fire = Space\nkey_pause = F1\n", true,
       [](const Settings &s) {
         EXPECT_EQ(s.iMusicVolume, 3);
         EXPECT_EQ(s.iEffectsVolume, 0);
         EXPECT_TRUE(s.bWindow);
         EXPECT_EQ(s.iScale, 2);
         EXPECT_FALSE(s.bPauseWhenAway);
         EXPECT_EQ(s.keyFor(KeyAction::Fire), KEY_SPACE);
         EXPECT_EQ(s.keyFor(KeyAction::Pause), KEY_F1);
         EXPECT_TRUE(s.aUnknown.empty());
       }},
      {"missing keys keep their defaults", "music_volume = 7\n", true,
       [&](const Settings &s) {
         EXPECT_EQ(s.iMusicVolume, 7);
         EXPECT_EQ(s.iEffectsVolume, defaults.iEffectsVolume);
         EXPECT_EQ(s.keyFor(KeyAction::Fire), KEY_LCONTROL);
       }},
      {"unknown keys are kept in order, the last of a twice-given key wins",
       "jukebox = on\nmusic_volume = 2\nwidescreen = 1\njukebox = off\nmusic_volume = 4\n", true,
       [](const Settings &s) {
         ASSERT_EQ(s.aUnknown.size(), 2u);
         EXPECT_EQ(s.aUnknown[0], std::make_pair(std::string("jukebox"), std::string("off")));
         EXPECT_EQ(s.aUnknown[1].first, "widescreen");
         EXPECT_EQ(s.iMusicVolume, 4);
       }},
      {"out of range goes to the nearest valid value",
       "music_volume = 15\neffects_volume = -3\nscale = 99\n", true,
       [](const Settings &s) {
         EXPECT_EQ(s.iMusicVolume, VolumeSteps);
         EXPECT_EQ(s.iEffectsVolume, 0);
         EXPECT_EQ(s.iScale, 64);
       }},
      {"numbers beyond any integer", "music_volume = 99999999999999999999999\neffects_volume = -99999999999999999999\n",
       true,
       [](const Settings &s) {
         EXPECT_EQ(s.iMusicVolume, VolumeSteps);
         EXPECT_EQ(s.iEffectsVolume, 0);
       }},
      {"values that are none of the key's leave the default",
       "music_volume = loud\ndisplay = sideways\npause_when_away = maybe\nkey_fire = Nothing\nkey_left = Enter\n",
       true,
       [&](const Settings &s) {
         EXPECT_EQ(s.iMusicVolume, defaults.iMusicVolume);
         EXPECT_FALSE(s.bWindow);
         EXPECT_TRUE(s.bPauseWhenAway);
         EXPECT_EQ(s.keyFor(KeyAction::Fire), KEY_LCONTROL);
         EXPECT_EQ(s.keyFor(KeyAction::Left), KEY_LEFT);
       }},
      {"CRLF, a byte-order mark, blanks, comments and a section",
       "\xEF\xBB\xBF# mine\r\n[game]\r\n\r\n  ; old\r\n  display   =   window  \r\nkey_fire = left ctrl\r\n", true,
       [](const Settings &s) {
         EXPECT_TRUE(s.bWindow);
         EXPECT_EQ(s.keyFor(KeyAction::Fire), KEY_LCONTROL);
         EXPECT_TRUE(s.aUnknown.empty());
       }},
      {"a newer version is read as far as known, and kept", "version = 3\nmusic_volume = 6\nhdr = yes\n", true,
       [](const Settings &s) {
         EXPECT_EQ(s.iVersion, 3);
         EXPECT_EQ(s.iMusicVolume, 6);
         EXPECT_NE(FormatSettings(s).find("version = 3\n"), std::string::npos);
       }},
      {"a bound key that another action had swaps with it", "key_fire = Up\n", true,
       [](const Settings &s) {
         EXPECT_EQ(s.keyFor(KeyAction::Fire), KEY_UP);
         EXPECT_EQ(s.keyFor(KeyAction::Faster), KEY_LCONTROL);
       }},
      {"garbage", "music_volume = 3\nthis is no setting\n", false, nullptr},
      {"a line without its key", "= 4\n", false, nullptr},
      {"a NUL byte", std::string("music_volume = 3\n\0\n", 19), false, nullptr},
      {"an overlong line", "note = " + sLong + "\n", false, nullptr},
      {"a file over the limit", std::string(SettingsFileLimit + 1, '\n'), false, nullptr},
      {"empty", "", true, [](const Settings &s) { EXPECT_EQ(s.iMusicVolume, VolumeSteps); }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.cName);
    Settings s;
    s.iMusicVolume = 1;  // a reader that fails leaves the defaults, not this
    EXPECT_EQ(ParseSettings(c.sText, s), c.bRead);
    if (c.check) c.check(s);
    if (!c.bRead) {
      EXPECT_EQ(s.iMusicVolume, VolumeSteps);
    }
  }
}

TEST(SettingsReader, WhatIsWrittenReadsBackTheSame) {
  Settings s;
  s.iMusicVolume = 4;
  s.iEffectsVolume = 9;
  s.bWindow = true;
  s.iScale = 3;
  s.bPauseWhenAway = false;
  ASSERT_EQ(BindKey(s, KeyAction::Fire, KEY_SPACE), BindResult::Bound);
  ASSERT_EQ(BindKey(s, KeyAction::Left, KEY_A), BindResult::Bound);
  ASSERT_EQ(BindKey(s, KeyAction::Pause, KEY_PAUSE), BindResult::Bound);
  s.aUnknown = {{"jukebox", "on"}, {"window_x", "120"}};
  Settings back;
  ASSERT_TRUE(ParseSettings(FormatSettings(s), back));
  EXPECT_EQ(back.iMusicVolume, 4);
  EXPECT_EQ(back.iEffectsVolume, 9);
  EXPECT_TRUE(back.bWindow);
  EXPECT_EQ(back.iScale, 3);
  EXPECT_FALSE(back.bPauseWhenAway);
  for (int i = 0; i < KeyActionCount; ++i) EXPECT_EQ(back.aKeys[i], s.aKeys[i]) << i;
  EXPECT_EQ(back.aUnknown, s.aUnknown);
  EXPECT_EQ(FormatSettings(back), FormatSettings(s));
}

TEST(SettingsPlace, FollowsTheDesktopsFolders) {
  const char *cOldConfig = getenv("XDG_CONFIG_HOME");
  const std::string sOldConfig = cOldConfig ? cOldConfig : "";
  const std::string sOldHome = getenv("HOME") ? getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  setenv("HOME", "/home/p", 1);
  EXPECT_EQ(SettingsPath(), "/cfg/skarnvale/settings.ini");
  setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
  EXPECT_EQ(SettingsPath(), "/home/p/.config/skarnvale/settings.ini");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsPath(), "/home/p/.config/skarnvale/settings.ini");
  unsetenv("HOME");
  EXPECT_EQ(SettingsPath(), "");
  Settings s;
  std::string sError;
  EXPECT_FALSE(SaveSettings(SettingsPath(), s, sError));
  EXPECT_NE(sError.find("HOME"), std::string::npos) << sError;
  setenv("HOME", sOldHome.c_str(), 1);
  if (cOldConfig) setenv("XDG_CONFIG_HOME", sOldConfig.c_str(), 1);
}

TEST_F(SettingsFileTest, SavedIsLoadedAndNothingIsLeftBeside) {
  Settings s, back;
  std::string sNote, sError;
  EXPECT_EQ(LoadSettings(sPath, back, sNote), SettingsLoad::Missing);
  EXPECT_FALSE(Exists(sDir + "/skarnvale")) << "reading writes nothing";
  s.iMusicVolume = 2;
  ASSERT_TRUE(SaveSettings(sPath, s, sError)) << sError;  // makes the folder
  EXPECT_EQ(LoadSettings(sPath, back, sNote), SettingsLoad::Read);
  EXPECT_EQ(back.iMusicVolume, 2);
  EXPECT_FALSE(Exists(sPath + ".new"));
}

TEST_F(SettingsFileTest, ADamagedFileIsSetAsideWithItsBytes) {
  ASSERT_EQ(mkdir((sDir + "/skarnvale").c_str(), 0755), 0);
  const std::string sDamaged = "music_volume = 2\n\x01\x02 rubbish\n";
  WriteAll(sPath + ".bad", "an older damaged file");
  WriteAll(sPath, sDamaged);
  Settings s;
  s.iMusicVolume = 1;
  std::string sNote;
  EXPECT_EQ(LoadSettings(sPath, s, sNote), SettingsLoad::Damaged);
  EXPECT_EQ(s.iMusicVolume, VolumeSteps);
  EXPECT_EQ(ReadAll(sPath + ".bad"), sDamaged);
  EXPECT_FALSE(Exists(sPath));
  EXPECT_NE(sNote.find(sPath + ".bad"), std::string::npos) << sNote;
}

TEST_F(SettingsFileTest, AWriteThatFailsLeavesTheOldFileByteForByte) {
  Settings s;
  s.aUnknown = {{"old", std::string(600, 'o')}};
  std::string sError;
  ASSERT_TRUE(SaveSettings(sPath, s, sError));
  const std::string sOld = ReadAll(sPath);
  s.aUnknown = {{"new", std::string(4000, 'n')}};

  // The disk fills halfway through the write: files may not grow beyond
  // 1000 bytes.
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool bSaved = SaveSettings(sPath, s, sError);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_FALSE(bSaved);
  EXPECT_NE(sError.find(sPath), std::string::npos) << sError;
  EXPECT_EQ(ReadAll(sPath), sOld);
  EXPECT_FALSE(Exists(sPath + ".new"));

  // No folder can be made where a file stands.
  WriteAll(sDir + "/blocked", "");
  EXPECT_FALSE(SaveSettings(sDir + "/blocked/skarnvale/settings.ini", s, sError));
  EXPECT_FALSE(sError.empty());
}

TEST(SettingsChanges, OnlyWhatThePlayerChangedIsKept) {
  Settings kept;         // the file: full screen
  Settings before = kept;
  before.bWindow = true;  // --window for this run
  Settings after = before;
  EXPECT_FALSE(CarryChanges(before, after, kept));
  after.iMusicVolume = 3;
  ASSERT_EQ(BindKey(after, KeyAction::Fire, KEY_UP), BindResult::Swapped);
  EXPECT_TRUE(CarryChanges(before, after, kept));
  EXPECT_EQ(kept.iMusicVolume, 3);
  EXPECT_FALSE(kept.bWindow) << "the command line's window is not saved";
  EXPECT_EQ(kept.keyFor(KeyAction::Fire), KEY_UP);
  EXPECT_EQ(kept.keyFor(KeyAction::Faster), KEY_LCONTROL);
}

TEST(KeyBindings, BindSwapAndRefuse) {
  struct Case {
    KeyAction action;
    int iKey;
    BindResult result;
    int iFire, iFaster, iPause;  // the bindings afterwards
  };
  const Case cases[] = {
      {KeyAction::Fire, KEY_SPACE, BindResult::Bound, KEY_SPACE, KEY_UP, KEY_P},
      {KeyAction::Fire, KEY_P, BindResult::Swapped, KEY_P, KEY_UP, KEY_LCONTROL},
      {KeyAction::Faster, KEY_UP, BindResult::Bound, KEY_LCONTROL, KEY_UP, KEY_P},
      {KeyAction::Fire, KEY_ENTER, BindResult::Refused, KEY_LCONTROL, KEY_UP, KEY_P},
      {KeyAction::Fire, KEY_ENTER_PAD, BindResult::Refused, KEY_LCONTROL, KEY_UP, KEY_P},
      {KeyAction::Pause, KEY_ESC, BindResult::Refused, KEY_LCONTROL, KEY_UP, KEY_P},
      {KeyAction::Fire, KEY_ALT, BindResult::Refused, KEY_LCONTROL, KEY_UP, KEY_P},
      {KeyAction::Fire, KEY_LWIN, BindResult::Refused, KEY_LCONTROL, KEY_UP, KEY_P},
      {KeyAction::Fire, KEY_O, BindResult::Refused, KEY_LCONTROL, KEY_UP, KEY_P},
      {KeyAction::Fire, 0, BindResult::Refused, KEY_LCONTROL, KEY_UP, KEY_P},
      {KeyAction::Fire, KEY_MAX, BindResult::Refused, KEY_LCONTROL, KEY_UP, KEY_P},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(KeyActionName(c.action)) + " <- " + std::to_string(c.iKey));
    Settings s;
    EXPECT_EQ(BindKey(s, c.action, c.iKey), c.result);
    EXPECT_EQ(s.keyFor(KeyAction::Fire), c.iFire);
    EXPECT_EQ(s.keyFor(KeyAction::Faster), c.iFaster);
    EXPECT_EQ(s.keyFor(KeyAction::Pause), c.iPause);
  }
  // Every key has one name, and the name finds it again.
  for (int i = 1; i < KEY_MAX; ++i) {
    if (KeyName(i)[0] == '?') continue;
    EXPECT_EQ(KeyByName(KeyName(i)), i) << KeyName(i);
  }
  EXPECT_EQ(KeyByName("left ctrl"), KEY_LCONTROL);
  EXPECT_EQ(KeyByName("Nothing"), 0);
}
