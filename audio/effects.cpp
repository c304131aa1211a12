// The effects player: the table of effects, the voice budget with its
// priorities, the repeat guards, pan and pitch, and the library's voices.
#include "audio/effects.h"

#include <allegro.h>

#include "app/datafile_check.h"
#include "app/globals.h"

EffectsPlayer GameEffects;

namespace {

// Per effect: its name in the datafile, its volume at full effects volume
// (the frequent ones quietest), its priority (higher keeps its voice), the
// ticks before it may start again, the voices it may hold at once (the
// oldest gives way to a new one) and its pitch spread in thousandths.
struct EffectTraits {
  const char *cName;
  int iVolume;
  int iPriority;
  int iGuardTicks;
  int iMaxVoices;
  int iSpread;
};

const EffectTraits kTraits[static_cast<int>(Effect::Count)] = {
    {"BREATH", 46, 10, 4, 2, 40},        {"ICE_SHOT", 60, 20, 4, 2, 50},
    {"ICE_RING", 90, 30, 6, 1, 30},      {"HIT_ORC", 110, 40, 3, 2, 60},
    {"HIT_WIZARD", 110, 40, 3, 2, 60},   {"HIT_HUT", 110, 40, 3, 2, 60},
    {"ORC_DIES", 160, 60, 2, 2, 50},     {"HUT_FALLS", 170, 60, 2, 2, 40},
    {"WIZARD_DIES", 170, 60, 2, 2, 40},  {"TELEPORT", 120, 50, 4, 2, 40},
    {"DRAGON_HIT", 170, 70, 5, 1, 40},   {"HEALTH_LOW", 190, 80, 50, 1, 0},
    {"STAGE_WON", 200, 90, 50, 1, 0},    {"STAGE_LOST", 200, 90, 50, 1, 0},
    {"MENU_MOVE", 120, 90, 2, 1, 0},     {"MENU_CHOOSE", 150, 90, 2, 1, 0},
    {"MENU_BACK", 150, 90, 2, 1, 0},     {"PAGE_TURN", 150, 90, 10, 1, 0},
};

const EffectTraits &TraitsOf(Effect effect) { return kTraits[static_cast<int>(effect)]; }

// Pan 0..255 from a screen x, kept off the far sides: an effect at the
// screen's edge is heard to that side, not in one ear only.
int PanAt(int iScreenX) {
  if (iScreenX < 0) iScreenX = 0;
  if (iScreenX > 639) iScreenX = 639;
  return 128 + (iScreenX - kScreenMiddleX) * 80 / 320;
}

}  // namespace

EffectOutput LibraryEffectOutput() {
  EffectOutput out;
  out.start = [](const SAMPLE *pSample, int iVolume, int iPan, int iFrequency) {
    const int iVoice = allocate_voice(pSample);
    if (iVoice < 0) return -1;
    voice_set_volume(iVoice, iVolume);
    voice_set_pan(iVoice, iPan);
    voice_set_frequency(iVoice, iFrequency);
    voice_start(iVoice);
    return iVoice;
  };
  // A voice that has played to its end reports no position.
  out.playing = [](int iVoice) { return voice_get_position(iVoice) >= 0; };
  out.stop = [](int iVoice) { deallocate_voice(iVoice); };
  out.hold = [](int iVoice, bool bHeld) {
    if (bHeld) voice_stop(iVoice);
    else voice_start(iVoice);
  };
  return out;
}

const char *EffectName(Effect effect) { return TraitsOf(effect).cName; }

EffectsPlayer::EffectsPlayer()
    : output(LibraryEffectOutput()), pData(nullptr), aSamples(), aLastStart(), aRequests(),
      aStarts(), aSlots(), uStarted(0), uPitchState(0x2545F491u), iMasterVolume(255),
      bHeld(false) {}

bool EffectsPlayer::load(const char *cFile) {
  release();
  pData = LoadDatafileChecked(cFile);
  if (pData == nullptr) return false;
  bool bComplete = true;
  for (int i = 0; i < static_cast<int>(Effect::Count); ++i) {
    const DATAFILE *pObject = find_datafile_object(pData, kTraits[i].cName);
    aSamples[i] = pObject != nullptr && pObject->type == DAT_SAMPLE
                      ? static_cast<const SAMPLE *>(pObject->dat)
                      : nullptr;
    if (aSamples[i] == nullptr) bComplete = false;
    aLastStart[i] = 0;
    aRequests[i] = 0;
    aStarts[i] = 0;
  }
  uStarted = 0;
  return bComplete;
}

