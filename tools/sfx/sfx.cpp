// Effect recipes: the parser, the layer renderer, the loudness match and the
// datafile and WAV writers.
#include "sfx.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "score.h"
#include "synth.h"

namespace {

const double kTwoPi = 6.283185307179586;

bool ParseSweep(const std::string &c, SfxSweep *pSweep) {
  const size_t iArrow = c.find('>');
  char *pEnd = nullptr;
  const std::string cFrom = c.substr(0, iArrow);
  pSweep->dFrom = strtod(cFrom.c_str(), &pEnd);
  if (pEnd == cFrom.c_str() || *pEnd != '\0' || pSweep->dFrom <= 0) return false;
  pSweep->dTo = pSweep->dFrom;
  if (iArrow == std::string::npos) return true;
  const std::string cTo = c.substr(iArrow + 1);
  pSweep->dTo = strtod(cTo.c_str(), &pEnd);
  return pEnd != cTo.c_str() && *pEnd == '\0' && pSweep->dTo > 0;
}

bool ParseNumber(std::istringstream &in, double *pValue) {
  std::string c;
  if (!(in >> c)) return false;
  char *pEnd = nullptr;
  *pValue = strtod(c.c_str(), &pEnd);
  return pEnd != c.c_str() && *pEnd == '\0';
}

// The words after a layer's source; false with the reason in *pWhy.
bool ParseLayerOptions(std::istringstream &in, SfxLayer *pLayer, std::string *pWhy) {
  std::string c;
  while (in >> c) {
    bool bOk = true;
    if (c == "at") bOk = ParseNumber(in, &pLayer->dAt) && pLayer->dAt >= 0;
    else if (c == "for") bOk = ParseNumber(in, &pLayer->dFor) && pLayer->dFor > 0;
    else if (c == "gain") bOk = ParseNumber(in, &pLayer->dGain);
    else if (c == "q") bOk = ParseNumber(in, &pLayer->dResonance) && pLayer->dResonance >= 0 &&
                             pLayer->dResonance <= 0.95;
    else if (c == "env")
      bOk = ParseNumber(in, &pLayer->dAttack) && ParseNumber(in, &pLayer->dDecay) &&
            ParseNumber(in, &pLayer->dSustain) && ParseNumber(in, &pLayer->dRelease) &&
            pLayer->dAttack >= 0 && pLayer->dDecay >= 0 && pLayer->dRelease >= 0;
    else if (c == "wobble")
      bOk = ParseNumber(in, &pLayer->dWobbleRate) && ParseNumber(in, &pLayer->dWobbleDepth);
    else if (c == "low" || c == "band" || c == "high") {
      pLayer->cFilter = c;
      std::string cSweep;
      bOk = (in >> cSweep) && ParseSweep(cSweep, &pLayer->filter);
    } else if (pLayer->cSource == "notes" && c.find(':') != std::string::npos) {
      const std::string cNote = c.substr(0, c.find(':'));
      const double dSeconds = strtod(c.c_str() + c.find(':') + 1, nullptr);
      const double dPitch = cNote == "r" ? -1 : ParseNoteName(cNote);
      bOk = dSeconds > 0 && (cNote == "r" || dPitch >= 0);
      pLayer->vNotes.push_back({dPitch, dSeconds});
    } else {
      *pWhy = "unknown word \"" + c + "\"";
      return false;
    }
    if (!bOk) {
      *pWhy = "bad value after \"" + c + "\"";
      return false;
    }
  }
  return true;
}

bool ParseLayer(std::istringstream &in, const std::string &cSource, SfxLayer *pLayer,
                std::string *pWhy) {
  pLayer->cSource = cSource;
  if (cSource == "notes") {
    if (!(in >> pLayer->cInstrument) || !IsInstrument(pLayer->cInstrument)) {
      *pWhy = "notes need one of the music's instruments";
      return false;
    }
  } else if (cSource != "noise") {
    std::string cPitch;
    if (!(in >> cPitch) || !ParseSweep(cPitch, &pLayer->pitch)) {
      *pWhy = cSource + " needs its pitch in Hz";
      return false;
    }
  }
  return ParseLayerOptions(in, pLayer, pWhy);
}

// Amplitude of the layer's envelope at dTime seconds, released at dHeld:
// a linear attack, an exponential decay to the sustain, a release to zero.
double EnvelopeAt(const SfxLayer &layer, double dTime, double dHeld) {
  auto Held = [&layer](double t) {
    if (t < layer.dAttack) return t / layer.dAttack;
    if (layer.dDecay <= 0) return layer.dSustain;
    return layer.dSustain + (1.0 - layer.dSustain) * std::exp(-(t - layer.dAttack) / layer.dDecay);
  };
  if (dTime <= dHeld) return Held(dTime);
  if (layer.dRelease <= 0) return 0;
  const double u = (dTime - dHeld) / layer.dRelease;
  return u >= 1 ? 0 : Held(dHeld) * std::exp(-4.6 * u) * (1 - u);
}

void RenderSource(const SfxLayer &layer, double dLength, Rng &rng, std::vector<float> &vOut) {
  const size_t iStart = static_cast<size_t>(layer.dAt * kSampleRate);
  const double dHeld = std::max(0.0, dLength - layer.dRelease);
  BlepOscillator osc(rng.Unit());
  StateVariableFilter filter;
  double dPhase = rng.Unit();
  const size_t iFrames = static_cast<size_t>(dLength * kSampleRate);
  for (size_t i = 0; i < iFrames && iStart + i < vOut.size(); ++i) {
    const double dTime = static_cast<double>(i) / kSampleRate;
    const double dFraction = std::min(1.0, dTime / std::max(1e-6, dLength));
    double dHz = layer.cSource == "noise" ? 0 : layer.pitch.At(dFraction);
    if (layer.dWobbleRate > 0)
      dHz *= std::pow(2.0, layer.dWobbleDepth * std::sin(kTwoPi * layer.dWobbleRate * dTime) / 12);
    float fValue = 0;
    if (layer.cSource == "noise") fValue = rng.Bipolar();
    else if (layer.cSource == "saw") fValue = osc.Saw(dHz);
    else if (layer.cSource == "square") fValue = osc.Square(dHz);
    else {
      fValue = static_cast<float>(std::sin(kTwoPi * dPhase));
      dPhase += dHz / kSampleRate;
      dPhase -= std::floor(dPhase);
    }
    if (!layer.cFilter.empty()) {
      const double dCutoff = std::min(18000.0, layer.filter.At(dFraction));
      filter.Process(fValue, dCutoff, layer.dResonance);
      fValue = layer.cFilter == "low" ? filter.fLow
               : layer.cFilter == "band" ? filter.fBand
                                         : filter.fHigh;
    }
    vOut[iStart + i] += static_cast<float>(fValue * EnvelopeAt(layer, dTime, dHeld) * layer.dGain);
  }
}

void RenderNotes(const SfxLayer &layer, Rng &rng, std::vector<float> &vOut) {
  double dTime = layer.dAt;
  for (const SfxLayer::Note &note : layer.vNotes) {
    if (note.dPitch >= 0) {
      const NoteEvent event{0, note.dSeconds, note.dPitch, 0.9f, 0};
      const std::vector<float> vVoice = RenderVoice(layer.cInstrument, event, rng);
      const size_t iStart = static_cast<size_t>(dTime * kSampleRate);
      for (size_t i = 0; i < vVoice.size() && iStart + i < vOut.size(); ++i)
        vOut[iStart + i] += static_cast<float>(vVoice[i] * layer.dGain);
    }
    dTime += note.dSeconds;
  }
}

void PutLe(std::string &c, uint32_t uValue, int iBytes) {
  for (int i = 0; i < iBytes; ++i) c += static_cast<char>((uValue >> (8 * i)) & 0xFF);
}

void PutBe(std::string &c, uint32_t uValue, int iBytes) {
  for (int i = iBytes - 1; i >= 0; --i) c += static_cast<char>((uValue >> (8 * i)) & 0xFF);
}

int16_t ToPcm(float f) {
  return static_cast<int16_t>(std::lround(std::max(-1.0f, std::min(1.0f, f)) * 32767.0f));
}

}  // namespace

