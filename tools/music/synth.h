// Sound synthesis for the music generator: band-limited oscillators, filters,
// envelopes, the instruments and drums built on them, and a stereo reverb.
// Everything is deterministic: noise comes from a seeded generator.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

const int kSampleRate = 44100;

// xorshift32: the only source of randomness of the generator.
class Rng {
 public:
  explicit Rng(uint32_t iSeed) : iState(iSeed != 0 ? iSeed : 0x9e3779b9u) {}
  uint32_t Next() {
    iState ^= iState << 13;
    iState ^= iState >> 17;
    iState ^= iState << 5;
    return iState;
  }
  // Uniform in [0, 1) and in [-1, 1).
  float Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }
  float Bipolar() { return Unit() * 2.0f - 1.0f; }

 private:
  uint32_t iState;
};

double MidiToHz(double dPitch);

// Sawtooth and square with polynomial band-limited steps (PolyBLEP), so
// harmonics above half the sample rate do not fold back as audible noise.
class BlepOscillator {
 public:
  explicit BlepOscillator(double dPhase = 0) : dPhase(dPhase) {}
  // One sample at frequency dHz; advances the phase.
  float Saw(double dHz);
  float Square(double dHz);

 private:
  double dPhase;
};

// Zero-delay-feedback state-variable filter (trapezoidal integration).
class StateVariableFilter {
 public:
  // Processes one sample; cutoff in Hz, resonance 0 (none) .. 0.95.
  void Process(float fIn, double dCutoff, double dResonance);
  float fLow = 0, fBand = 0, fHigh = 0;

 private:
  double dIc1 = 0, dIc2 = 0;
  double dLastCutoff = -1, dG = 0;
};

// Attack-decay-sustain-release amplitude at time t (seconds) of a note held
// for dHeld seconds; attack is linear, decay and release exponential-like.
struct Envelope {
  double dAttack, dDecay, dSustain, dRelease;
  float At(double dTime, double dHeld) const;
};

// One note to be played: times in seconds, pitch in (fractional) MIDI.
struct NoteEvent {
  double dStart;
  double dLength;
  double dPitch;
  float fVelocity;  // 0..1
  float fPan;       // -1 left .. 1 right
};

// Instrument names the scores may use. Returns false for an unknown name.
bool IsInstrument(const std::string &cName);
// Mono samples of one note, release included. rng supplies noise and phases.
std::vector<float> RenderVoice(const std::string &cInstrument, const NoteEvent &note, Rng &rng);

enum class Drum { Kick, Snare, Rim, HatClosed, HatOpen, Crash, Shaker, Tom, Timpani };
// Mono samples of one drum hit; dPitch matters for Tom and Timpani only.
std::vector<float> RenderDrum(Drum drum, double dPitch, float fVelocity, Rng &rng);

// Stereo reverb of parallel damped combs and series all-passes, with
// different lengths per side for width.
class Reverb {
 public:
  Reverb(double dRoomSize, double dDamping);
  // Wet signal for one mono input sample.
  void Process(float fIn, float *pLeft, float *pRight);

 private:
  struct Comb {
    std::vector<float> vLine;
    size_t iPos = 0;
    float fStore = 0;
  };
  struct AllPass {
    std::vector<float> vLine;
    size_t iPos = 0;
  };
  float RunComb(Comb &comb, float fIn);
  static float RunAllPass(AllPass &pass, float fIn);
  std::vector<Comb> vCombs[2];
  std::vector<AllPass> vPasses[2];
  float fFeedback, fDamping;
};
