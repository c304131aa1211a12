// OGG Vorbis streaming: libvorbisfile decodes from the caller's buffer through
// memory callbacks; a timer callback keeps an Allegro audio stream topped up.
#include "audio/ogg_stream.h"

#include <allegro.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>
#include <vector>

#include "app/globals.h"

namespace {

// Frames per Allegro transfer buffer are the caller's buffer bytes / 16, kept
// in this range (4096 frames, 93 ms at 44.1 kHz, for the Jukebox's 64 KB).
const int MinTransferFrames = 512;
const int MaxTransferFrames = 16384;
// Consecutive decode errors after which the rest of a file counts as lost.
const int MaxDecodeErrors = 32;
const int MsecPerTick = 20;

}  // namespace

struct OggStream {
  // The caller's bytes, read through the memory callbacks.
  const unsigned char *pData;
  size_t iSize;
  size_t iPos;
  OggVorbis_File vf;
  int iRate;
  int iChannels;
  int64_t iFrames;

  // Playback state, shared with the timer callback under StreamLock.
  AUDIOSTREAM *pAudio;
  int iTransferFrames;
  int iVolume;
  int iPan;
  int iSpeed;
  bool bLoop;
  // Written under StreamLock (the refill ends it), read without it: asking
  // whether a track plays never waits for a refill that is decoding.
  std::atomic<bool> bPlaying;
  bool bSilent;        // no driver: time is counted instead of heard
  int64_t iSilentMs;   // silent play time before iSilentTick, at earlier speeds
  int32_t iSilentTick;
  bool bEnded;         // the decoder has run out of data
  int iTailBuffers;    // silent transfer buffers queued since the end
  bool bPolling;
  bool bPaused;        // the voice is held at its place (game paused)
  std::vector<int16_t> vScratch;
};

