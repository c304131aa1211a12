// Child program of the ALSA null-device test: brings up the library and the
// sound step of the game's start-up, then plays a track through GameJukebox
// on the real digital driver. Prints what went wrong and exits non-zero on
// any failure. Usage: audio_alsa_probe TRACK.ogg
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/globals.h"
#include "app/startup.h"
#include "audio/jukebox.h"
#include "audio/ogg_stream.h"

static int Fail(const char *cWhat) {
  fprintf(stderr, "alsa probe: %s\n", cWhat);
  return 1;
}

// Waits up to iMsec for the track to end; true when it did.
static bool WaitForEnd(int iMsec) {
  for (int i = 0; i < iMsec / 10; ++i) {
    if (!alogg_is_playing_ogg(GameJukebox.pStream)) return true;
    rest(10);
  }
  return false;
}

static int Probe(const char *cTrack) {
  if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) return Fail("no system driver");
  if (install_timer() != 0) return Fail("no timer");
  install_int_ex(OnGameTick, MSEC_TO_TIMER(20));
  InstallSoundOrGoSilent();
  if (digi_driver == nullptr || digi_driver->id == DIGI_NONE) return Fail("silent driver");
  fprintf(stderr, "alsa probe: digital driver %s\n", digi_driver->name);

  GameJukebox.initJukebox();
  GameJukebox.addTrack(cTrack, 1);
  GameJukebox.updateMusic(1);
  OggStream *pStream = GameJukebox.pStream;
  if (pStream == nullptr || !alogg_is_playing_ogg(pStream)) return Fail("track did not start");
  int iVoice = OggStreamVoice(pStream);
  if (iVoice < 0) return Fail("no voice");
  int iFirst = voice_get_position(iVoice);
  rest(200);
  int iLater = voice_get_position(iVoice);
  if (iFirst < 0 || iLater < 0 || iLater == iFirst) return Fail("voice does not advance");

  // The fade reaches the voice at once.
  GameJukebox.iLastFadeTick = GameTicks - 10;
  GameJukebox.fadeMusic(1);
  if (voice_get_volume(iVoice) != GameJukebox.iVolume || GameJukebox.iVolume != 247)
    return Fail("fade step did not change the voice volume");

  // Played to its end, the track reports so; the next request restarts it.
  if (!WaitForEnd(8000)) return Fail("track never ended");
  GameJukebox.updateMusic(1);
  if (GameJukebox.pStream == nullptr || !alogg_is_playing_ogg(GameJukebox.pStream))
    return Fail("track did not restart");
  GameJukebox.stopMusic();
  if (alogg_is_playing_ogg(GameJukebox.pStream)) return Fail("stop did not stop");
  alogg_destroy_ogg(GameJukebox.pStream);
  GameJukebox.pStream = nullptr;
  fprintf(stderr, "alsa probe: played, faded, ended, restarted\n");
  return 0;
}

int main(int argc, char **argv) {
  if (argc != 2) return Fail("usage: audio_alsa_probe TRACK.ogg");
  return Probe(argv[1]);
}
END_OF_MAIN()
