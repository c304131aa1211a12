// The Jukebox: numbered OGG tracks, each read whole into memory and streamed
// from there. One per program (GameJukebox). Game thread only.
#pragma once
#include <cstdio>

struct ListNode;
struct OggStream;

class Jukebox {
 public:
  Jukebox();
  // Default volume 255, pan 127, speed 1000. Called once by start-up.
  void initJukebox();
  // Registers a file under the smallest free number not below iNumber.
  // Returns the head of the playlist.
  ListNode *addTrack(const char *cFile, int iNumber);
  // Called once per frame by each screen: when nothing plays, starts track
  // iNumber from its beginning; a playing track keeps playing. A track that
  // could not start is not tried again until another number is asked for.
  void updateMusic(int iNumber);
  // Replaces the current track with the given file, read whole into memory.
  // A file that is missing or not OGG Vorbis plays nothing.
  void playFile(const char *cFile);
  // One step of the 32-step fade-out, at most every iDelay + 1 ticks; true
  // once the fade is complete (the track is then stopped, volume back at 255).
  bool fadeMusic(int iDelay);
  // Stops the stream; the volume is back at 255 for the next start.
  void stopMusic();
  // Holds the playing track at its place (true) or lets it go on (false).
  void pauseMusic(bool bPaused);
  // The player's music volume, 0 (off) .. 255, under every start and fade;
  // the playing track takes it at once.
  void setMusicVolume(int iLevel);
  int musicVolume() const { return iMusicVolume; }
  // Stops the music and frees the stream, the track's bytes, its file and
  // the playlist. Called on every way out of the program, before the timers
  // and the sound system go.
  void shutdownJukebox();

  // The stream's volume: the fade's under the player's.
  int heardVolume() const;
  // Frees the current stream, then the bytes it read, then the file.
  void releaseTrack();

  ListNode *pPlaylist;   // iKey = track number, cKey = file name
  int iVolume;           // 0..255, for the next start and the fade
  int iMusicVolume;      // 0..255, the player's volume, scaling iVolume
  int iPan;              // 127 = middle
  int iPlaySpeed;        // 1000 = normal
  int iLastFadeTick;     // GameTicks at the last fade step
  FILE *pFile;           // the current track's file, open until the next track
  OggStream *pStream;    // the current stream, reading from pData
  int iDataSize;         // bytes in pData
  unsigned char *pData;  // the whole current track file
  int iFailedTrack;      // the number that last failed to start, or -1
};

// The game's tracks, as StartGameMusic (audio/game_music.h) registers them.
const int kTitleTrack = 1;     // "Dances with Dragons.ogg": the title menu
const int kWorldMapTrack = 2;  // "Zeal.ogg": the world map
const int kStageTrack = 3;     // "Shifting Flames.ogg": every stage

// The program's one music player, alive for the whole process.
extern Jukebox GameJukebox;
