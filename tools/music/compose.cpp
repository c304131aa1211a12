// Arrangement: pad, bass, arpeggio, melody, harmony and drums from the chords
// and melodies of a score, each part in its style; then the circular mix.
#include "compose.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Where a form entry lies and what surrounds it.
struct Span {
  const ScoreSection *pSection;
  bool bHarmony;
  double dBeat0;     // first beat of the entry in the piece
  bool bLastEntry;   // the piece loops after it
};

class Arranger {
 public:
  explicit Arranger(const Score &score) : score(score), rng(score.iSeed) {}
  Arrangement Run();

 private:
  double Seconds(double dBeat) const { return dBeat * 60.0 / score.dTempo; }
  // A note of a part, timed in beats, with a little human unevenness.
  void Play(Arrangement::Part &part, double dBeat, double dBeats, double dPitch, float fVel,
            float fPan, double dJitter = 0.006);
  void Hit(double dBeat, Drum drum, float fVel, float fPan, double dPitch = 0);
  const ScoreChord &ChordAt(const ScoreSection &section, double dBeat) const;

  void PadPart(const Span &span);
  void BassPart(const Span &span);
  void ArpPart(const Span &span);
  void MelodyPart(const Span &span);
  void DrumPart(const Span &span);
  void MarchBar(const Span &span, double dBar, int iEnergy, bool bFill, int iRoot);
  void CalmBar(double dBar, int iEnergy, bool bFill);
  void DriveBar(double dBar, int iEnergy, bool bFill);

  const Score &score;
  Rng rng;
  Arrangement out;
  Arrangement::Part *pPad = nullptr, *pBass = nullptr, *pArp = nullptr, *pLead = nullptr,
                    *pHarmony = nullptr;
  std::vector<int> vPadVoicing;
};

int PitchClassNear(int iClass, int iLow) { return iLow + ((iClass - iLow) % 12 + 12) % 12; }

void Arranger::Play(Arrangement::Part &part, double dBeat, double dBeats, double dPitch,
                    float fVel, float fPan, double dJitter) {
  double dStart = Seconds(dBeat) + dJitter * rng.Bipolar();
  float fHuman = 1.0f + 0.08f * rng.Bipolar();
  part.vNotes.push_back({std::max(0.0, dStart), Seconds(dBeats), dPitch,
                         std::min(1.0f, fVel * fHuman), fPan});
}

void Arranger::Hit(double dBeat, Drum drum, float fVel, float fPan, double dPitch) {
  double dStart = std::max(0.0, Seconds(dBeat) + 0.003 * rng.Bipolar());
  float fHuman = 1.0f + 0.1f * rng.Bipolar();
  out.vDrums.push_back({dStart, drum, dPitch, std::min(1.0f, fVel * fHuman), fPan});
}

const ScoreChord &Arranger::ChordAt(const ScoreSection &section, double dBeat) const {
  for (const ScoreChord &chord : section.vChords)
    if (dBeat < chord.dBeat + chord.dBeats - 1e-9) return chord;
  return section.vChords.back();
}

void Arranger::PadPart(const Span &span) {
  float fVel = span.pSection->iEnergy == 0 ? 0.55f : 0.7f;
  for (const ScoreChord &chord : span.pSection->vChords) {
    vPadVoicing = VoiceChord(chord, 55, vPadVoicing);
    for (size_t i = 0; i < vPadVoicing.size(); ++i) {
      float fPan = vPadVoicing.size() > 1 ? -0.45f + 0.9f * i / (vPadVoicing.size() - 1) : 0;
      // A slight overlap keeps the chords legato.
      Play(*pPad, span.dBeat0 + chord.dBeat, chord.dBeats + 0.1, vPadVoicing[i], fVel, fPan, 0);
    }
  }
}