namespace {

// Guards every OggStream field that the timer callback touches, and the set
// of live streams, so a callback that fires during destroy finds nothing.
std::mutex StreamLock;
std::unordered_set<OggStream *> LiveStreams;

// ---- Memory callbacks for libvorbisfile ----

size_t MemRead(void *pTo, size_t iSize, size_t iCount, void *pSource) {
  OggStream *s = static_cast<OggStream *>(pSource);
  if (iSize == 0) return 0;
  size_t iLeft = s->iSize - s->iPos;
  size_t iItems = std::min(iCount, iLeft / iSize);
  memcpy(pTo, s->pData + s->iPos, iItems * iSize);
  s->iPos += iItems * iSize;
  return iItems;
}

int MemSeek(void *pSource, ogg_int64_t iOffset, int iWhence) {
  OggStream *s = static_cast<OggStream *>(pSource);
  ogg_int64_t iBase = 0;
  if (iWhence == SEEK_CUR) iBase = static_cast<ogg_int64_t>(s->iPos);
  else if (iWhence == SEEK_END) iBase = static_cast<ogg_int64_t>(s->iSize);
  else if (iWhence != SEEK_SET) return -1;
  if (iOffset > static_cast<ogg_int64_t>(s->iSize) - iBase || iOffset < -iBase) return -1;
  s->iPos = static_cast<size_t>(iBase + iOffset);
  return 0;
}

long MemTell(void *pSource) { return static_cast<long>(static_cast<OggStream *>(pSource)->iPos); }

int Clamp(int iValue, int iLow, int iHigh) { return std::max(iLow, std::min(iHigh, iValue)); }

int16_t FloatToSample(float f) {
  if (!(f == f)) return 0;  // NaN from a damaged packet
  float v = f * 32767.0f;
  if (v >= 32767.0f) return 32767;
  if (v <= -32768.0f) return -32768;
  return static_cast<int16_t>(lrintf(v));
}

// Decodes up to iFrames stereo frames into pOut. Mono is doubled; of more
// channels the first two are kept. Returns the frames written.
int DecodeStereo(OggStream *s, int16_t *pOut, int iFrames) {
  int iDone = 0;
  int iErrors = 0;
  while (iDone < iFrames) {
    float **ppPcm = nullptr;
    int iSection = 0;
    long iGot = ov_read_float(&s->vf, &ppPcm, iFrames - iDone, &iSection);
    if (iGot == 0) break;
    if (iGot < 0) {
      if (iGot == OV_HOLE && ++iErrors < MaxDecodeErrors) continue;
      break;
    }
    iErrors = 0;
    vorbis_info *pInfo = ov_info(&s->vf, -1);
    int iChannels = pInfo != nullptr ? pInfo->channels : 1;
    const float *pLeft = ppPcm[0];
    const float *pRight = iChannels > 1 ? ppPcm[1] : ppPcm[0];
    for (long i = 0; i < iGot; ++i) {
      pOut[2 * (iDone + i)] = FloatToSample(pLeft[i]);
      pOut[2 * (iDone + i) + 1] = FloatToSample(pRight[i]);
    }
    iDone += static_cast<int>(iGot);
  }
  return iDone;
}

// Fills one Allegro transfer buffer (unsigned 16-bit stereo). Called with
// StreamLock held. After the end of the data, silence is queued until every
// real sample has left the ring, and then the stream counts as ended.
void FillTransfer(OggStream *s, uint16_t *pBuffer) {
  int iFrames = s->iTransferFrames;
  int iDone = 0;
  if (!s->bEnded) {
    int16_t *pPcm = s->vScratch.data();
    iDone = DecodeStereo(s, pPcm, iFrames);
    if (iDone < iFrames && s->bLoop && ov_pcm_seek(&s->vf, 0) == 0)
      iDone += DecodeStereo(s, pPcm + 2 * iDone, iFrames - iDone);
    if (iDone < iFrames) s->bEnded = true;
    for (int i = 0; i < 2 * iDone; ++i) pBuffer[i] = static_cast<uint16_t>(pPcm[i]) ^ 0x8000;
  } else {
    ++s->iTailBuffers;
  }
  for (int i = 2 * iDone; i < 2 * iFrames; ++i) pBuffer[i] = 0x8000;
  // The ring holds 2 * bufcount transfer buffers; once that many silent ones
  // have followed the last sample, the last sample has been played.
  if (s->bEnded && s->iTailBuffers > 2 * s->pAudio->bufcount) s->bPlaying = false;
}

// Tops up the Allegro stream. Called with StreamLock held.
void Refill(OggStream *s) {
  // A paused voice must stay stopped: handing back a buffer would start it.
  if (!s->bPlaying || s->bPaused || s->pAudio == nullptr) return;
  for (int i = 0; i < 8 && s->bPlaying; ++i) {
    void *pBuffer = get_audio_stream_buffer(s->pAudio);
    if (pBuffer == nullptr) break;
    FillTransfer(s, static_cast<uint16_t *>(pBuffer));
    free_audio_stream_buffer(s->pAudio);
  }
}

// Allegro timer callback (timer thread).
void PollCallback(void *pParam) {
  std::lock_guard<std::mutex> guard(StreamLock);
  OggStream *s = static_cast<OggStream *>(pParam);
  if (LiveStreams.count(s) == 0 || !s->bPolling) return;
  Refill(s);
}

bool NoSoundDriver() { return digi_driver == nullptr || digi_driver->id == DIGI_NONE; }

int64_t SilentPlayedMs(const OggStream *s) {
  int64_t iElapsed = static_cast<int64_t>(TicksSince(s->iSilentTick)) * MsecPerTick;
  return s->iSilentMs + iElapsed * s->iSpeed / 1000;
}

int64_t LengthMs(const OggStream *s) {
  if (s->iFrames <= 0 || s->iRate <= 0) return 0;
  return s->iFrames * 1000 / s->iRate;
}

int VoiceFrequency(const OggStream *s) {
  int64_t iFreq = static_cast<int64_t>(s->iRate) * s->iSpeed / 1000;
  return static_cast<int>(std::max<int64_t>(1, std::min<int64_t>(iFreq, 1000000)));
}

// Ends playback and hands back what the caller must release outside the lock.
AUDIOSTREAM *HaltLocked(OggStream *s, bool *pWasPolling) {
  AUDIOSTREAM *pAudio = s->pAudio;
  *pWasPolling = s->bPolling;
  s->pAudio = nullptr;
  s->bPolling = false;
  s->bPlaying = false;
  s->bPaused = false;  // a new start plays
  return pAudio;
}

// Allegro's timer calls run outside StreamLock: the timer thread may be
// waiting for the lock inside PollCallback.
void Halt(OggStream *s) {
  bool bWasPolling = false;
  AUDIOSTREAM *pAudio;
  {
    std::lock_guard<std::mutex> guard(StreamLock);
    pAudio = HaltLocked(s, &bWasPolling);
  }
  if (bWasPolling) remove_param_int(PollCallback, s);
  if (pAudio != nullptr) stop_audio_stream(pAudio);
}

}  // namespace

