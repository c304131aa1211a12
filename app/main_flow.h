// The game between the splash and the way out: the title menu, and the world
// map after "Play", until "Exit" is chosen or ESC is held.
#pragma once

// The title menu: 1 "Play", 2 "Options", 3 "Exit", 0 when left with ESC.
using TitleScreen = int (*)();
using WorldMapScreen = void (*)();

// Runs the title, then the world map after "Play", and back to the title.
// "Options" has nothing behind it yet and shows the title again.
void RunMainFlow(TitleScreen runTitle, WorldMapScreen runWorldMap);
