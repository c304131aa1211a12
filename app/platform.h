// What differs between the systems the game runs on, in one place.
#pragma once

// The game reads its files from the working folder. On Windows that becomes
// the folder of skarnvale.exe, however the game was started (a shortcut, a
// command prompt elsewhere); on Linux the launcher has already changed into
// the data folder, and nothing happens.
void EnterGameFolder();

// Tells the desktop that someone is playing, as a key press would: its
// screensaver and the display's power saving count their idle time afresh.
// On X11 the screensaver's timer is reset; on Windows the display's and
// system's idle timers. Nothing is held: when the calls stop, so does the
// effect. Without a display (tests) nothing happens.
void TellDesktopSomeoneIsPlaying();
