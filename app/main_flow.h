// The game between the splash and the way out: the title menu, and the world
// map after "Play", until "Exit" is chosen or ESC is held; and main's one
// catch around everything.
#pragma once
#include <functional>

// The title menu: 1 "Play", 2 "Options", 3 "Exit", 0 when left with ESC.
using TitleScreen = int (*)();
using WorldMapScreen = void (*)();

// Runs the title, then the world map after "Play", and back to the title.
// "Options" has nothing behind it yet and shows the title again.
void RunMainFlow(TitleScreen runTitle, WorldMapScreen runWorldMap);

// main's body: runs `game` (start-up, splash, the main flow), then
// `shutDown` exactly once, and gives the exit status. A GameExitRequest
// (after a fatal message) ends it with the request's status; any other
// exception is shown as
// "ERROR:  <what it says>" the way a fatal message is (text mode, the
// library's box, standard error) and ends it with 1.
int RunGuarded(const std::function<void()> &game, void (*shutDown)());
