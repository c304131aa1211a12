// Sound effects from text recipes: a small format of layered noise, swept
// oscillators and the music's instruments, rendered at the music's rate in
// mono, loudness-matched across the set and packed into one datafile.
//
//   # a comment: "#" at the start of a word, to the end of the line
//   effect BREATH 0.30 seed 11    name (as the game asks for it), length in
//                                 seconds, seed of its noise
//   noise band 500>1800 q 0.3 env 0.02 0.1 0.4 0.12 gain 1
//   saw 140>70 low 900 env 0.01 0.1 0.3 0.1 gain 0.3
//   notes harp A5:0.06 E6:0.2 gain 0.8
//   reverb 0.2                    the effect's reverb send, 0..1
//
// Each layer line starts with its source: `noise`, `saw`, `square`, `sine`
// (these three take their pitch in Hz next: `F`, or `F1>F2` for a sweep over
// the layer's length) or `notes INSTRUMENT` followed by notes `C5:0.1`
// (seconds; `r` rests) on one of the music's instruments. Then, in any order:
//   at T            start, seconds from the effect's start (default 0)
//   for T           the layer's length (default: to the end of the effect)
//   env A D S R     attack and decay seconds, sustain level, release seconds
//                   (released at the end of `for`); default 0.004 0 1 0.02
//   low|band|high F filter, F or F1>F2 in Hz, with `q` resonance 0..0.95
//   wobble R D      pitch vibrato of R Hz and D semitones
//   gain G          the layer's level (default 1)
// Sweeps are exponential. Every effect is then scaled to the same loudness
// (its loudest 50 ms), with its peaks kept below full scale.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SfxSweep {
  double dFrom = 0, dTo = 0;
  double At(double dFraction) const;  // exponential from dFrom to dTo
};

struct SfxLayer {
  std::string cSource;      // noise, saw, square, sine, notes
  std::string cInstrument;  // for notes
  struct Note {
    double dPitch;    // MIDI, or -1 for a rest
    double dSeconds;
  };
  std::vector<Note> vNotes;
  SfxSweep pitch;
  double dAt = 0, dFor = -1;
  double dAttack = 0.004, dDecay = 0, dSustain = 1, dRelease = 0.02;
  std::string cFilter;  // "", low, band, high
  SfxSweep filter;
  double dResonance = 0;
  double dWobbleRate = 0, dWobbleDepth = 0;
  double dGain = 1;
};

struct SfxRecipe {
  std::string cName;
  double dSeconds = 0;
  uint32_t uSeed = 1;
  double dReverb = 0;
  std::vector<SfxLayer> vLayers;
};

// Parses the recipes; on failure returns false and sets *pError to
// "line N: what is wrong".
bool ParseSfx(const std::string &cText, std::vector<SfxRecipe> *pRecipes, std::string *pError);

// The effect's samples at kSampleRate, before the loudness match; the same
// recipe always gives the same samples.
std::vector<float> RenderSfx(const SfxRecipe &recipe);

// Scales every effect to the same loudness, its loudest 50 ms at dTarget RMS,
// and lower where its peak would pass dPeak.
void MatchLoudness(std::vector<std::vector<float>> &vEffects, double dTarget, double dPeak);

// Loudness as MatchLoudness measures it: the RMS of the loudest 50 ms.
double LoudestRms(const std::vector<float> &vSamples);

// The effects as one Allegro datafile of 16-bit mono samples, each object
// named by its effect. Returns the bytes of the file.
std::string EffectsDatafile(const std::vector<SfxRecipe> &vRecipes,
                            const std::vector<std::vector<float>> &vEffects);

// One effect as a 16-bit mono WAV file, for listening.
std::string MonoWav(const std::vector<float> &vSamples);