void Arranger::BassPart(const Span &span) {
  int iEnergy = span.pSection->iEnergy;
  if (iEnergy < 1) return;
  for (const ScoreChord &chord : span.pSection->vChords) {
    int iRoot = PitchClassNear(chord.iBass, 33);  // A1 .. G#2
    int iFifth = PitchClassNear(chord.iRoot + 7, iRoot);
    double dAt = span.dBeat0 + chord.dBeat;
    double dEnd = dAt + chord.dBeats;
    if (score.cBass == "synth") {
      // Driving eighths; the octave jumps up on every fourth.
      double dStep = iEnergy >= 3 ? 0.5 : iEnergy == 2 ? 1.0 : chord.dBeats;
      int i = 0;
      for (double d = dAt; d < dEnd - 1e-9; d += dStep, ++i)
        Play(*pBass, d, dStep * 0.85, iRoot + (iEnergy >= 3 && i % 4 == 3 ? 12 : 0),
             i % 2 == 0 ? 0.95f : 0.75f, 0, 0.002);
    } else if (score.cBass == "pick" && iEnergy >= 2 && chord.dBeats >= 4) {
      for (double d = dAt; d < dEnd - 1e-9; d += 4) {
        Play(*pBass, d, 1.4, iRoot, 0.9f, 0);
        Play(*pBass, d + 1.5, 0.9, iFifth, 0.7f, 0);
        Play(*pBass, d + 2.5, 1.4, iRoot + 12, 0.75f, 0);
      }
    } else if (iEnergy >= 3 && chord.dBeats >= 2) {
      // Quarter-note pulse on the root, the fifth on the chord's last beat.
      for (double d = dAt; d < dEnd - 1e-9; d += 1)
        Play(*pBass, d, 0.9, d + 1 >= dEnd - 1e-9 ? iFifth : iRoot, 0.85f, 0);
    } else {
      Play(*pBass, dAt, chord.dBeats * 0.95, iRoot, 0.85f, 0);
    }
  }
}

void Arranger::ArpPart(const Span &span) {
  int iEnergy = span.pSection->iEnergy;
  if (pArp == nullptr || iEnergy < 1) return;
  bool bBell = score.cArp == "bell";
  // Bells keep out of the way of the lead except where the lead is silent.
  if (bBell && iEnergy >= 3 && !span.pSection->vMelody.empty()) return;
  double dStep = 0.5;
  int iBase = bBell ? 67 : 55;
  // Up two octaves and back down, restarting with each chord.
  for (const ScoreChord &chord : span.pSection->vChords) {
    std::vector<int> vTones = VoiceChord(chord, iBase, {});
    std::vector<int> vRun;
    for (int iOctave = 0; iOctave < 2; ++iOctave)
      for (int iTone : vTones) vRun.push_back(iTone + 12 * iOctave);
    vRun.push_back(vTones[0] + 24);
    for (int i = static_cast<int>(vRun.size()) - 2; i > 0; --i) vRun.push_back(vRun[i]);
    int iOffset = static_cast<int>(rng.Next() % 2);  // now and then start on the second tone
    int i = 0;
    for (double d = chord.dBeat; d < chord.dBeat + chord.dBeats - 1e-9; d += dStep, ++i) {
      int iPitch = vRun[(i + iOffset) % vRun.size()];
      float fVel = (i % 2 == 0 ? 0.75f : 0.6f) * (iEnergy == 1 ? 0.85f : 1.0f);
      Play(*pArp, span.dBeat0 + d, bBell ? 0.5 : 1.5, iPitch, fVel, (i % 4) * 0.3f - 0.45f, 0.004);
    }
  }
}

void Arranger::MelodyPart(const Span &span) {
  const ScoreSection &section = *span.pSection;
  for (const ScoreNote &note : section.vMelody) {
    double dInBar = fmod(note.dBeat, score.iBeatsPerBar);
    float fVel = dInBar < 1e-9 ? 0.9f : fmod(dInBar, 1.0) < 1e-9 ? 0.8f : 0.7f;
    // Short gaps between repeated notes keep them distinct.
    double dBeats = note.dBeats - std::min(0.08, note.dBeats * 0.15);
    Play(*pLead, span.dBeat0 + note.dBeat, dBeats, note.iPitch, fVel, 0.1f);
    if (!span.bHarmony) continue;
    // Harmony: the highest chord tone a third to a sixth below the melody.
    const ScoreChord &chord = ChordAt(section, note.dBeat);
    int iBest = -1;
    for (int iDown = 3; iDown <= 9; ++iDown) {
      int iClass = ((note.iPitch - iDown - chord.iRoot) % 12 + 12) % 12;
      for (int iInterval : chord.vIntervals)
        if (iInterval % 12 == iClass) {
          iBest = note.iPitch - iDown;
          break;
        }
      if (iBest >= 0) break;
    }
    if (iBest >= 0) Play(*pHarmony, span.dBeat0 + note.dBeat, dBeats, iBest, fVel * 0.8f, -0.35f);
  }
}

