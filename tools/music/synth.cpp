// Instruments and drums of the generator. Every voice is computed sample by
// sample from oscillators whose steps are band-limited or from filtered noise.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
const double kTwoPi = 2 * kPi;

double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

// A delayed vibrato: no wobble for dDelay seconds, then depth fades in.
double Vibrato(double t, double dDelay, double dDepth, double dRate) {
  double dRamp = std::min(1.0, std::max(0.0, (t - dDelay) / 0.3));
  return dDepth * dRamp * sin(kTwoPi * dRate * t);
}

// Smooth start: a 1 ms ramp so no hit begins with a step.
float Onset(double t) { return static_cast<float>(std::min(1.0, t / 0.001)); }

// Slow-moving values (pitch, cutoff, envelope) are computed every kControl
// samples; the envelope is interpolated in between, the rest held.
const size_t kControl = 16;

class ControlEnvelope {
 public:
  ControlEnvelope(const Envelope &env, double dHeld) : env(env), dHeld(dHeld) {}
  float Next(size_t i) {
    if (i % kControl == 0) {
      fValue = env.At(static_cast<double>(i) / kSampleRate, dHeld);
      float fTarget = env.At(static_cast<double>(i + kControl) / kSampleRate, dHeld);
      fStep = (fTarget - fValue) / kControl;
    } else {
      fValue += fStep;
    }
    return fValue;
  }

 private:
  const Envelope &env;
  double dHeld;
  float fValue = 0, fStep = 0;
};

// One-pole low-pass for noise colouring and drum tone.
struct OnePole {
  float fState = 0;
  float Low(float fIn, double dHz) {
    double dCoef = 1.0 - exp(-kTwoPi * dHz / kSampleRate);
    fState += static_cast<float>(dCoef * (fIn - fState));
    return fState;
  }
  float High(float fIn, double dHz) { return fIn - Low(fIn, dHz); }
};

size_t Frames(double dSeconds) { return static_cast<size_t>(std::max(0.0, dSeconds) * kSampleRate); }

// Fades the last iFade samples of a voice to exactly zero.
void FadeTail(std::vector<float> &v, size_t iFade) {
  iFade = std::min(iFade, v.size());
  for (size_t i = 0; i < iFade; ++i) v[v.size() - 1 - i] *= static_cast<float>(i) / iFade;
}

std::vector<float> Brass(const NoteEvent &n, Rng &rng) {
  const Envelope amp{0.045, 0.35, 0.78, 0.22};
  std::vector<float> out(Frames(n.dLength + amp.dRelease));
  BlepOscillator a(rng.Unit()), b(rng.Unit());
  StateVariableFilter filter;
  ControlEnvelope level(amp, n.dLength);
  double dHz = 0, dCutoff = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (i % kControl == 0) {
      double t = static_cast<double>(i) / kSampleRate;
      dHz = MidiToHz(n.dPitch + Vibrato(t, 0.35, 0.12, 5.3));
      double dBloom = t < 0.07 ? t / 0.07 : 0.55 + 0.45 * exp(-(t - 0.07) / 0.25);
      dCutoff = dHz * 1.2 + (900 + 3200 * n.fVelocity) * dBloom;
    }
    filter.Process(a.Saw(dHz * 1.0015) + b.Saw(dHz * 0.9985), dCutoff, 0.25);
    out[i] = filter.fLow * level.Next(i) * n.fVelocity * 0.45f;
  }
  return out;
}

std::vector<float> Flute(const NoteEvent &n, Rng &rng) {
  const Envelope amp{0.08, 0.3, 0.85, 0.14};
  std::vector<float> out(Frames(n.dLength + amp.dRelease));
  StateVariableFilter breath;
  ControlEnvelope level(amp, n.dLength);
  double dPhase = 0, dHz = 0, dChiff = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (i % kControl == 0) {
      double t = static_cast<double>(i) / kSampleRate;
      dHz = MidiToHz(n.dPitch + Vibrato(t, 0.25, 0.2, 4.9));
      dChiff = 0.4 + 0.6 * exp(-t / 0.08);
    }
    dPhase += kTwoPi * dHz / kSampleRate;
    if (dPhase > kTwoPi) dPhase -= kTwoPi;
    double dTone = sin(dPhase) + 0.25 * sin(2 * dPhase) + 0.08 * sin(3 * dPhase);
    breath.Process(rng.Bipolar(), std::min(dHz * 2, 8000.0), 0.6);
    double dAir = breath.fBand * 0.12 * dChiff;
    out[i] = static_cast<float>((dTone * 0.5 + dAir) * level.Next(i) * n.fVelocity);
  }
  return out;
}

