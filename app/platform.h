// What differs between the systems the game runs on, in one place.
#pragma once

// The game reads its files from the working folder. On Windows that becomes
// the folder of skarnvale.exe, however the game was started (a shortcut, a
// command prompt elsewhere); on Linux the launcher has already changed into
// the data folder, and nothing happens.
void EnterGameFolder();

// Gives the game's window what the desktop shows of it: the title
// "Skarnvale"; on X11 the class "skarnvale" / "Skarnvale" (instance and
// class, which the desktop entry's StartupWMClass names) and the icon of
// "window_icon.bmp" (WindowIconSizes squares side by side, the mask colour
// around them; a missing or damaged file leaves the window without it). On
// Windows the window and the taskbar take the exe's icon from its resources.
// Called once the library has started and before the first graphics mode,
// so the desktop sees all this when the window first shows.
void DressGameWindow();

// The squares of "window_icon.bmp", left to right, each at the top.
constexpr int WindowIconSizes[] = {16, 32, 48, 64};

// What the command line answers (--help, --version, a refused option, a
// scale the desktop cannot hold): on standard output, or on standard error
// with bError. On Windows, where the game is a windowed program whose
// standard streams nobody sees unless they were redirected, it goes to the
// console the game was started from, or else into a message box.
void ShowCommandLineText(const char *cText, bool bError);

// Tells the desktop that someone is playing, as a key press would: its
// screensaver and the display's power saving count their idle time afresh.
// On X11 the screensaver's timer is reset; on Windows the display's and
// system's idle timers. Nothing is held: when the calls stop, so does the
// effect. Without a display (tests) nothing happens.
void TellDesktopSomeoneIsPlaying();

// A display switch can swallow the release of a key held through it: the
// window the release was meant for was gone. Lets go, as the library's own
// release would, of every key it still holds down that the desktop says is
// up. On X11 the desktop's keyboard is asked; elsewhere, and without a
// display, nothing happens.
void LetGoOfKeysTheDesktopHasUp();

// The library runs its background work (the desktop's events, the sound
// mixer) every 10 ms, but its own thread looks at the clock every 1 ms to
// know when, and its X event step waits for a round trip to the X server
// every time. Puts a thread of the same behaviour in its place that sleeps
// to each step in one wait, and an event step that asks the server only
// when events have come (app/background_work.cpp). Called before the
// library starts. On Windows nothing happens.
void PaceTheLibrarysBackgroundWork();