void Arranger::MarchBar(const Span &span, double dBar, int iEnergy, bool bFill, int iRoot) {
  int iBeats = score.iBeatsPerBar;
  double dTimpani = PitchClassNear(iRoot, 36) + 0.0;
  Hit(dBar, Drum::Timpani, 0.8f, -0.2f, dTimpani);
  if (iEnergy >= 2) {
    Hit(dBar, Drum::Kick, 0.8f, 0);
    Hit(dBar + 2, Drum::Kick, 0.6f, 0);
    Hit(dBar + 2, Drum::Timpani, 0.5f, -0.2f, dTimpani + 7 > 47 ? dTimpani - 5 : dTimpani + 7);
    for (int b = 1; b < iBeats; b += 2) Hit(dBar + b, Drum::Snare, 0.55f, 0.05f);
  }
  if (iEnergy >= 3) {
    // The march figure: two sixteenth grace notes leading into beats 2 and 4.
    for (int b = 1; b < iBeats; b += 2) {
      Hit(dBar + b - 0.5, Drum::Snare, 0.25f, 0.05f);
      Hit(dBar + b - 0.25, Drum::Snare, 0.3f, 0.05f);
    }
  }
  if (bFill) {
    // A crescendo roll over the last two beats.
    for (int i = 0; i < 8; ++i) {
      double d = dBar + iBeats - 2 + i * 0.25;
      if (iEnergy >= 2) Hit(d, Drum::Snare, 0.3f + 0.07f * i, 0.05f);
      else Hit(d, Drum::Timpani, 0.3f + 0.06f * i, -0.2f, dTimpani);
    }
  }
}

void Arranger::CalmBar(double dBar, int iEnergy, bool bFill) {
  int iBeats = score.iBeatsPerBar;
  for (int i = 0; i < iBeats * 2; ++i) Hit(dBar + i * 0.5, Drum::Shaker, i % 2 ? 0.55f : 0.35f, 0.4f);
  if (iEnergy >= 2) {
    Hit(dBar, Drum::Kick, 0.55f, 0);
    Hit(dBar + 2.5, Drum::Kick, 0.4f, 0);
    Hit(dBar + 2, Drum::Rim, 0.5f, -0.1f);
  }
  if (iEnergy >= 3 && rng.Next() % 2 == 0) Hit(dBar + iBeats - 0.5, Drum::Tom, 0.45f, 0.3f, 50);
  if (bFill && iEnergy >= 2) {
    const double kToms[4] = {55, 52, 48, 45};
    for (int i = 0; i < 4; ++i)
      Hit(dBar + iBeats - 2 + i * 0.5, Drum::Tom, 0.5f + 0.05f * i, 0.4f - 0.25f * i, kToms[i]);
  }
}

void Arranger::DriveBar(double dBar, int iEnergy, bool bFill) {
  int iBeats = score.iBeatsPerBar;
  double dHatEnd = bFill && iEnergy >= 2 ? iBeats - 2 : iBeats;
  for (double d = 0; d < dHatEnd - 1e-9; d += iEnergy >= 2 ? 0.5 : 1) {
    bool bOpen = iEnergy >= 3 && d == iBeats - 0.5;
    Hit(dBar + d, bOpen ? Drum::HatOpen : Drum::HatClosed, fmod(d, 1.0) < 1e-9 ? 0.6f : 0.4f, 0.3f);
  }
  if (iEnergy >= 2) {
    Hit(dBar, Drum::Kick, 0.95f, 0);
    Hit(dBar + 2, Drum::Kick, 0.85f, 0);
    if (iEnergy >= 3) Hit(dBar + 2.5, Drum::Kick, 0.7f, 0);
    if (iEnergy >= 3 && rng.Next() % 3 == 0) Hit(dBar + 1.5, Drum::Kick, 0.6f, 0);
    Hit(dBar + 1, Drum::Snare, 0.8f, 0.05f);
    if (!bFill) Hit(dBar + 3, Drum::Snare, 0.8f, 0.05f);
  }
  if (bFill && iEnergy >= 2) {
    // Snare then toms down across the last two beats; which one varies.
    static const double kToms[8] = {0, 0, 57, 57, 52, 52, 47, 47};
    bool bTomsFirst = rng.Next() % 2 == 0;
    for (int i = 0; i < 8; ++i) {
      double d = dBar + iBeats - 2 + i * 0.25;
      int iSlot = bTomsFirst ? (i + 2) % 8 : i;
      if (kToms[iSlot] == 0) Hit(d, Drum::Snare, 0.6f + 0.04f * i, 0.05f);
      else Hit(d, Drum::Tom, 0.6f + 0.04f * i, 0.5f - 0.12f * i, kToms[iSlot]);
    }
  }
}