void EffectsPlayer::release() {
  stopAll();
  for (const SAMPLE *&pSample : aSamples) pSample = nullptr;
  if (pData != nullptr) unload_datafile(pData);
  pData = nullptr;
}

void EffectsPlayer::stopSlot(Slot &slot) {
  if (slot.iVoice >= 0) output.stop(slot.iVoice);
  slot = Slot();
}

void EffectsPlayer::stopAll() {
  for (Slot &slot : aSlots) stopSlot(slot);
  bHeld = false;
}

// Frees the voices whose effect has played to its end.
void EffectsPlayer::sweep() {
  for (Slot &slot : aSlots)
    if (slot.iVoice >= 0 && !output.playing(slot.iVoice)) stopSlot(slot);
}

int EffectsPlayer::voicesInUse() const {
  int iCount = 0;
  for (const Slot &slot : aSlots) iCount += slot.iVoice >= 0 ? 1 : 0;
  return iCount;
}

// The slot for a new effect: the oldest of its own once it holds its most,
// else a free one, else the oldest of the lowest priority below or equal to
// its own; null when every playing effect outranks it.
EffectsPlayer::Slot *EffectsPlayer::slotFor(Effect effect, int iPriority) {
  Slot *pOldestOwn = nullptr;
  int iOwn = 0;
  for (Slot &slot : aSlots) {
    if (slot.iVoice < 0 || slot.effect != effect) continue;
    ++iOwn;
    if (pOldestOwn == nullptr || slot.uOrder < pOldestOwn->uOrder) pOldestOwn = &slot;
  }
  if (iOwn >= TraitsOf(effect).iMaxVoices) return pOldestOwn;
  Slot *pChoice = nullptr;
  for (Slot &slot : aSlots) {
    if (slot.iVoice < 0) return &slot;
    if (slot.iPriority > iPriority) continue;
    if (pChoice == nullptr || slot.iPriority < pChoice->iPriority ||
        (slot.iPriority == pChoice->iPriority && slot.uOrder < pChoice->uOrder))
      pChoice = &slot;
  }
  return pChoice;
}

int EffectsPlayer::nextPitch(int iFrequency, int iSpreadPerMille) {
  uPitchState ^= uPitchState << 13;
  uPitchState ^= uPitchState >> 17;
  uPitchState ^= uPitchState << 5;
  if (iSpreadPerMille <= 0) return iFrequency;
  const int iOffset = static_cast<int>(uPitchState % (2u * iSpreadPerMille + 1)) - iSpreadPerMille;
  return iFrequency * (1000 + iOffset) / 1000;
}

void EffectsPlayer::play(Effect effect, int iScreenX) {
  const int i = static_cast<int>(effect);
  if (i < 0 || i >= static_cast<int>(Effect::Count)) return;
  aRequests[i] += 1;
  const SAMPLE *pSample = aSamples[i];
  if (pSample == nullptr || bHeld || iMasterVolume <= 0) return;
  const EffectTraits &traits = kTraits[i];
  if (aStarts[i] > 0 && TicksSince(aLastStart[i]) < traits.iGuardTicks) return;
  sweep();
  Slot *pSlot = slotFor(effect, traits.iPriority);
  if (pSlot == nullptr) return;
  stopSlot(*pSlot);
  const int iVolume = traits.iVolume * iMasterVolume / 255;
  const int iVoice = output.start(pSample, iVolume, PanAt(iScreenX),
                                  nextPitch(pSample->freq, traits.iSpread));
  if (iVoice < 0) return;
  pSlot->iVoice = iVoice;
  pSlot->effect = effect;
  pSlot->iPriority = traits.iPriority;
  pSlot->uOrder = ++uStarted;
  aLastStart[i] = GameTicks.load(std::memory_order_relaxed);
  aStarts[i] += 1;
}

void EffectsPlayer::setVolume(int iVolume) {
  iMasterVolume = iVolume < 0 ? 0 : iVolume > 255 ? 255 : iVolume;
}

void EffectsPlayer::hold(bool bNewHeld) {
  if (bNewHeld == bHeld) return;
  bHeld = bNewHeld;
  for (Slot &slot : aSlots)
    if (slot.iVoice >= 0) output.hold(slot.iVoice, bHeld);
}
