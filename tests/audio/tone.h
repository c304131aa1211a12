// Short OGG Vorbis test tones, encoded in memory, and file helpers.
#pragma once
#include <string>
#include <vector>

// A sine tone of `seconds` at `rate` Hz: left (or mono) at 440 Hz and
// amplitude 0.5, right at 660 Hz and amplitude 0.25.
std::vector<unsigned char> ToneOgg(double seconds, int rate, int channels);

// Writes bytes to a file; true on success.
bool WriteFileBytes(const std::string &cPath, const std::vector<unsigned char> &bytes);

// A fresh empty directory under the system's temporary folder.
std::string MakeTempDir();
