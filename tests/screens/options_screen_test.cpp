// The Options screen, driven key by key: values change at once and within
// their range, keys are bound, swapped and refused, and leaving writes the
// settings only after a change.
#include "screens/options_screen.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "app/globals.h"
#include "audio/effects.h"
#include "audio/game_music.h"
#include "audio/jukebox.h"
#include "screen_fixture.h"

using screentest::DelayedRelease;
using screentest::ScreenTest;

namespace {

class OptionsTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    GameSettings = KeptSettings = Settings();
    ApplySoundSettings();
    // Settings go to the test's folder, wherever the system keeps them.
    setenv("XDG_CONFIG_HOME", cDir.c_str(), 1);
    setenv("APPDATA", cDir.c_str(), 1);
    sFile = SettingsPath();
    ASSERT_EQ(sFile.compare(0, cDir.size(), cDir), 0) << sFile;
    screen.open();
  }
  void TearDown() override {
    GameSettings = KeptSettings = Settings();
    ApplySoundSettings();
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("APPDATA");
    ScreenTest::TearDown();
  }
  // One tap of a menu key: pressed for one pass after the gate, let go.
  void tap(int iScancode) {
    GameTicks += 6;
    key[iScancode] = 1;
    screen.handleInput();
    key[iScancode] = 0;
    screen.handleInput();
  }
  // A key pressed while a binding waits (the screen waits for its release).
  void press(int iScancode) {
    key[iScancode] = 1;
    DelayedRelease release(iScancode, 20);
    screen.handleInput();
  }
  bool fileWritten() {
    struct stat st;
    return stat(sFile.c_str(), &st) == 0;
  }
  OptionsScreen screen;
  std::string sFile;
};

}  // namespace

TEST_F(OptionsTest, VolumesChangeAtOnceWithinTheirSteps) {
  EXPECT_EQ(screen.iSelection, static_cast<int>(OptionsItem::MusicVolume));
  for (int i = 0; i < 3; ++i) tap(KEY_LEFT);
  EXPECT_EQ(GameSettings.iMusicVolume, 7);
  EXPECT_EQ(GameJukebox.musicVolume(), VolumeLevel(7));
  for (int i = 0; i < 12; ++i) tap(KEY_RIGHT);
  EXPECT_EQ(GameSettings.iMusicVolume, VolumeSteps) << "no step above full";

  tap(KEY_DOWN);
  const int iSamples = GameEffects.requests(Effect::OrcDies);
  for (int i = 0; i < 12; ++i) tap(KEY_LEFT);
  EXPECT_EQ(GameSettings.iEffectsVolume, 0) << "down to off and no further";
  EXPECT_EQ(GameEffects.volume(), 0);
  EXPECT_EQ(GameEffects.requests(Effect::OrcDies) - iSamples, VolumeSteps) << "a sample per step";
  // The steps grow with the ear: half way is a quarter of the level.
  EXPECT_EQ(VolumeLevel(5), 64);
  EXPECT_LT(VolumeLevel(1), VolumeLevel(2));

  // Up from the top row goes round to "Back", whose Enter leaves.
  tap(KEY_UP);
  tap(KEY_UP);
  EXPECT_EQ(screen.iSelection, static_cast<int>(OptionsItem::Back));
  tap(KEY_ENTER);
  EXPECT_TRUE(screen.bLeaving);
  screen.close();
  ASSERT_TRUE(fileWritten());
  Settings back;
  std::string sNote;
  ASSERT_EQ(LoadSettings(sFile, back, sNote), SettingsLoad::Read);
  EXPECT_EQ(back.iEffectsVolume, 0);
  EXPECT_EQ(back.iMusicVolume, VolumeSteps);
}

TEST_F(OptionsTest, KeysAreBoundSwappedAndRefused) {
  screen.iSelection = static_cast<int>(OptionsItem::FirstKey);  // Fire
  screen.handleInput();  // Enter is seen up once before it counts
  key[KEY_ENTER] = 1;
  screen.handleInput();
  ASSERT_EQ(screen.iBinding, static_cast<int>(KeyAction::Fire));
  screen.handleInput();  // the Enter that asked is still down: not taken
  EXPECT_EQ(screen.iBinding, static_cast<int>(KeyAction::Fire));
  key[KEY_ENTER] = 0;
  screen.handleInput();
  key[KEY_ENTER] = 1;
  screen.handleInput();  // pressed again: the menus' own
  key[KEY_ENTER] = 0;
  EXPECT_EQ(screen.iBinding, static_cast<int>(KeyAction::Fire));
  EXPECT_NE(screen.status().find("Enter"), std::string::npos) << screen.status();
  press(KEY_SPACE);
  EXPECT_EQ(screen.iBinding, -1);
  EXPECT_EQ(GameSettings.keyFor(KeyAction::Fire), KEY_SPACE);

  // P is the pause's: the two swap.
  tap(KEY_ENTER);
  press(KEY_P);
  EXPECT_EQ(GameSettings.keyFor(KeyAction::Fire), KEY_P);
  EXPECT_EQ(GameSettings.keyFor(KeyAction::Pause), KEY_SPACE);
  EXPECT_NE(screen.status().find("Pause takes Space"), std::string::npos) << screen.status();

  // ESC cancels a binding and leaves the key as it was.
  tap(KEY_ENTER);
  press(KEY_ESC);
  EXPECT_EQ(screen.iBinding, -1);
  EXPECT_FALSE(screen.bLeaving);
  EXPECT_EQ(GameSettings.keyFor(KeyAction::Fire), KEY_P);

  // Defaults: everything as the game first came, the file's unknown keys kept.
  GameSettings.aUnknown = {{"jukebox", "on"}};
  screen.iSelection = static_cast<int>(OptionsItem::Defaults);
  tap(KEY_ENTER);
  EXPECT_EQ(GameSettings.keyFor(KeyAction::Fire), KEY_LCONTROL);
  EXPECT_EQ(GameSettings.keyFor(KeyAction::Pause), KEY_P);
  EXPECT_EQ(GameSettings.aUnknown.size(), 1u);
  // Back as it was: leaving with ESC writes nothing.
  press(KEY_ESC);
  EXPECT_TRUE(screen.bLeaving);
  screen.close();
  EXPECT_FALSE(fileWritten());
}
