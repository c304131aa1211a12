// The game's tracks on GameJukebox, from start-up to the way out.
#include "audio/game_music.h"

#include "app/present.h"
#include "audio/jukebox.h"

void StartGameMusic() {
  GameJukebox.initJukebox();
  GameJukebox.addTrack("Dances with Dragons.ogg", kTitleTrack);
  GameJukebox.addTrack("Zeal.ogg", kWorldMapTrack);
  GameJukebox.addTrack("Shifting Flames.ogg", kStageTrack);
  // The music rests where it is while the game is paused.
  SetAwayListener([](bool bAway) { GameJukebox.pauseMusic(bAway); });
}

void StopGameMusic() { GameJukebox.shutdownJukebox(); }
