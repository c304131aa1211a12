// Jukebox: until the streaming layer lands the tracks are only registered.
#include "audio/jukebox.h"

#include <cstdlib>
#include <cstring>

#include "app/list.h"

Jukebox GameJukebox;

Jukebox::Jukebox()
    : pPlaylist(nullptr), iVolume(0), iPan(0), iPlaySpeed(0), iLastFadeTick(0),
      pFile(nullptr), pStream(nullptr), iDataSize(0), pData(nullptr) {}

void Jukebox::initJukebox() {
  iVolume = 255;
  iPan = 127;
  iPlaySpeed = 1000;
}

ListNode *Jukebox::addTrack(const char *cFile, int iNumber) {
  ListNode *pNode = ListNewNode();
  if (pNode == nullptr) return pPlaylist;
  strncpy(pNode->cKey, cFile, sizeof pNode->cKey - 1);
  while (ListFindIKey(pPlaylist, iNumber) != nullptr) ++iNumber;
  pNode->iKey = iNumber;
  pPlaylist = ListAppend(pPlaylist, pNode);
  free(pNode);
  return pPlaylist;
}

void Jukebox::updateMusic(int) {}
void Jukebox::playFile(const char *) {}
bool Jukebox::fadeMusic(int) { return true; }
void Jukebox::stopMusic() { iVolume = 255; }
