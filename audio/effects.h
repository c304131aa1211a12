// Sound effects: the game's passes and screens ask for an effect by name; the
// one effects player (GameEffects) decides whether it starts and on which
// voice. Samples come from "effects.dat", read once at start-up.
//
// The mix is a budget: at most kEffectVoices effects sound at once (the
// music's voice is apart from them), a full budget gives way to the new
// effect only from a playing effect of lower priority (the oldest of the
// lowest first), each effect has a repeat guard in ticks and a most of
// voices of its own, and the frequent effects are the quiet ones. Pitch
// varies a little per play, from the player's own generator: the game's
// rand() is never drawn.
//
// Game thread only. Without a sound driver nothing is loaded and every
// request is dropped.
#pragma once
#include <allegro.h>

#include <cstdint>
#include <functional>

enum class Effect {
  Breath,       // the dragon breathes fire
  IceShot,      // an enemy throws one aimed shot of ice
  IceRing,      // an enemy throws a ring of twelve
  HitOrc,       // fire hits an orc
  HitWizard,    // fire hits a wizard
  HitHut,       // fire hits a hut
  OrcDies,
  HutFalls,
  WizardDies,
  Teleport,     // a wizard vanishes to jump
  DragonHit,    // ice hits the dragon
  HealthLow,    // the dragon's health falls below a quarter
  StageWon,
  StageLost,
  MenuMove,     // a menu's selection or the world map's cursor moves
  MenuChoose,   // a menu entry or a stage is chosen
  MenuBack,     // the world map is left with ESC
  PageTurn,     // the story page gives way to the stage
  Count
};

// Effect voices at most, of the 32 that start-up reserves.
constexpr int kEffectVoices = 8;
// Screen x of the middle: an effect without a place plays there.
constexpr int kScreenMiddleX = 320;

// How the player reaches the sound system: the library's voices in the game,
// a recorder in tests. start returns a voice number, or -1 when none could
// be had; a voice the player has started it either stops or, once the
// sound has ended (playing false), stops too, which frees it.
struct EffectOutput {
  std::function<int(const SAMPLE *pSample, int iVolume, int iPan, int iFrequency)> start;
  std::function<bool(int iVoice)> playing;
  std::function<void(int iVoice)> stop;
  std::function<void(int iVoice, bool bHeld)> hold;
};

// The library's voices (allocate_voice and friends).
EffectOutput LibraryEffectOutput();

// The name each effect has in "effects.dat".
const char *EffectName(Effect effect);

class EffectsPlayer {
 public:
  EffectsPlayer();
  ~EffectsPlayer() = default;
  EffectsPlayer(const EffectsPlayer &) = delete;
  EffectsPlayer &operator=(const EffectsPlayer &) = delete;

  // Reads the datafile through the datafile check and finds every effect in
  // it. False when the file is missing or damaged or lacks an effect; the
  // effects found still play.
  bool load(const char *cFile);
  // Stops every effect and frees the samples; requests are dropped after.
  void release();
  bool loaded() const { return pData != nullptr; }

  // Starts the effect at screen x iScreenX (0..639; panned from it), unless
  // its repeat guard, its own voice count or the budget says no.
  void play(Effect effect, int iScreenX = kScreenMiddleX);
  // The effects volume, 0 (off) .. 255, scaling every effect's own volume.
  void setVolume(int iVolume);
  int volume() const { return iMasterVolume; }
  // Holds the playing effects where they are (true) or lets them go on;
  // while held no effect starts.
  void hold(bool bHeld);
  void stopAll();
  void setOutput(const EffectOutput &newOutput) { output = newOutput; }

  // Effects sounding now; the requests since load (counted loaded or not)
  // and the effects they started.
  int voicesInUse() const;
  int requests(Effect effect) const { return aRequests[static_cast<int>(effect)]; }
  int starts(Effect effect) const { return aStarts[static_cast<int>(effect)]; }

 private:
  struct Slot {
    int iVoice = -1;  // -1: free
    Effect effect = Effect::Count;
    int iPriority = 0;
    uint32_t uOrder = 0;  // starts counted from load: higher is newer
  };
  void sweep();
  Slot *slotFor(Effect effect, int iPriority);
  void stopSlot(Slot &slot);
  int nextPitch(int iFrequency, int iSpreadPerMille);

  EffectOutput output;
  DATAFILE *pData;
  const SAMPLE *aSamples[static_cast<int>(Effect::Count)];
  int aLastStart[static_cast<int>(Effect::Count)];
  int aRequests[static_cast<int>(Effect::Count)];
  int aStarts[static_cast<int>(Effect::Count)];
  Slot aSlots[kEffectVoices];
  uint32_t uStarted;
  uint32_t uPitchState;  // xorshift32
  int iMasterVolume;
  bool bHeld;
};

// The program's one effects player, alive for the whole process.
extern EffectsPlayer GameEffects;

// GameEffects.play: what the game's passes and screens call.
inline void PlayEffect(Effect effect, int iScreenX = kScreenMiddleX) {
  GameEffects.play(effect, iScreenX);
}
