// What differs between the systems the game runs on, in one place.
#pragma once

// The game reads its files from the working folder. On Windows that becomes
// the folder of skarnvale.exe, however the game was started (a shortcut, a
// command prompt elsewhere); on Linux the launcher has already changed into
// the data folder, and nothing happens.
void EnterGameFolder();
