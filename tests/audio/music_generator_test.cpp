// The music generator's pieces: score parsing, chord voicing, instrument
// tuning, band-limited oscillators and the looping mix.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "compose.h"
#include "score.h"
#include "synth.h"

namespace {

TEST(ScoreParsing, NoteAndChordNames) {
  EXPECT_EQ(ParseNoteName("C4"), 60);
  EXPECT_EQ(ParseNoteName("A4"), 69);
  EXPECT_EQ(ParseNoteName("F#5"), 78);
  EXPECT_EQ(ParseNoteName("Bb3"), 58);
  EXPECT_EQ(ParseNoteName("B#3"), 60);  // the octave belongs to the letter
  EXPECT_EQ(ParseNoteName("Cb4"), 59);
  for (const char *cBad : {"H4", "C", "C#", "c4", "C9", "C44", ""}) EXPECT_EQ(ParseNoteName(cBad), -1) << cBad;

  ScoreChord chord;
  ASSERT_TRUE(ParseChordName("A/C#", &chord));
  EXPECT_EQ(chord.iRoot, 9);
  EXPECT_EQ(chord.iBass, 1);
  EXPECT_EQ(chord.vIntervals, (std::vector<int>{0, 4, 7}));
  ASSERT_TRUE(ParseChordName("Bm7", &chord));
  EXPECT_EQ(chord.iBass, 11);
  EXPECT_EQ(chord.vIntervals, (std::vector<int>{0, 3, 7, 10}));
  ASSERT_TRUE(ParseChordName("Ebmaj7", &chord));
  EXPECT_EQ(chord.iRoot, 3);
  EXPECT_EQ(chord.vIntervals, (std::vector<int>{0, 4, 7, 11}));
  for (const char *cBad : {"Cx", "C/H", "C/", "m7", ""}) EXPECT_FALSE(ParseChordName(cBad, &chord)) << cBad;
}

const char kGoodScore[] =
    "# a test piece\n"
    "title Test Piece\n"
    "tempo 120\n"
    "beats 3\n"
    "lead flute\n"
    "form Head Tail+ Head\n"
    "section Head\n"
    "energy 1\n"
    "chords C:2 G/B:1 | Am |\n"
    "melody E5:1.5 F#5:0.5 r | C5:1/3 D5:1/3 E5:1/3 r:2 |  # triplet\n"
    "section Tail\n"
    "chords F | G7 |\n";

TEST(ScoreParsing, ReadsAWholeScore) {
  Score score;
  std::string cError;
  ASSERT_TRUE(ParseScore(kGoodScore, &score, &cError)) << cError;
  EXPECT_EQ(score.cTitle, "Test Piece");
  EXPECT_EQ(score.iBeatsPerBar, 3);
  EXPECT_EQ(score.cLead, "flute");
  ASSERT_EQ(score.vForm.size(), 3u);
  EXPECT_EQ(score.vForm[1].cSection, "Tail");
  EXPECT_TRUE(score.vForm[1].bHarmony);
  EXPECT_FALSE(score.vForm[2].bHarmony);
  EXPECT_DOUBLE_EQ(score.TotalBeats(), 18);
  EXPECT_DOUBLE_EQ(score.Seconds(), 9);

  const ScoreSection &head = score.sections.at("Head");
  EXPECT_EQ(head.iEnergy, 1);
  ASSERT_EQ(head.vChords.size(), 3u);
  EXPECT_DOUBLE_EQ(head.vChords[1].dBeat, 2);
  EXPECT_DOUBLE_EQ(head.vChords[2].dBeats, 3);  // a bar by default
  ASSERT_EQ(head.vMelody.size(), 5u);           // rests take time but no note
  EXPECT_EQ(head.vMelody[1].iPitch, 78);
  EXPECT_DOUBLE_EQ(head.vMelody[1].dBeat, 1.5);
  EXPECT_NEAR(head.vMelody[4].dBeat, 3 + 2.0 / 3, 1e-9);
  EXPECT_EQ(score.sections.at("Tail").iEnergy, 3);
}

TEST(ScoreParsing, ReportsTheLineOfEachMistake) {
  struct Case {
    const char *cText;
    const char *cError;
  } cases[] = {
      {"form A\nsection A\nchords C:3 |\n", "line 3: chords: bar line after an incomplete bar"},
      {"form A\nsection A\nchords C\nmelody C5:2 D5 |\n", "line 4: melody: bar line after an incomplete bar"},
      {"form A B\nsection A\nchords C\n", "line 3: form names unknown section 'B'"},
      {"form A\nsection A\nchords C\nmelody C5:5\n", "line 4: melody of 'A' is longer than its chords"},
      {"form A\nsection A\nchords C:3\n", "line 3: section 'A' does not fill its last bar"},
      {"tempo 500\n", "line 1: tempo must be 20..300"},
      {"volume 3\n", "line 1: unknown keyword 'volume'"},
      {"form A\nsection A\nchords Cq\n", "line 3: unknown chord 'Cq'"},
      {"form A\nsection A\nchords C\nmelody X5\n", "line 4: bad note 'X5'"},
      {"form A\nsection A\nchords C:0\n", "line 3: bad chord length in 'C:0'"},
      {"form A\nsection A\nchords C\nsection A\n", "line 4: section 'A' given twice"},
      {"melody C5\n", "line 1: melody outside a section"},
  };
  for (const Case &c : cases) {
    Score score;
    std::string cError;
    EXPECT_FALSE(ParseScore(c.cText, &score, &cError)) << c.cText;
    EXPECT_EQ(cError, c.cError) << c.cText;
  }
}

TEST(Arrangement, ChordsMoveAsLittleAsPossible) {
  ScoreChord c, f, g7;
  ASSERT_TRUE(ParseChordName("C", &c));
  ASSERT_TRUE(ParseChordName("F", &f));
  ASSERT_TRUE(ParseChordName("G7", &g7));
  std::vector<int> vC = VoiceChord(c, 55, {});
  EXPECT_EQ(vC, (std::vector<int>{60, 64, 67}));  // root position at first
  EXPECT_EQ(VoiceChord(f, 55, vC), (std::vector<int>{60, 65, 69}));  // C stays
  std::vector<int> vG7 = VoiceChord(g7, 55, vC);
  ASSERT_EQ(vG7.size(), 4u);
  for (int iPitch : vG7) {
    EXPECT_GE(iPitch, 55);
    EXPECT_LE(iPitch, 55 + 23);
  }
  EXPECT_EQ(vG7[0], 59);  // B below C: the smallest move of the lowest voice
}

// Fundamental by normalised autocorrelation over a steady stretch: the
// shortest lag that correlates nearly as well as the best one (longer lags
// at whole multiples of the period correlate just as well).
double MeasureHz(const std::vector<float> &v, size_t iFrom, size_t iCount) {
  auto Corr = [&](int iLag) {
    double dSum = 0, dA = 0, dB = 0;
    for (size_t i = iFrom; i < iFrom + iCount; ++i) {
      dSum += v[i] * v[i + iLag];
      dA += v[i] * v[i];
      dB += v[i + iLag] * v[i + iLag];
    }
    return dSum / sqrt(dA * dB + 1e-30);
  };
  std::vector<double> vCorr(1000, 0.0);
  double dBest = 0;
  for (int iLag = 20; iLag < 1000; ++iLag) dBest = std::max(dBest, vCorr[iLag] = Corr(iLag));
  int iLag = 21;
  while (iLag < 998 && !(vCorr[iLag] >= 0.9 * dBest && vCorr[iLag] >= vCorr[iLag - 1] &&
                         vCorr[iLag] >= vCorr[iLag + 1]))
    ++iLag;
  // Parabolic refinement around the peak.
  double a = vCorr[iLag - 1], b = vCorr[iLag], c = vCorr[iLag + 1];
  double dShift = 0.5 * (a - c) / (a - 2 * b + c);
  return kSampleRate / (iLag + dShift);
}

TEST(Instruments, PlayThePitchAskedForAndEndInSilence) {
  for (const char *cName : {"brass", "flute", "lead", "strings", "softstrings", "bowed", "synth",
                            "pick", "harp", "bell"}) {
    SCOPED_TRACE(cName);
    ASSERT_TRUE(IsInstrument(cName));
    bool bLow = std::string(cName) == "bowed" || std::string(cName) == "synth" ||
                std::string(cName) == "pick";
    double dPitch = bLow ? 45 : 69;  // A2 or A4
    Rng rng(99);
    std::vector<float> v = RenderVoice(cName, {0, 1.0, dPitch, 0.8f, 0}, rng);
    ASSERT_GT(v.size(), static_cast<size_t>(kSampleRate * 0.9));
    double dHz = MeasureHz(v, kSampleRate / 5, 4000);
    EXPECT_NEAR(dHz / MidiToHz(dPitch), 1.0, 0.01) << dHz << " Hz";
    float fPeak = 0;
    for (float f : v) {
      ASSERT_TRUE(std::isfinite(f));
      fPeak = std::max(fPeak, std::fabs(f));
    }
    EXPECT_GT(fPeak, 0.05f);
    EXPECT_LT(fPeak, 1.5f);
    EXPECT_LT(std::fabs(v.back()), 1e-3f);  // no click when the voice is cut
  }
  EXPECT_FALSE(IsInstrument("kazoo"));
}

// Energy of one frequency in a signal (Goertzel), as amplitude.
double Amplitude(const std::vector<float> &v, double dHz) {
  double dCoef = 2 * cos(2 * M_PI * dHz / kSampleRate), s1 = 0, s2 = 0;
  for (float f : v) {
    double s0 = f + dCoef * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return sqrt(s1 * s1 + s2 * s2 - dCoef * s1 * s2) * 2 / v.size();
}

TEST(Oscillators, SawtoothKeepsHarmonicsFromFoldingBack) {
  // At 4851 Hz the 7th, 10th and 11th harmonics lie above half the sample
  // rate; a plain sawtooth folds them back to 10143, 4410 and 9261 Hz, where
  // no true harmonic is.
  const double dHz = 4851;
  BlepOscillator osc;
  std::vector<float> vBlep(kSampleRate), vPlain(kSampleRate);
  double dPhase = 0;
  for (size_t i = 0; i < vBlep.size(); ++i) {
    vBlep[i] = osc.Saw(dHz);
    vPlain[i] = static_cast<float>(2 * dPhase - 1);
    dPhase = fmod(dPhase + dHz / kSampleRate, 1.0);
  }
  double dFundamental = Amplitude(vBlep, dHz);
  EXPECT_NEAR(dFundamental, 2 / M_PI, 0.1);
  for (int iHarmonic : {7, 10, 11}) {
    double dAlias = std::fabs(iHarmonic * dHz - kSampleRate);
    double dBlepDb = 20 * log10(Amplitude(vBlep, dAlias) / dFundamental);
    double dPlainDb = 20 * log10(Amplitude(vPlain, dAlias) / dFundamental);
    EXPECT_LT(dBlepDb, -35) << "fold-back at " << dAlias << " Hz";
    EXPECT_LT(dBlepDb, dPlainDb - 12) << "fold-back at " << dAlias << " Hz";
  }
}

TEST(Mix, LoopsSeamlesslyAndIsRepeatable) {
  const char kScore[] =
      "tempo 240\nbeats 4\nlead brass\nbass synth\ndrums drive\nform A\n"
      "section A\nchords C | G |\nmelody C5 E5 G5 C6 | B5:4 |\n";
  Score score;
  std::string cError;
  ASSERT_TRUE(ParseScore(kScore, &score, &cError)) << cError;
  Arrangement arrangement = Arrange(score);
  EXPECT_DOUBLE_EQ(arrangement.dSeconds, 2.0);
  std::vector<float> v = RenderArrangement(arrangement, 0.3);
  ASSERT_EQ(v.size(), 2u * 2 * kSampleRate);
  EXPECT_EQ(RenderArrangement(Arrange(score), 0.3), v);

  float fPeak = 0;
  for (float f : v) fPeak = std::max(fPeak, std::fabs(f));
  EXPECT_NEAR(fPeak, 0.8414f, 1e-3f);
  // The last note's release and the reverb carry on at the start, where the
  // piece's own notes are still in their attack.
  double dStartEnergy = 0;
  for (size_t i = 0; i < 200; ++i) dStartEnergy += v[i] * v[i];
  EXPECT_GT(dStartEnergy, 1e-4);
  for (int c = 0; c < 2; ++c) EXPECT_LT(std::fabs(v[c] - v[v.size() - 2 + c]), 0.05f);
}

}  // namespace