void Arranger::DrumPart(const Span &span) {
  const ScoreSection &section = *span.pSection;
  int iEnergy = section.iEnergy + (span.bHarmony && section.iEnergy == 2 ? 1 : 0);
  if (score.cDrums == "none" || iEnergy < 1) return;
  int iBars = static_cast<int>(std::lround(section.dBeats / score.iBeatsPerBar));
  if (iEnergy >= 3) Hit(span.dBeat0, Drum::Crash, 0.7f, -0.3f);
  for (int iBar = 0; iBar < iBars; ++iBar) {
    double dBar = span.dBeat0 + iBar * score.iBeatsPerBar;
    bool bFill = iBar == iBars - 1;
    if (score.cDrums == "march")
      MarchBar(span, dBar, iEnergy, bFill, ChordAt(section, iBar * score.iBeatsPerBar).iRoot);
    else if (score.cDrums == "calm")
      CalmBar(dBar, iEnergy, bFill);
    else
      DriveBar(dBar, iEnergy, bFill);
  }
}

Arrangement Arranger::Run() {
  out.vParts.push_back({score.cPad, 0.5f, {}});
  out.vParts.push_back({score.cBass, 0.06f, {}});
  out.vParts.push_back({score.cLead, 0.28f, {}});
  out.vParts.push_back({score.cLead, 0.32f, {}});
  if (score.cArp != "none") out.vParts.push_back({score.cArp, 0.4f, {}});
  pPad = &out.vParts[0];
  pBass = &out.vParts[1];
  pLead = &out.vParts[2];
  pHarmony = &out.vParts[3];
  pArp = score.cArp != "none" ? &out.vParts[4] : nullptr;

  double dBeat = 0;
  for (size_t i = 0; i < score.vForm.size(); ++i) {
    const FormEntry &entry = score.vForm[i];
    Span span{&score.sections.at(entry.cSection), entry.bHarmony, dBeat,
              i + 1 == score.vForm.size()};
    PadPart(span);
    BassPart(span);
    ArpPart(span);
    MelodyPart(span);
    DrumPart(span);
    dBeat += span.pSection->dBeats;
  }
  out.dSeconds = Seconds(dBeat);
  return out;
}

// Adds a mono voice into a circular stereo bus with constant-power panning.
void MixCircular(const std::vector<float> &vVoice, size_t iStart, float fPan, float fGain,
                 std::vector<float> &vBus, std::vector<float> *pSend, float fSend) {
  size_t iFrames = vBus.size() / 2;
  double dAngle = (fPan + 1.0) * 0.25 * 3.14159265358979;
  float fLeft = static_cast<float>(cos(dAngle)) * fGain;
  float fRight = static_cast<float>(sin(dAngle)) * fGain;
  size_t iPos = iStart % iFrames;
  for (float fSample : vVoice) {
    vBus[2 * iPos] += fSample * fLeft;
    vBus[2 * iPos + 1] += fSample * fRight;
    (*pSend)[iPos] += fSample * fGain * fSend;
    if (++iPos == iFrames) iPos = 0;
  }
}

// Soft knee above 0.6: peaks are rounded off instead of clipped.
float SoftLimit(float f) {
  const float kKnee = 0.6f;
  float fMagnitude = std::fabs(f);
  if (fMagnitude <= kKnee) return f;
  float fOver = (fMagnitude - kKnee) / (1 - kKnee);
  float fShaped = kKnee + (1 - kKnee) * std::tanh(fOver);
  return f < 0 ? -fShaped : fShaped;
}

}  // namespace

