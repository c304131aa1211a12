// Score text parser: line by line, every bar and every duration checked.
#include "score.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

// Pitch class of a letter with an optional accidental at the start of cText;
// sets *pUsed to the characters read. -1 if there is no note letter.
int ParsePitchClass(const std::string &cText, size_t *pUsed) {
  static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  if (cText.empty() || cText[0] < 'A' || cText[0] > 'G') return -1;
  int iClass = kLetters[cText[0] - 'A'];
  *pUsed = 1;
  if (cText.size() > 1 && (cText[1] == '#' || cText[1] == 'b')) {
    iClass += cText[1] == '#' ? 1 : -1;
    *pUsed = 2;
  }
  return (iClass + 12) % 12;
}

// "1.5", "2", "1/3": a positive number of beats, or -1.
double ParseBeats(const std::string &cText) {
  if (cText.empty()) return -1;
  char *pEnd = nullptr;
  double dValue = strtod(cText.c_str(), &pEnd);
  if (*pEnd == '/') {
    double dDivisor = strtod(pEnd + 1, &pEnd);
    if (dDivisor <= 0) return -1;
    dValue /= dDivisor;
  }
  if (*pEnd != '\0' || !(dValue > 0) || dValue > 64) return -1;
  return dValue;
}

// Splits "NAME:beats"; dDefault when there is no ":".
bool SplitDuration(const std::string &cToken, double dDefault, std::string *pName,
                   double *pBeats) {
  size_t iColon = cToken.find(':');
  *pName = cToken.substr(0, iColon);
  *pBeats = iColon == std::string::npos ? dDefault : ParseBeats(cToken.substr(iColon + 1));
  return *pBeats > 0;
}

const struct {
  const char *cName;
  std::vector<int> vIntervals;
} kQualities[] = {
    {"", {0, 4, 7}},          {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},
    {"m7", {0, 3, 7, 10}},    {"maj7", {0, 4, 7, 11}},  {"sus2", {0, 2, 7}},
    {"sus4", {0, 5, 7}},      {"7sus4", {0, 5, 7, 10}}, {"dim", {0, 3, 6}},
    {"aug", {0, 4, 8}},       {"add9", {0, 4, 7, 14}},  {"m9", {0, 3, 7, 10, 14}},
    {"6", {0, 4, 7, 9}},      {"m6", {0, 3, 7, 9}},     {"5", {0, 7}},
};

// A comment starts with "#" at the start of a word ("F#5" is a note).
std::string StripComment(const std::string &cLine) {
  for (size_t i = 0; i < cLine.size(); ++i)
    if (cLine[i] == '#' && (i == 0 || cLine[i - 1] == ' ' || cLine[i - 1] == '\t'))
      return cLine.substr(0, i);
  return cLine;
}

bool NearlyWhole(double dValue) { return std::fabs(dValue - std::round(dValue)) < 1e-6; }

class Parser {
 public:
  Parser(Score *pScore, std::string *pError) : pScore(pScore), pError(pError) {}
  bool Line(const std::string &cLine, int iLine);
  bool Finish();

 private:
  bool Fail(const std::string &cWhat) {
    *pError = "line " + std::to_string(iLineNo) + ": " + cWhat;
    return false;
  }
  bool Chords(std::istringstream &in);
  bool Melody(std::istringstream &in);
  bool BarLine(double dPosition, const char *cWhat);

  Score *pScore;
  std::string *pError;
  ScoreSection *pSection = nullptr;
  double dMelodyBeat = 0;
  int iLineNo = 0;
};

bool Parser::BarLine(double dPosition, const char *cWhat) {
  double dBars = dPosition / pScore->iBeatsPerBar;
  if (!NearlyWhole(dBars)) return Fail(std::string(cWhat) + ": bar line after an incomplete bar");
  return true;
}

bool Parser::Chords(std::istringstream &in) {
  std::string cToken;
  while (in >> cToken) {
    if (cToken == "|") {
      if (!BarLine(pSection->dBeats, "chords")) return false;
      continue;
    }
    std::string cName;
    ScoreChord chord;
    if (!SplitDuration(cToken, pScore->iBeatsPerBar, &cName, &chord.dBeats))
      return Fail("bad chord length in '" + cToken + "'");
    if (!ParseChordName(cName, &chord)) return Fail("unknown chord '" + cName + "'");
    chord.dBeat = pSection->dBeats;
    pSection->dBeats += chord.dBeats;
    pSection->vChords.push_back(chord);
  }
  return true;
}

bool Parser::Melody(std::istringstream &in) {
  std::string cToken;
  while (in >> cToken) {
    if (cToken == "|") {
      if (!BarLine(dMelodyBeat, "melody")) return false;
      continue;
    }
    std::string cName;
    double dBeats;
    if (!SplitDuration(cToken, 1.0, &cName, &dBeats))
      return Fail("bad note length in '" + cToken + "'");
    if (cName != "r") {
      int iPitch = ParseNoteName(cName);
      if (iPitch < 0) return Fail("bad note '" + cName + "'");
      pSection->vMelody.push_back({dMelodyBeat, dBeats, iPitch});
    }
    dMelodyBeat += dBeats;
  }
  return true;
}