double SfxSweep::At(double dFraction) const {
  return dFrom * std::pow(dTo / dFrom, dFraction);
}

bool ParseSfx(const std::string &cText, std::vector<SfxRecipe> *pRecipes, std::string *pError) {
  std::istringstream lines(cText);
  std::string cLine;
  int iLine = 0;
  auto Fail = [&](const std::string &cWhy) {
    *pError = "line " + std::to_string(iLine) + ": " + cWhy;
    return false;
  };
  while (std::getline(lines, cLine)) {
    ++iLine;
    // A comment starts with "#" at the start of a word (F#4 is a note).
    for (size_t i = 0; i < cLine.size(); ++i)
      if (cLine[i] == '#' && (i == 0 || isspace(static_cast<unsigned char>(cLine[i - 1])))) {
        cLine.resize(i);
        break;
      }
    std::istringstream in(cLine);
    std::string cWord;
    if (!(in >> cWord)) continue;
    if (cWord == "effect") {
      SfxRecipe recipe;
      std::string cSeed;
      double dSeed = 0;
      if (!(in >> recipe.cName) || !ParseNumber(in, &recipe.dSeconds) || recipe.dSeconds <= 0 ||
          recipe.dSeconds > 4 || !(in >> cSeed) || cSeed != "seed" || !ParseNumber(in, &dSeed))
        return Fail("effect NAME SECONDS seed N");
      recipe.uSeed = static_cast<uint32_t>(dSeed);
      for (const SfxRecipe &other : *pRecipes)
        if (other.cName == recipe.cName) return Fail("a second effect " + recipe.cName);
      pRecipes->push_back(recipe);
      continue;
    }
    if (pRecipes->empty()) return Fail("\"" + cWord + "\" before the first effect");
    SfxRecipe &recipe = pRecipes->back();
    if (cWord == "reverb") {
      if (!ParseNumber(in, &recipe.dReverb) || recipe.dReverb < 0 || recipe.dReverb > 1)
        return Fail("reverb takes 0..1");
      continue;
    }
    if (cWord != "noise" && cWord != "saw" && cWord != "square" && cWord != "sine" &&
        cWord != "notes")
      return Fail("unknown source \"" + cWord + "\"");
    SfxLayer layer;
    std::string cWhy;
    if (!ParseLayer(in, cWord, &layer, &cWhy)) return Fail(cWhy);
    if (layer.dAt >= recipe.dSeconds) return Fail("the layer starts after the effect ends");
    recipe.vLayers.push_back(layer);
  }
  for (const SfxRecipe &recipe : *pRecipes)
    if (recipe.vLayers.empty()) return Fail(recipe.cName + " has no layer");
  return true;
}

