// The screens outside a stage, as the main flow calls them.
#pragma once

// The logos and the notice page, once at start-up; false returns at once.
void ShowSplash(bool bShow);
// The title menu: 1 "Play", 2 "Options", 3 "Exit", 0 when ESC closed it.
int RunTitleMenu();
// The world map, until the player leaves it or loses a stage.
void RunWorldMap();