bool Parser::Line(const std::string &cRaw, int iLine) {
  iLineNo = iLine;
  std::string cLine = StripComment(cRaw);
  std::istringstream in(cLine);
  std::string cKey;
  if (!(in >> cKey)) return true;
  std::string cRest;
  if (cKey == "section") {
    if (!(in >> cRest)) return Fail("section without a name");
    if (pScore->sections.count(cRest)) return Fail("section '" + cRest + "' given twice");
    pSection = &pScore->sections[cRest];
    pSection->cName = cRest;
    dMelodyBeat = 0;
    return true;
  }
  if (cKey == "chords" || cKey == "melody" || cKey == "energy") {
    if (pSection == nullptr) return Fail(cKey + " outside a section");
    if (cKey == "chords") return Chords(in);
    if (cKey == "melody") return Melody(in);
    if (!(in >> pSection->iEnergy) || pSection->iEnergy < 0 || pSection->iEnergy > 3)
      return Fail("energy must be 0..3");
    return true;
  }
  if (pSection != nullptr) return Fail("'" + cKey + "' inside a section");
  if (cKey == "title") {
    std::getline(in >> std::ws, pScore->cTitle);
  } else if (cKey == "tempo") {
    if (!(in >> pScore->dTempo) || pScore->dTempo < 20 || pScore->dTempo > 300)
      return Fail("tempo must be 20..300");
  } else if (cKey == "beats") {
    if (!(in >> pScore->iBeatsPerBar) || pScore->iBeatsPerBar < 1 || pScore->iBeatsPerBar > 12)
      return Fail("beats must be 1..12");
  } else if (cKey == "seed") {
    if (!(in >> pScore->iSeed)) return Fail("bad seed");
  } else if (cKey == "reverb") {
    if (!(in >> pScore->dReverb) || pScore->dReverb < 0 || pScore->dReverb > 1)
      return Fail("reverb must be 0..1");
  } else if (cKey == "lead" || cKey == "pad" || cKey == "bass" || cKey == "arp" ||
             cKey == "drums") {
    if (!(in >> cRest)) return Fail(cKey + " needs an instrument");
    std::string *pSlot = cKey == "lead" ? &pScore->cLead
                         : cKey == "pad" ? &pScore->cPad
                         : cKey == "bass" ? &pScore->cBass
                         : cKey == "arp" ? &pScore->cArp : &pScore->cDrums;
    *pSlot = cRest;
  } else if (cKey == "form") {
    while (in >> cRest) {
      FormEntry entry;
      entry.bHarmony = cRest.back() == '+';
      entry.cSection = entry.bHarmony ? cRest.substr(0, cRest.size() - 1) : cRest;
      pScore->vForm.push_back(entry);
    }
  } else {
    return Fail("unknown keyword '" + cKey + "'");
  }
  return true;
}

bool Parser::Finish() {
  if (pScore->vForm.empty()) return Fail("no form");
  for (const auto &entry : pScore->vForm)
    if (pScore->sections.count(entry.cSection) == 0)
      return Fail("form names unknown section '" + entry.cSection + "'");
  for (const auto &named : pScore->sections) {
    const ScoreSection &section = named.second;
    if (section.vChords.empty()) return Fail("section '" + section.cName + "' has no chords");
    if (!NearlyWhole(section.dBeats / pScore->iBeatsPerBar))
      return Fail("section '" + section.cName + "' does not fill its last bar");
    if (!section.vMelody.empty()) {
      const ScoreNote &last = section.vMelody.back();
      if (last.dBeat + last.dBeats > section.dBeats + 1e-6)
        return Fail("melody of '" + section.cName + "' is longer than its chords");
    }
  }
  return true;
}

}  // namespace

double Score::TotalBeats() const {
  double dBeats = 0;
  for (const auto &entry : vForm) {
    auto found = sections.find(entry.cSection);
    if (found != sections.end()) dBeats += found->second.dBeats;
  }
  return dBeats;
}

int ParseNoteName(const std::string &cName) {
  size_t iUsed = 0;
  int iClass = ParsePitchClass(cName, &iUsed);
  if (iClass < 0 || iUsed + 1 != cName.size()) return -1;
  char cOctave = cName[iUsed];
  if (cOctave < '0' || cOctave > '8') return -1;
  // B#/Cb cross the octave boundary: the octave belongs to the letter.
  int iOctaveShift = 0;
  if (cName[0] == 'B' && iClass == 0) iOctaveShift = 1;
  if (cName[0] == 'C' && iClass == 11) iOctaveShift = -1;
  return (cOctave - '0' + 1 + iOctaveShift) * 12 + iClass;
}

bool ParseChordName(const std::string &cName, ScoreChord *pChord) {
  size_t iUsed = 0;
  int iRoot = ParsePitchClass(cName, &iUsed);
  if (iRoot < 0) return false;
  size_t iSlash = cName.find('/');
  std::string cQuality = cName.substr(iUsed, iSlash == std::string::npos ? std::string::npos
                                                                           : iSlash - iUsed);
  pChord->iRoot = iRoot;
  pChord->iBass = iRoot;
  if (iSlash != std::string::npos) {
    std::string cBass = cName.substr(iSlash + 1);
    size_t iBassUsed = 0;
    pChord->iBass = ParsePitchClass(cBass, &iBassUsed);
    if (pChord->iBass < 0 || iBassUsed != cBass.size()) return false;
  }
  for (const auto &quality : kQualities) {
    if (cQuality == quality.cName) {
      pChord->vIntervals = quality.vIntervals;
      return true;
    }
  }
  return false;
}

bool ParseScore(const std::string &cText, Score *pScore, std::string *pError) {
  Parser parser(pScore, pError);
  std::istringstream in(cText);
  std::string cLine;
  int iLine = 0;
  while (std::getline(in, cLine))
    if (!parser.Line(cLine, ++iLine)) return false;
  return parser.Finish();
}
