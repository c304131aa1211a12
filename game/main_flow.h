// The game between the splash and the way out: the title menu, and the world
// map after "Play", until "Exit" is chosen or ESC is held; and main's one
// catch around everything.
#pragma once
#include <functional>

#include "screens/screens.h"

// The title menu, returning what the player chose.
using TitleScreen = TitleChoice (*)();
using WorldMapScreen = void (*)();

// Runs the title, then the world map after "Play", and back to the title.
// (The title runs the Options screen itself and shows again.) Nothing
// shows the title again unless ESC is still held.
void RunMainFlow(TitleScreen runTitle, WorldMapScreen runWorldMap);

// main's body: runs `game` (start-up, splash, the main flow), then
// `shutDown` exactly once, and gives the exit status. A GameExitRequest
// (after a fatal message) ends it with the request's status; any other
// exception is shown as
// "ERROR:  <what it says>" the way a fatal message is (text mode, the
// library's box, standard error) and ends it with 1.
int RunGuarded(const std::function<void()> &game, void (*shutDown)());
