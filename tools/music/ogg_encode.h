// OGG Vorbis encoding of float PCM with libvorbisenc, byte for byte the same
// for the same input (fixed stream serial number, no clock or randomness).
#pragma once
#include <cstdint>
#include <vector>

// Encodes interleaved samples (-1..1, `channels` per frame) at `rate` Hz with
// VBR quality -0.1..1. Returns the file's bytes, or an empty vector when the
// encoder refuses the settings.
std::vector<unsigned char> EncodeOggVorbis(const std::vector<float> &samples, int channels,
                                           int rate, float quality, int serial = 0x536b7601);