OggStream *alogg_create_ogg_from_buffer(const void *data, int size) {
  if (data == nullptr || size <= 0) return nullptr;
  OggStream *s = new (std::nothrow) OggStream();
  if (s == nullptr) return nullptr;
  s->pData = static_cast<const unsigned char *>(data);
  s->iSize = static_cast<size_t>(size);
  ov_callbacks callbacks = {MemRead, MemSeek, nullptr, MemTell};
  // On failure libvorbisfile clears the OggVorbis_File itself.
  if (ov_open_callbacks(s, &s->vf, nullptr, 0, callbacks) != 0) {
    delete s;
    return nullptr;
  }
  vorbis_info *pInfo = ov_info(&s->vf, -1);
  if (pInfo == nullptr || pInfo->channels < 1 || pInfo->rate < 1) {
    ov_clear(&s->vf);
    delete s;
    return nullptr;
  }
  s->iRate = static_cast<int>(std::min<long>(pInfo->rate, 1000000));
  s->iChannels = pInfo->channels;
  ogg_int64_t iTotal = ov_pcm_total(&s->vf, -1);
  s->iFrames = iTotal >= 0 ? iTotal : -1;
  s->iVolume = 255;
  s->iPan = 128;
  s->iSpeed = 1000;
  std::lock_guard<std::mutex> guard(StreamLock);
  LiveStreams.insert(s);
  return s;
}

int alogg_play_ex_ogg(OggStream *stream, int bufferBytes, int vol, int pan, int speed, int loop) {
  if (stream == nullptr) return -1;
  Halt(stream);
  ov_pcm_seek(&stream->vf, 0);
  int iTransfer = Clamp(bufferBytes / 16, MinTransferFrames, MaxTransferFrames);
  std::lock_guard<std::mutex> guard(StreamLock);
  OggStream *s = stream;
  s->iVolume = Clamp(vol, 0, 255);
  s->iPan = Clamp(pan, 0, 255);
  s->iSpeed = std::max(1, speed);
  s->bLoop = loop != 0;
  s->bEnded = false;
  s->iTailBuffers = 0;
  s->iTransferFrames = iTransfer;
  s->vScratch.assign(2 * static_cast<size_t>(iTransfer), 0);
  s->bSilent = NoSoundDriver();
  if (!s->bSilent) {
    s->pAudio = play_audio_stream(iTransfer, 16, 1, s->iRate, s->iVolume, s->iPan);
    s->bSilent = s->pAudio == nullptr;
  }
  s->iSilentMs = 0;
  s->iSilentTick = GameTicks.load(std::memory_order_relaxed);
  s->bPlaying = true;
  if (s->pAudio != nullptr) {
    if (s->iSpeed != 1000) voice_set_frequency(s->pAudio->voice, VoiceFrequency(s));
    Refill(s);
  }
  return 0;
}

