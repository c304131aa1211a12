// The Jukebox: numbered OGG tracks, each read whole into memory and streamed
// from there. One per program (GameJukebox).
#pragma once
#include <cstdio>

struct ListNode;

class Jukebox {
 public:
  Jukebox();
  // Default volume 255, pan 127, speed 1000. Called once by start-up.
  void initJukebox();
  // Registers a file under the smallest free number not below iNumber.
  ListNode *addTrack(const char *cFile, int iNumber);
  // Called once per frame: starts track iNumber when nothing plays.
  void updateMusic(int iNumber);
  // Replaces the current track with the given file, read whole into memory.
  void playFile(const char *cFile);
  // One step of the 32-step fade-out; true once it is complete.
  bool fadeMusic(int iDelay);
  void stopMusic();

  ListNode *pPlaylist;
  int iVolume;
  int iPan;
  int iPlaySpeed;
  int iLastFadeTick;
  FILE *pFile;
  void *pStream;
  int iDataSize;
  unsigned char *pData;
};

// The program's one music player, alive for the whole process.
extern Jukebox GameJukebox;