std::vector<float> Lead(const NoteEvent &n, Rng &rng) {
  const Envelope amp{0.006, 0.25, 0.7, 0.09};
  std::vector<float> out(Frames(n.dLength + amp.dRelease));
  BlepOscillator a(rng.Unit()), b(rng.Unit());
  StateVariableFilter filter;
  ControlEnvelope level(amp, n.dLength);
  double dHz = 0, dCutoff = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (i % kControl == 0) {
      double t = static_cast<double>(i) / kSampleRate;
      dHz = MidiToHz(n.dPitch + Vibrato(t, 0.3, 0.15, 5.6));
      dCutoff = 900 + 4200 * n.fVelocity * exp(-t / 0.3) + dHz * 2;
    }
    filter.Process(a.Saw(dHz) + 0.6f * b.Square(dHz * 1.003), dCutoff, 0.35);
    out[i] = filter.fLow * level.Next(i) * n.fVelocity * 0.5f;
  }
  return out;
}

// Three slowly drifting saws through a gentle low-pass: an ensemble pad.
std::vector<float> Strings(const NoteEvent &n, Rng &rng, double dBrightness) {
  const Envelope amp{0.35, 1.0, 1.0, 0.7};
  std::vector<float> out(Frames(n.dLength + amp.dRelease));
  BlepOscillator osc[3] = {BlepOscillator(rng.Unit()), BlepOscillator(rng.Unit()),
                           BlepOscillator(rng.Unit())};
  const double kDetune[3] = {0.9975, 1.0, 1.0027};
  double dDrift[3] = {rng.Unit() * kTwoPi, rng.Unit() * kTwoPi, rng.Unit() * kTwoPi};
  StateVariableFilter filter;
  ControlEnvelope level(amp, n.dLength);
  double dBase = MidiToHz(n.dPitch);
  double dHz[3] = {0, 0, 0};
  for (size_t i = 0; i < out.size(); ++i) {
    if (i % kControl == 0) {
      double t = static_cast<double>(i) / kSampleRate;
      for (int k = 0; k < 3; ++k)
        dHz[k] = dBase * kDetune[k] * (1 + 0.0015 * sin(kTwoPi * 0.25 * t + dDrift[k]));
    }
    float fSum = osc[0].Saw(dHz[0]) + osc[1].Saw(dHz[1]) + osc[2].Saw(dHz[2]);
    filter.Process(fSum, dBrightness + dBase * 2, 0.1);
    out[i] = filter.fLow * level.Next(i) * n.fVelocity * 0.13f;
  }
  return out;
}

std::vector<float> BowedBass(const NoteEvent &n, Rng &rng) {
  const Envelope amp{0.05, 0.4, 0.9, 0.2};
  std::vector<float> out(Frames(n.dLength + amp.dRelease));
  BlepOscillator a(rng.Unit()), b(rng.Unit());
  StateVariableFilter filter;
  ControlEnvelope level(amp, n.dLength);
  double dHz = MidiToHz(n.dPitch);
  for (size_t i = 0; i < out.size(); ++i) {
    filter.Process(a.Saw(dHz) + b.Saw(dHz * 1.002), 250 + 3 * dHz, 0.2);
    out[i] = filter.fLow * level.Next(i) * n.fVelocity * 0.3f;
  }
  return out;
}