Arrangement Arrange(const Score &score) { return Arranger(score).Run(); }

std::vector<int> VoiceChord(const ScoreChord &chord, int iLow, const std::vector<int> &vPrevious) {
  std::vector<int> vClasses;
  for (int iInterval : chord.vIntervals) {
    int iClass = (chord.iRoot + iInterval) % 12;
    if (std::find(vClasses.begin(), vClasses.end(), iClass) == vClasses.end())
      vClasses.push_back(iClass);
  }
  std::vector<int> vBest;
  long lBestCost = -1;
  // Each inversion: its lowest tone placed first at or above iLow.
  for (size_t iFirst = 0; iFirst < vClasses.size(); ++iFirst) {
    std::vector<int> vVoicing;
    int iPitch = PitchClassNear(vClasses[iFirst], iLow);
    for (size_t k = 0; k < vClasses.size(); ++k) {
      int iClass = vClasses[(iFirst + k) % vClasses.size()];
      iPitch = k == 0 ? iPitch : PitchClassNear(iClass, iPitch + 1);
      vVoicing.push_back(iPitch);
    }
    long lCost = 0;
    if (vPrevious.empty()) {
      lCost = iFirst == 0 ? 0 : 1;
    } else {
      for (size_t k = 0; k < vVoicing.size(); ++k)
        lCost += std::abs(vVoicing[k] - vPrevious[std::min(k, vPrevious.size() - 1)]);
    }
    if (lBestCost < 0 || lCost < lBestCost) {
      lBestCost = lCost;
      vBest = vVoicing;
    }
  }
  return vBest;
}

std::vector<float> RenderArrangement(const Arrangement &arrangement, double dReverb) {
  size_t iFrames = static_cast<size_t>(std::lround(arrangement.dSeconds * kSampleRate));
  std::vector<float> vMix(2 * iFrames, 0.0f);
  std::vector<float> vSend(iFrames, 0.0f);
  Rng rng(0x5eed1234u);
  for (const Arrangement::Part &part : arrangement.vParts)
    for (const NoteEvent &note : part.vNotes)
      MixCircular(RenderVoice(part.cInstrument, note, rng),
                  static_cast<size_t>(note.dStart * kSampleRate), note.fPan, 1.0f, vMix, &vSend,
                  part.fSend * static_cast<float>(dReverb) * 2);
  for (const DrumHit &hit : arrangement.vDrums) {
    float fSend = hit.drum == Drum::Kick ? 0.05f : hit.drum == Drum::Timpani ? 0.35f : 0.15f;
    MixCircular(RenderDrum(hit.drum, hit.dPitch, hit.fVelocity, rng),
                static_cast<size_t>(hit.dStart * kSampleRate), hit.fPan, 0.8f, vMix, &vSend,
                fSend * static_cast<float>(dReverb) * 2);
  }
  // The reverb runs round the loop twice; only the second lap is kept, so its
  // state at the start is the one the end leaves behind.
  Reverb reverb(0.82, 0.35);
  float fLeft, fRight;
  for (size_t i = 0; i < iFrames; ++i) reverb.Process(vSend[i], &fLeft, &fRight);
  for (size_t i = 0; i < iFrames; ++i) {
    reverb.Process(vSend[i], &fLeft, &fRight);
    vMix[2 * i] += fLeft;
    vMix[2 * i + 1] += fRight;
  }
  // Common loudness, rounded peaks, then the peak at -1.5 dBFS.
  const double kTargetDb = -17.0;
  double dGain = pow(10.0, (kTargetDb - LevelDb(vMix)) / 20.0);
  float fPeak = 0;
  for (float &f : vMix) {
    f = SoftLimit(static_cast<float>(f * dGain));
    fPeak = std::max(fPeak, std::fabs(f));
  }
  float fScale = fPeak > 0 ? 0.8414f / fPeak : 1.0f;
  for (float &f : vMix) f *= fScale;
  return vMix;
}

double LevelDb(const std::vector<float> &vSamples) {
  double dSum = 0;
  for (float f : vSamples) dSum += static_cast<double>(f) * f;
  if (vSamples.empty() || dSum <= 0) return -200;
  return 10 * log10(dSum / vSamples.size());
}
