// The game's sound: its music on the program's jukebox and its effects on the
// effects player, loaded at start, held while the game is away, stopped and
// freed on the way out.
#pragma once

// The effects' one data file, in the run folder.
constexpr const char *kEffectsFile = "effects.dat";

// Registers the game's three tracks (kTitleTrack ...) on GameJukebox, loads
// the effects into GameEffects (a missing or damaged file: one message, then
// the game plays on without effects) and lets a pause of the game hold the
// playing track and effects. Called once, after StartUp.
void StartGameMusic();

// Stops and frees the effects and the music. Called on every way out, before
// ShutDown: the refill runs on the timer thread and plays through the sound
// system, which the library removes before its timers.
void StopGameMusic();

// A volume step of the settings (0 .. VolumeSteps) as the library's level
// (0 .. 255): each step about the same change to the ear (the level grows
// with the square of the step), so half way is a quarter of the level.
int VolumeLevel(int iStep);

// The volumes of GameSettings onto the music (the playing track at once) and
// the effects.
void ApplySoundSettings();