std::vector<float> SynthBass(const NoteEvent &n, Rng &rng) {
  const Envelope amp{0.003, 0.18, 0.55, 0.06};
  std::vector<float> out(Frames(n.dLength + amp.dRelease));
  BlepOscillator saw(rng.Unit());
  StateVariableFilter filter;
  ControlEnvelope level(amp, n.dLength);
  double dHz = MidiToHz(n.dPitch);
  double dPhase = 0, dCutoff = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (i % kControl == 0)
      dCutoff = 180 + 2200 * n.fVelocity * exp(-static_cast<double>(i) / kSampleRate / 0.12) + 2 * dHz;
    dPhase += kTwoPi * dHz / kSampleRate;
    if (dPhase > kTwoPi) dPhase -= kTwoPi;
    filter.Process(saw.Saw(dHz) + 0.5f * static_cast<float>(sin(dPhase)), dCutoff, 0.45);
    out[i] = filter.fLow * level.Next(i) * n.fVelocity * 0.45f;
  }
  return out;
}

// Plucked string (Karplus-Strong): a noise burst circulating in a delay line
// one period long, softened a little on every pass.
std::vector<float> Pluck(const NoteEvent &n, Rng &rng, double dRing, double dBrightness,
                         float fGain) {
  double dHz = MidiToHz(n.dPitch);
  double dT60 = std::min(4.0, std::max(0.6, dRing * sqrt(220.0 / dHz)));
  std::vector<float> out(Frames(std::min(n.dLength + dRing * 0.5, dT60)));
  double dDelay = kSampleRate / dHz - 0.5;
  size_t iLine = static_cast<size_t>(dDelay) + 2;
  std::vector<float> vLine(iLine);
  OnePole colour;
  float fMean = 0;
  for (float &f : vLine) fMean += (f = colour.Low(rng.Bipolar(), dBrightness));
  fMean /= static_cast<float>(iLine);
  for (float &f : vLine) f -= fMean;  // no DC circulating in the string
  double dGain = pow(10.0, -3.0 / (dT60 * dHz));
  size_t iWrite = 0;
  float fPrev = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    double dRead = static_cast<double>(iWrite) + iLine - dDelay;
    size_t iIndex = static_cast<size_t>(dRead);
    double dFrac = dRead - iIndex;
    float fA = vLine[iIndex % iLine], fB = vLine[(iIndex + 1) % iLine];
    float fDelayed = static_cast<float>(fA + (fB - fA) * dFrac);
    float fNew = static_cast<float>(dGain * 0.5 * (fDelayed + fPrev));
    fPrev = fDelayed;
    vLine[iWrite] = fNew;
    iWrite = (iWrite + 1) % iLine;
    out[i] = fDelayed * Onset(static_cast<double>(i) / kSampleRate) * n.fVelocity * fGain;
  }
  FadeTail(out, Frames(0.05));
  return out;
}

// Two-operator FM with the modulator three times the pitch: a glassy bell
// whose partials stay harmonic.
std::vector<float> Bell(const NoteEvent &n) {
  std::vector<float> out(Frames(std::min(n.dLength + 1.2, 2.5)));
  double dHz = MidiToHz(n.dPitch);
  for (size_t i = 0; i < out.size(); ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    // Less modulation up high keeps the side bands below half the sample rate.
    double dIndex = (0.3 + 1.7 * exp(-t / 0.25)) * std::min(1.0, 700.0 / dHz);
    double dTone = sin(kTwoPi * dHz * t + dIndex * sin(kTwoPi * 3 * dHz * t)) * exp(-t / 0.9) +
                   0.3 * sin(kTwoPi * 2 * dHz * t) * exp(-t / 0.4);
    out[i] = static_cast<float>(dTone * Onset(t) * 0.22 * n.fVelocity);
  }
  FadeTail(out, Frames(0.05));
  return out;
}

}  // namespace

double MidiToHz(double dPitch) { return 440.0 * pow(2.0, (dPitch - 69.0) / 12.0); }

float BlepOscillator::Saw(double dHz) {
  double dt = dHz / kSampleRate;
  double dValue = 2.0 * dPhase - 1.0 - PolyBlep(dPhase, dt);
  dPhase += dt;
  dPhase -= floor(dPhase);
  return static_cast<float>(dValue);
}

