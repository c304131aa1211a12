// The game's music on the program's jukebox and its effects on the effects
// player, from start-up to the way out.
#include "audio/game_music.h"

#include <allegro.h>

#include "app/notice.h"
#include "app/present.h"
#include "app/settings.h"
#include "audio/effects.h"
#include "audio/jukebox.h"

void StartGameMusic() {
  GameJukebox.initJukebox();
  GameJukebox.addTrack("Dances with Dragons.ogg", kTitleTrack);
  GameJukebox.addTrack("Zeal.ogg", kWorldMapTrack);
  GameJukebox.addTrack("Shifting Flames.ogg", kStageTrack);
  // Without a sound driver the effects stay off, as silently as the music.
  if (digi_card != DIGI_NONE && !GameEffects.load(kEffectsFile))
    ShowMessage("ERROR:  Failed to load sound effects:  %s.  Playing on without them.",
                kEffectsFile);
  // The music and the effects rest where they are while the game is paused.
  SetAwayListener([](bool bAway) {
    GameJukebox.pauseMusic(bAway);
    GameEffects.hold(bAway);
  });
  ApplySoundSettings();
}

int VolumeLevel(int iStep) {
  if (iStep <= 0) return 0;
  if (iStep >= VolumeSteps) return 255;
  return (255 * iStep * iStep + VolumeSteps * VolumeSteps / 2) / (VolumeSteps * VolumeSteps);
}

void ApplySoundSettings() {
  GameJukebox.setMusicVolume(VolumeLevel(GameSettings.iMusicVolume));
  GameEffects.setVolume(VolumeLevel(GameSettings.iEffectsVolume));
}

void StopGameMusic() {
  GameEffects.release();
  GameJukebox.shutdownJukebox();
}
