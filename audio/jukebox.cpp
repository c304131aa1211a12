// Jukebox: a playlist of numbered tracks; the asked-for track starts whenever
// nothing plays, and a fade steps the volume down to silence.
#include "audio/jukebox.h"

#include <allegro.h>

#include <cstdlib>
#include <cstring>

#include "app/globals.h"
#include "app/list.h"
#include "audio/ogg_stream.h"

Jukebox GameJukebox;

namespace {
const int StreamBufferBytes = 65536;
const int AutoPollMsec = 25;
const int FadeStep = 8;
}  // namespace

Jukebox::Jukebox()
    : pPlaylist(nullptr), iVolume(0), iMusicVolume(255), iPan(0), iPlaySpeed(0), iLastFadeTick(0),
      pFile(nullptr), pStream(nullptr), iDataSize(0), pData(nullptr), iFailedTrack(-1) {}

void Jukebox::initJukebox() {
  iVolume = 255;
  iPan = 127;
  iPlaySpeed = 1000;
}

ListNode *Jukebox::addTrack(const char *cFile, int iNumber) {
  while (ListFindIKey(pPlaylist, iNumber) != nullptr) ++iNumber;
  ListNode *pNode = ListPush(pPlaylist, nullptr);
  if (pNode == nullptr) return pPlaylist;
  strncpy(pNode->cKey, cFile, sizeof pNode->cKey - 1);
  pNode->cKey[sizeof pNode->cKey - 1] = '\0';
  pNode->iKey = iNumber;
  return pPlaylist;
}

void Jukebox::updateMusic(int iNumber) {
  if (pStream != nullptr && alogg_is_playing_ogg(pStream)) return;
  if (iNumber == iFailedTrack) return;
  ListNode *pTrack = ListFindIKey(pPlaylist, iNumber);
  if (pTrack == nullptr) return;
  playFile(pTrack->cKey);
  iFailedTrack = pStream == nullptr ? iNumber : -1;
}

// The stream reads from pData, so it goes first.
void Jukebox::releaseTrack() {
  if (pStream != nullptr) {
    alogg_destroy_ogg(pStream);
    pStream = nullptr;
  }
  if (pData != nullptr) {
    delete[] pData;
    pData = nullptr;
  }
  iDataSize = 0;
  if (pFile != nullptr) {
    fclose(pFile);
    pFile = nullptr;
  }
}

void Jukebox::playFile(const char *cFile) {
  iVolume = 255;
  releaseTrack();
  pFile = fopen(cFile, "rb");
  if (pFile == nullptr) return;
  iDataSize = static_cast<int>(file_size_ex(cFile));
  pData = new unsigned char[iDataSize];
  // A file that shrank since its size was taken decodes only what was read.
  iDataSize = static_cast<int>(fread(pData, 1, iDataSize, pFile));
  pStream = alogg_create_ogg_from_buffer(pData, iDataSize);
  if (pStream == nullptr) return;
  // Without its refill the stream would loop over its first buffers and
  // never end: such a track plays nothing, like a damaged one.
  if (alogg_play_ex_ogg(pStream, StreamBufferBytes, heardVolume(), iPan, iPlaySpeed, 0) != 0 ||
      alogg_start_autopoll_ogg(pStream, AutoPollMsec) != 0)
    releaseTrack();
}

bool Jukebox::fadeMusic(int iDelay) {
  bool bDone = false;
  if (iVolume < 0) return true;
  if (TicksSince(iLastFadeTick) > iDelay) {
    iVolume -= FadeStep;
    if (iVolume < 0) {
      iVolume = 0;
      bDone = true;
      if (pStream != nullptr && alogg_is_playing_ogg(pStream)) stopMusic();
    }
    if (pStream != nullptr) alogg_adjust_ogg(pStream, heardVolume(), iPan, iPlaySpeed, 0);
    iLastFadeTick = GameTicks.load(std::memory_order_relaxed);
  }
  return bDone;
}

void Jukebox::shutdownJukebox() {
  releaseTrack();
  ListFree(pPlaylist);
  pPlaylist = nullptr;
}

void Jukebox::stopMusic() {
  alogg_stop_ogg(pStream);
  iVolume = 255;
}

void Jukebox::setMusicVolume(int iLevel) {
  iMusicVolume = iLevel < 0 ? 0 : iLevel > 255 ? 255 : iLevel;
  if (pStream != nullptr && alogg_is_playing_ogg(pStream))
    alogg_adjust_ogg(pStream, heardVolume(), iPan, iPlaySpeed, 0);
}

int Jukebox::heardVolume() const { return iVolume * iMusicVolume / 255; }

void Jukebox::pauseMusic(bool bPaused) { OggStreamPause(pStream, bPaused); }
