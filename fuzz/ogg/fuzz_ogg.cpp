// Any bytes handed to the OGG layer: it must refuse them or decode them
// without reading outside the buffer, and leave nothing behind.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/ogg_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > (1u << 20)) return 0;
  // An exactly sized copy, so any read past the end is caught.
  std::vector<unsigned char> buffer(data, data + size);
  OggStream *pStream = alogg_create_ogg_from_buffer(buffer.empty() ? nullptr : buffer.data(),
                                                     static_cast<int>(buffer.size()));
  if (pStream == nullptr) return 0;
  if (OggStreamRate(pStream) <= 0 || OggStreamChannels(pStream) <= 0) __builtin_trap();
  // A short decode: at most about a second of sound.
  int16_t pcm[2 * 4096];
  for (int i = 0; i < 12 && OggStreamDecode(pStream, pcm, 4096) == 4096; ++i) {
  }
  OggStreamRewind(pStream);
  OggStreamDecode(pStream, pcm, 1024);
  // Without a sound driver, playing only counts time.
  alogg_play_ex_ogg(pStream, 65536, 255, 127, 1000, 0);
  alogg_adjust_ogg(pStream, 100, 0, 1500, 0);
  alogg_is_playing_ogg(pStream);
  alogg_stop_ogg(pStream);
  alogg_destroy_ogg(pStream);
  return 0;
}
