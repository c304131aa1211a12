// Child program of the ALSA null-device test: brings up the library and the
// sound step of the game's start-up, then plays a track through GameJukebox
// on the real digital driver; or, with --stress, starts, stops, fades and
// destroys several streams at random while their refill timers run. Prints
// what went wrong and exits non-zero on any failure.
// Usage: audio_alsa_probe [--stress] TRACK.ogg
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/startup.h"
#include "audio/effects.h"
#include "audio/game_music.h"
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

static int StartSound() {
  if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) return Fail("no system driver");
  if (install_timer() != 0) return Fail("no timer");
  if (install_int_ex(OnGameTick, MSEC_TO_TIMER(20)) != 0) return Fail("no tick");
  InstallSoundOrGoSilent();
  if (digi_driver == nullptr || digi_driver->id == DIGI_NONE) return Fail("silent driver");
  fprintf(stderr, "alsa probe: digital driver %s\n", digi_driver->name);
  return 0;
}

// Four streams over one track, 400 random steps a few milliseconds apart.
static int Stress(const char *cTrack) {
  PACKFILE *pFile = pack_fopen(cTrack, "r");
  if (pFile == nullptr) return Fail("no track");
  std::vector<unsigned char> bytes(static_cast<size_t>(file_size_ex(cTrack)));
  pack_fread(bytes.data(), static_cast<long>(bytes.size()), pFile);
  pack_fclose(pFile);
  const int iSize = static_cast<int>(bytes.size());
  std::vector<OggStream *> streams(4, nullptr);
  std::mt19937 gen(20);
  int iPlayed = 0;
  for (int iStep = 0; iStep < 400; ++iStep) {
    OggStream *&s = streams[gen() % streams.size()];
    switch (gen() % 6) {
      case 0:
        alogg_destroy_ogg(s);
        s = alogg_create_ogg_from_buffer(bytes.data(), iSize);
        if (s == nullptr) return Fail("stream not created");
        break;
      case 1:
        if (s != nullptr && alogg_play_ex_ogg(s, 65536, 255, 127, 800 + gen() % 400, 0) == 0 &&
            alogg_start_autopoll_ogg(s, 25) == 0)
          ++iPlayed;
        break;
      case 2: alogg_adjust_ogg(s, static_cast<int>(gen() % 256), 127, 1000, 0); break;
      case 3: alogg_stop_ogg(s); break;
      case 4: alogg_is_playing_ogg(s); break;
      default:
        alogg_destroy_ogg(s);
        s = nullptr;
        break;
    }
    rest(gen() % 6);
  }
  for (OggStream *s : streams) alogg_destroy_ogg(s);
  if (iPlayed < 20) return Fail("too few streams played");
  fprintf(stderr, "alsa probe: %d streams played under stress\n", iPlayed);
  return 0;
}

static int Probe(const char *cTrack) {
  GameJukebox.initJukebox();
  GameJukebox.addTrack(cTrack, 1);
  GameJukebox.updateMusic(1);
  OggStream *pStream = GameJukebox.pStream;
  if (pStream == nullptr || !alogg_is_playing_ogg(pStream)) return Fail("track did not start");
  int iVoice = OggStreamVoice(pStream);
  if (iVoice < 0) return Fail("no voice");
  // The driver's mixing thread moves the voice on; on a busy machine it may
  // take a while to be scheduled, so it gets up to five seconds.
  const int iFirst = voice_get_position(iVoice);
  int iLater = iFirst;
  for (int i = 0; i < 100 && iFirst >= 0 && iLater == iFirst; ++i) {
    rest(50);
    iLater = voice_get_position(iVoice);
  }
  if (iFirst < 0 || iLater < 0 || iLater == iFirst) return Fail("voice does not advance");

  // A pause holds the voice at its place; it goes on from there.
  GameJukebox.pauseMusic(true);
  const int iHeld = voice_get_position(iVoice);
  rest(300);
  if (voice_get_position(iVoice) != iHeld) return Fail("the paused voice moved");
  if (!alogg_is_playing_ogg(GameJukebox.pStream)) return Fail("the paused track counts as ended");
  GameJukebox.pauseMusic(false);
  int iGoing = iHeld;
  for (int i = 0; i < 100 && iGoing == iHeld; ++i) {
    rest(50);
    iGoing = voice_get_position(iVoice);
  }
  if (iGoing == iHeld) return Fail("the voice did not go on after the pause");

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
  fprintf(stderr, "alsa probe: played, paused, faded, ended, restarted\n");
  return 0;
}

// The game's effects on the library's voices: the breath plays on a voice of
// its own, holds with a pause and ends by itself.
static int ProbeEffects(const char *cEffects) {
  if (!GameEffects.load(cEffects)) return Fail("the effects file did not load");
  GameEffects.play(Effect::Breath);
  if (GameEffects.voicesInUse() != 1) return Fail("the breath has no voice");
  rest(60);
  GameEffects.hold(true);
  GameEffects.play(Effect::HitOrc);
  if (GameEffects.starts(Effect::HitOrc) != 0) return Fail("an effect started while held");
  GameEffects.hold(false);
  // The breath is 0.3 s long; it has ended well within two seconds.
  for (int i = 0; i < 40; ++i) rest(50);
  GameTicks += 100;
  GameEffects.play(Effect::MenuMove);
  if (GameEffects.voicesInUse() != 1) return Fail("the ended breath kept its voice");
  fprintf(stderr, "alsa probe: effects played, held, ended\n");
  return 0;
}

int main(int argc, char **argv) {
  const bool bStress = argc == 3 && std::string(argv[1]) == "--stress";
  if (argc != 2 && !bStress) return Fail("usage: audio_alsa_probe [--stress] TRACK.ogg");
  if (StartSound() != 0) return 1;
  int iResult = bStress ? Stress(argv[2]) : Probe(argv[1]);
  if (!bStress && iResult == 0) iResult = ProbeEffects(SKV_DATA_DIR "/effects.dat");
  // The game's own way out: the music first, then the tick and the library.
  StopGameMusic();
  ShutDown();
  return iResult;
}
END_OF_MAIN()