std::vector<float> RenderSfx(const SfxRecipe &recipe) {
  std::vector<float> vOut(static_cast<size_t>(recipe.dSeconds * kSampleRate));
  Rng rng(recipe.uSeed);
  for (const SfxLayer &layer : recipe.vLayers) {
    if (layer.cSource == "notes") {
      RenderNotes(layer, rng, vOut);
    } else {
      const double dLength = layer.dFor > 0 ? layer.dFor : recipe.dSeconds - layer.dAt;
      RenderSource(layer, dLength, rng, vOut);
    }
  }
  if (recipe.dReverb > 0) {
    Reverb reverb(0.5, 0.4);
    for (float &f : vOut) {
      float fLeft, fRight;
      reverb.Process(f, &fLeft, &fRight);
      f += static_cast<float>(recipe.dReverb * 0.5 * (fLeft + fRight));
    }
  }
  // No click at either end: 2 ms in, 10 ms out.
  const size_t iIn = std::min(vOut.size(), static_cast<size_t>(0.002 * kSampleRate));
  const size_t iOut = std::min(vOut.size(), static_cast<size_t>(0.010 * kSampleRate));
  for (size_t i = 0; i < iIn; ++i) vOut[i] *= static_cast<float>(i) / iIn;
  for (size_t i = 0; i < iOut; ++i) vOut[vOut.size() - 1 - i] *= static_cast<float>(i) / iOut;
  return vOut;
}

double LoudestRms(const std::vector<float> &v) {
  const size_t iWindow = static_cast<size_t>(0.05 * kSampleRate);
  double dSum = 0, dLoudest = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    dSum += static_cast<double>(v[i]) * v[i];
    if (i >= iWindow) dSum -= static_cast<double>(v[i - iWindow]) * v[i - iWindow];
    dLoudest = std::max(dLoudest, dSum / static_cast<double>(iWindow));
  }
  return std::sqrt(std::max(0.0, dLoudest));
}

void MatchLoudness(std::vector<std::vector<float>> &vEffects, double dTarget, double dPeak) {
  for (std::vector<float> &v : vEffects) {
    const double dLoudness = LoudestRms(v);
    if (dLoudness <= 0) continue;
    double dScale = dTarget / dLoudness;
    float fPeak = 0;
    for (float f : v) fPeak = std::max(fPeak, std::fabs(f));
    if (fPeak * dScale > dPeak) dScale = dPeak / fPeak;
    for (float &f : v) f = static_cast<float>(f * dScale);
  }
}

std::string EffectsDatafile(const std::vector<SfxRecipe> &vRecipes,
                            const std::vector<std::vector<float>> &vEffects) {
  // The packfile's "not compressed" magic, the datafile's, the object count,
  // then per object its NAME property and the sample: bits (16), rate and
  // length big-endian, the samples little-endian and unsigned.
  std::string c = "slh.ALL.";
  PutBe(c, static_cast<uint32_t>(vEffects.size()), 4);
  for (size_t i = 0; i < vEffects.size(); ++i) {
    c += "propNAME";
    PutBe(c, static_cast<uint32_t>(vRecipes[i].cName.size()), 4);
    c += vRecipes[i].cName;
    const uint32_t uBytes = 8 + static_cast<uint32_t>(vEffects[i].size()) * 2;
    c += "SAMP";
    PutBe(c, uBytes, 4);
    PutBe(c, uBytes, 4);
    PutBe(c, 16, 2);
    PutBe(c, kSampleRate, 2);
    PutBe(c, static_cast<uint32_t>(vEffects[i].size()), 4);
    for (float f : vEffects[i]) PutLe(c, static_cast<uint16_t>(ToPcm(f) + 32768), 2);
  }
  return c;
}

std::string MonoWav(const std::vector<float> &vSamples) {
  std::string c = "RIFF";
  const uint32_t uData = static_cast<uint32_t>(vSamples.size() * 2);
  PutLe(c, 36 + uData, 4);
  c += "WAVEfmt ";
  PutLe(c, 16, 4);
  PutLe(c, 1, 2);
  PutLe(c, 1, 2);
  PutLe(c, kSampleRate, 4);
  PutLe(c, kSampleRate * 2, 4);
  PutLe(c, 2, 2);
  PutLe(c, 16, 2);
  c += "data";
  PutLe(c, uData, 4);
  for (float f : vSamples) PutLe(c, static_cast<uint16_t>(ToPcm(f)), 2);
  return c;
}