int alogg_start_autopoll_ogg(OggStream *stream, int msec) {
  if (stream == nullptr) return -1;
  {
    std::lock_guard<std::mutex> guard(StreamLock);
    // A silent stream counts its time and has nothing to refill.
    if (stream->bPolling || (stream->bPlaying && stream->bSilent)) return 0;
    if (timer_driver == nullptr) return -1;
    stream->bPolling = true;
  }
  if (install_param_int(PollCallback, stream, std::max(1, msec)) != 0) {
    std::lock_guard<std::mutex> guard(StreamLock);
    stream->bPolling = false;
    return -1;
  }
  return 0;
}

int alogg_is_playing_ogg(OggStream *stream) {
  if (stream == nullptr || !stream->bPlaying) return 0;
  // The silent clock's fields are written on this (the game) thread only.
  if (stream->bSilent && !stream->bLoop && SilentPlayedMs(stream) >= LengthMs(stream)) {
    std::lock_guard<std::mutex> guard(StreamLock);
    stream->bPlaying = false;
    return 0;
  }
  return 1;
}

void alogg_adjust_ogg(OggStream *stream, int vol, int pan, int speed, int loop) {
  if (stream == nullptr) return;
  std::lock_guard<std::mutex> guard(StreamLock);
  OggStream *s = stream;
  if (s->bSilent && s->bPlaying) {
    // Bank the time played at the old speed before switching.
    s->iSilentMs = SilentPlayedMs(s);
    s->iSilentTick = GameTicks.load(std::memory_order_relaxed);
  }
  s->iVolume = Clamp(vol, 0, 255);
  s->iPan = Clamp(pan, 0, 255);
  s->iSpeed = std::max(1, speed);
  s->bLoop = loop != 0;
  if (s->pAudio != nullptr) {
    voice_set_volume(s->pAudio->voice, s->iVolume);
    voice_set_pan(s->pAudio->voice, s->iPan);
    voice_set_frequency(s->pAudio->voice, VoiceFrequency(s));
  }
}

void OggStreamPause(OggStream *stream, bool bPaused) {
  if (stream == nullptr) return;
  std::lock_guard<std::mutex> guard(StreamLock);
  if (stream->pAudio == nullptr || stream->bPaused == bPaused) return;
  stream->bPaused = bPaused;
  if (bPaused)
    voice_stop(stream->pAudio->voice);
  else
    voice_start(stream->pAudio->voice);
}

void alogg_stop_ogg(OggStream *stream) {
  if (stream != nullptr) Halt(stream);
}

void alogg_destroy_ogg(OggStream *stream) {
  if (stream == nullptr) return;
  {
    std::lock_guard<std::mutex> guard(StreamLock);
    LiveStreams.erase(stream);
  }
  Halt(stream);
  ov_clear(&stream->vf);
  delete stream;
}

int OggStreamRate(const OggStream *stream) { return stream != nullptr ? stream->iRate : 0; }
int OggStreamChannels(const OggStream *stream) { return stream != nullptr ? stream->iChannels : 0; }
int64_t OggStreamFrames(const OggStream *stream) { return stream != nullptr ? stream->iFrames : -1; }

int OggStreamVolume(const OggStream *stream) {
  if (stream == nullptr) return 0;
  std::lock_guard<std::mutex> guard(StreamLock);
  return stream->iVolume;
}

int OggStreamVoice(const OggStream *stream) {
  if (stream == nullptr) return -1;
  std::lock_guard<std::mutex> guard(StreamLock);
  return stream->pAudio != nullptr ? stream->pAudio->voice : -1;
}

int OggStreamDecode(OggStream *stream, int16_t *out, int frames) {
  if (stream == nullptr || out == nullptr || frames <= 0) return 0;
  std::lock_guard<std::mutex> guard(StreamLock);
  return DecodeStereo(stream, out, frames);
}

int OggStreamRewind(OggStream *stream) {
  if (stream == nullptr) return -1;
  std::lock_guard<std::mutex> guard(StreamLock);
  return ov_pcm_seek(&stream->vf, 0) == 0 ? 0 : -1;
}
