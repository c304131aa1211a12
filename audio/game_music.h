// The game's music on the program's jukebox: its tracks registered at start,
// held while the game is away, stopped and freed on the way out.
#pragma once

// Registers the game's three tracks (kTitleTrack ...) on GameJukebox and
// lets a pause of the game hold the playing track. Called once, after
// StartUp.
void StartGameMusic();

// Stops and frees the music. Called on every way out, before ShutDown: the
// refill runs on the timer thread and plays through the sound system, which
// the library removes before its timers.
void StopGameMusic();
