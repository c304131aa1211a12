// Score sources of the game's music: a small text format, one file per track.
//
//   title Dances with Dragons      the track's name (informational)
//   tempo 80                       beats per minute
//   beats 4                        beats per bar
//   seed 7                         seed of the humanising variations
//   reverb 0.3                     reverb send of the whole mix, 0..1
//   lead brass | pad strings | bass bowed | arp harp | drums march
//   form Intro A B A+ Coda         sections in playing order; a trailing
//                                  "+" adds a harmony voice and fuller drums
//   section A                      starts a section; its lines follow:
//   energy 3                         0 pad only .. 3 everything
//   chords D A/C# | Bm:2 G:2 |       chord per token, ":beats" (default a bar)
//   melody D5:1.5 A4:0.5 r:2 |       notes (or r) with ":beats" (default 1)
//
// "|" marks a bar line and is checked: every bar holds exactly `beats` beats.
// Durations may be fractions ("1/3"). "#" at the start of a word starts a
// comment.
#pragma once
#include <map>
#include <string>
#include <vector>

struct ScoreNote {
  double dBeat;   // start, in beats from the section's start
  double dBeats;  // length in beats
  int iPitch;     // MIDI note number (60 = middle C)
};

struct ScoreChord {
  double dBeat;
  double dBeats;
  int iRoot;                     // pitch class 0..11 (0 = C)
  int iBass;                     // pitch class of the lowest note
  std::vector<int> vIntervals;   // semitones above the root, root (0) first
};

struct ScoreSection {
  std::string cName;
  int iEnergy = 3;
  double dBeats = 0;             // length, from the chords
  std::vector<ScoreChord> vChords;
  std::vector<ScoreNote> vMelody;
};

// One entry of the form: a section, with or without its harmony voice.
struct FormEntry {
  std::string cSection;
  bool bHarmony = false;
};

struct Score {
  std::string cTitle;
  double dTempo = 120;
  int iBeatsPerBar = 4;
  unsigned iSeed = 1;
  double dReverb = 0.25;
  std::string cLead = "brass", cPad = "strings", cBass = "bowed", cArp = "none", cDrums = "none";
  std::map<std::string, ScoreSection> sections;
  std::vector<FormEntry> vForm;

  // Length of the whole piece in beats and in seconds.
  double TotalBeats() const;
  double Seconds() const { return TotalBeats() * 60.0 / dTempo; }
};

// MIDI number of a note name such as "C4", "F#5", "Bb3"; -1 if malformed.
int ParseNoteName(const std::string &cName);

// A chord name such as "D", "A/C#", "Bm7", "Cmaj7", "Asus4", "B7", "Edim".
// False if malformed.
bool ParseChordName(const std::string &cName, ScoreChord *pChord);

// Parses a score; on failure returns false and sets *pError to
// "line N: what is wrong".
bool ParseScore(const std::string &cText, Score *pScore, std::string *pError);