float BlepOscillator::Square(double dHz) {
  double dt = dHz / kSampleRate;
  double dValue = dPhase < 0.5 ? 1.0 : -1.0;
  dValue += PolyBlep(dPhase, dt);
  double dHalf = dPhase + 0.5;
  dValue -= PolyBlep(dHalf - floor(dHalf), dt);
  dPhase += dt;
  dPhase -= floor(dPhase);
  return static_cast<float>(dValue);
}

void StateVariableFilter::Process(float fIn, double dCutoff, double dResonance) {
  if (dCutoff != dLastCutoff) {
    dLastCutoff = dCutoff;
    dG = tan(kPi * std::min(std::max(dCutoff, 20.0), kSampleRate * 0.45) / kSampleRate);
  }
  double g = dG;
  double k = 2.0 - 2.0 * dResonance;
  double a1 = 1.0 / (1.0 + g * (g + k));
  double a2 = g * a1;
  double a3 = g * a2;
  double v3 = fIn - dIc2;
  double v1 = a1 * dIc1 + a2 * v3;
  double v2 = dIc2 + a2 * dIc1 + a3 * v3;
  dIc1 = 2 * v1 - dIc1;
  dIc2 = 2 * v2 - dIc2;
  fLow = static_cast<float>(v2);
  fBand = static_cast<float>(v1);
  fHigh = static_cast<float>(fIn - k * v1 - v2);
}

float Envelope::At(double dTime, double dHeld) const {
  auto Held = [this](double t) {
    if (t < dAttack) return t / dAttack;
    return dSustain + (1.0 - dSustain) * exp(-(t - dAttack) / dDecay);
  };
  if (dTime < 0) return 0;
  if (dTime <= dHeld) return static_cast<float>(Held(dTime));
  double u = (dTime - dHeld) / dRelease;
  if (u >= 1) return 0;
  return static_cast<float>(Held(dHeld) * exp(-4.6 * u) * (1 - u));
}

bool IsInstrument(const std::string &c) {
  return c == "brass" || c == "flute" || c == "lead" || c == "strings" || c == "softstrings" ||
         c == "bowed" || c == "synth" || c == "pick" || c == "harp" || c == "bell";
}

std::vector<float> RenderVoice(const std::string &c, const NoteEvent &note, Rng &rng) {
  if (c == "brass") return Brass(note, rng);
  if (c == "flute") return Flute(note, rng);
  if (c == "lead") return Lead(note, rng);
  if (c == "strings") return Strings(note, rng, 1200);
  if (c == "softstrings") return Strings(note, rng, 600);
  if (c == "bowed") return BowedBass(note, rng);
  if (c == "synth") return SynthBass(note, rng);
  if (c == "pick") return Pluck(note, rng, 1.6, 900, 3.0f);
  if (c == "harp") return Pluck(note, rng, 3.0, 5000, 1.6f);
  if (c == "bell") return Bell(note);
  return {};
}

