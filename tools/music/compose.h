// From a score to sound: the arrangement (which instrument plays what, with
// seeded variations) and the mix into a seamlessly looping stereo track.
#pragma once
#include <string>
#include <vector>

#include "score.h"
#include "synth.h"

// One hit of a drum, in seconds from the track's start.
struct DrumHit {
  double dStart;
  Drum drum;
  double dPitch;
  float fVelocity;
  float fPan;
};

// Every note of a piece, grouped by the part that plays it.
struct Arrangement {
  struct Part {
    std::string cInstrument;
    float fSend;                  // share of the part sent to the reverb
    std::vector<NoteEvent> vNotes;
  };
  std::vector<Part> vParts;
  std::vector<DrumHit> vDrums;
  double dSeconds = 0;            // the loop's length
};

// Writes out the parts of the score. Deterministic for a given score.
Arrangement Arrange(const Score &score);

// Pitches of a chord voiced in [iLow, iLow + 12] with the smallest movement
// from pPrevious (empty: root position), ascending.
std::vector<int> VoiceChord(const ScoreChord &chord, int iLow, const std::vector<int> &vPrevious);

// Interleaved stereo at kSampleRate, exactly the loop's length: notes and the
// reverb that run past the end continue at the start, so the last sample
// leads into the first. Loudness set to a common level, peaks at -1.5 dBFS.
std::vector<float> RenderArrangement(const Arrangement &arrangement, double dReverb);

// Root-mean-square level of interleaved samples in dB relative to full scale.
double LevelDb(const std::vector<float> &vSamples);
