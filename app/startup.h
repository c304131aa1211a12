// Start-up and shut-down of the library, the devices and the shared state.
#pragma once

#include "app/present.h"

// Brings up Allegro and every device in a fixed order, then the shared state
// (the music's tracks come after, from the entry: StartGameMusic). Ends the process with status 0 (after a message) when
// something the game cannot run without fails, and with status 2 when the
// fixed scale asked for does not fit the desktop.
void StartUp(const DisplayRequest &display = DisplayRequest());

// Every way out of the game ends here, after the music has stopped: removes
// the tick, destroys the BackBuffer and leaves the library. Safe at any point
// of start-up.
void ShutDown();

// The 20 ms timer callback: the only writer of GameTicks.
void OnGameTick();

// Start-up's sound step on its own: the digital driver first, then a silent
// run without drivers. Ends the process if even the silent run fails.
void InstallSoundOrGoSilent();