std::vector<float> RenderDrum(Drum drum, double dPitch, float fVel, Rng &rng) {
  static const double kLength[] = {0.45, 0.3, 0.06, 0.12, 0.6, 2.2, 0.15, 0.6, 2.0};
  std::vector<float> out(Frames(kLength[static_cast<int>(drum)]));
  OnePole one, two;
  StateVariableFilter band;
  double dPhase = 0;
  double dHz = MidiToHz(dPitch);
  for (size_t i = 0; i < out.size(); ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    float fNoise = rng.Bipolar();
    double v = 0;
    switch (drum) {
      case Drum::Kick:
        dPhase += kTwoPi * (45 + 85 * exp(-t / 0.035)) / kSampleRate;
        v = sin(dPhase) * exp(-t / 0.18) + one.Low(fNoise, 3000) * exp(-t / 0.004) * 0.3;
        v *= 0.9;
        break;
      case Drum::Snare:
        v = sin(kTwoPi * 185 * t) * exp(-t / 0.05) * 0.5 +
            sin(kTwoPi * 330 * t) * exp(-t / 0.03) * 0.25 +
            one.High(fNoise, 1500) * exp(-t / 0.09) * 0.7;
        v *= 0.7;
        break;
      case Drum::Rim:
        v = sin(kTwoPi * 1700 * t) * exp(-t / 0.012) * 0.5 + one.High(fNoise, 3000) * exp(-t / 0.006);
        v *= 0.5;
        break;
      case Drum::HatClosed:
      case Drum::HatOpen:
        v = two.High(one.High(fNoise, 7000), 7000) *
            exp(-t / (drum == Drum::HatOpen ? 0.25 : 0.03)) * 0.5;
        break;
      case Drum::Crash:
        band.Process(one.High(fNoise, 4000), 6000, 0.2);
        v = (band.fLow * 0.7 + band.fBand * 0.6) * exp(-t / 0.9) * 0.45;
        break;
      case Drum::Shaker:
        band.Process(fNoise, 6000, 0.3);
        v = band.fBand * std::min(1.0, t / 0.015) * exp(-t / 0.05) * 0.35;
        break;
      case Drum::Tom:
        dPhase += kTwoPi * dHz * (1 + 0.6 * exp(-t / 0.05)) / kSampleRate;
        v = sin(dPhase) * exp(-t / 0.22) * 0.7 + fNoise * exp(-t / 0.01) * 0.1;
        break;
      case Drum::Timpani: {
        double dGlide = 1 + 0.04 * exp(-t / 0.15);
        dPhase += kTwoPi * dHz * dGlide / kSampleRate;
        v = sin(dPhase) * exp(-t / 1.4) + 0.5 * sin(1.5 * dPhase) * exp(-t / 0.8) +
            0.3 * sin(1.99 * dPhase) * exp(-t / 0.6) + 0.15 * sin(2.44 * dPhase) * exp(-t / 0.4) +
            one.Low(fNoise, 800) * exp(-t / 0.015) * 0.6;
        v *= 0.55;
        break;
      }
    }
    out[i] = static_cast<float>(v * Onset(t) * fVel);
  }
  FadeTail(out, Frames(0.03));
  return out;
}

Reverb::Reverb(double dRoomSize, double dDamping)
    : fFeedback(static_cast<float>(dRoomSize * 0.28 + 0.7)),
      fDamping(static_cast<float>(dDamping * 0.4)) {
  static const int kCombs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  static const int kPasses[4] = {556, 441, 341, 225};
  for (int iSide = 0; iSide < 2; ++iSide) {
    for (int iLength : kCombs) {
      Comb comb;
      comb.vLine.assign(iLength + 23 * iSide, 0.0f);
      vCombs[iSide].push_back(comb);
    }
    for (int iLength : kPasses) {
      AllPass pass;
      pass.vLine.assign(iLength + 23 * iSide, 0.0f);
      vPasses[iSide].push_back(pass);
    }
  }
}

float Reverb::RunComb(Comb &comb, float fIn) {
  float fOut = comb.vLine[comb.iPos];
  comb.fStore = fOut * (1 - fDamping) + comb.fStore * fDamping;
  comb.vLine[comb.iPos] = fIn + comb.fStore * fFeedback;
  if (++comb.iPos == comb.vLine.size()) comb.iPos = 0;
  return fOut;
}

float Reverb::RunAllPass(AllPass &pass, float fIn) {
  float fBuffered = pass.vLine[pass.iPos];
  float fOut = fBuffered - fIn;
  pass.vLine[pass.iPos] = fIn + fBuffered * 0.5f;
  if (++pass.iPos == pass.vLine.size()) pass.iPos = 0;
  return fOut;
}

void Reverb::Process(float fIn, float *pLeft, float *pRight) {
  float *pOut[2] = {pLeft, pRight};
  for (int iSide = 0; iSide < 2; ++iSide) {
    float fSum = 0;
    for (Comb &comb : vCombs[iSide]) fSum += RunComb(comb, fIn * 0.015f);
    for (AllPass &pass : vPasses[iSide]) fSum = RunAllPass(pass, fSum);
    *pOut[iSide] = fSum;
  }
}
