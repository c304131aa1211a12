// OGG Vorbis streaming for the Jukebox: a track held in the caller's memory
// is decoded with libvorbisfile and fed to an Allegro audio stream (16-bit
// stereo at the file's own rate; mono files play on both sides), refilled by
// an Allegro timer callback.
//
// Without a sound driver (the silent run of start-up) a started stream plays
// nothing but still reports itself playing until its length has passed,
// counted in GameTicks, and then ends like a heard track.
//
// Threads: the refill runs on Allegro's timer thread, every other call on the
// game thread; one lock inside this module keeps them apart.
#pragma once
#include <cstdint>

// One decoding stream; opaque outside ogg_stream.cpp.
struct OggStream;

// A stream reading from data[0 .. size-1], or null when the bytes are not OGG
// Vorbis. The data is only read, and must stay untouched until the stream is
// destroyed.
OggStream *alogg_create_ogg_from_buffer(const void *data, int size);

// Starts playback from the beginning. bufferBytes: size of the playback
// buffer in bytes; vol and pan 0..255 (pan 127/128 is the middle); speed in
// thousandths of normal (1000 = as recorded); loop non-zero restarts at the
// end. Returns 0 when playing (or counting time under the silent driver),
// non-zero when the stream is null or no playback could be set up.
int alogg_play_ex_ogg(OggStream *stream, int bufferBytes, int vol, int pan, int speed, int loop);

// Refills the playback buffer every `msec` milliseconds from a timer callback
// until the stream is stopped or destroyed. Returns 0 on success (at once
// for a stream playing under the silent driver), non-zero when the timer
// callback could not be installed.
int alogg_start_autopoll_ogg(OggStream *stream, int msec);

// Non-zero while the stream plays: after play and before it ends or is stopped.
int alogg_is_playing_ogg(OggStream *stream);

// Changes volume, pan and speed of the playing stream at once (same ranges as
// alogg_play_ex_ogg).
void alogg_adjust_ogg(OggStream *stream, int vol, int pan, int speed, int loop);

// Holds a playing stream at its place, or lets it go on. A stream without a
// driver counts its time in GameTicks, which stand still in a pause anyway.
void OggStreamPause(OggStream *stream, bool bPaused);

// Stops playback and polling; the stream stays valid and may play again.
void alogg_stop_ogg(OggStream *stream);

// Stops the stream and frees everything it holds; its data may then be freed.
void alogg_destroy_ogg(OggStream *stream);

// ---- Queries used by tests and tools (game thread only) ----

// Sample rate in Hz and channel count of the file.
int OggStreamRate(const OggStream *stream);
int OggStreamChannels(const OggStream *stream);
// Length of the file in sample frames, or -1 when it cannot be told.
int64_t OggStreamFrames(const OggStream *stream);
// Volume most recently set by play or adjust (0..255).
int OggStreamVolume(const OggStream *stream);
// The Allegro voice the stream plays on, or -1 (silent driver, not playing).
int OggStreamVoice(const OggStream *stream);

// Decodes up to `frames` frames from the current position into `out` as
// interleaved signed 16-bit stereo (the same conversion playback uses).
// Returns the frames written: fewer than asked only at the end of the data.
// Not for a stream that is playing.
int OggStreamDecode(OggStream *stream, int16_t *out, int frames);

// Back to the first sample (for decoding again). Returns 0 on success.
int OggStreamRewind(OggStream *stream);
