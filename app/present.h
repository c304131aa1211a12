// The one way a picture reaches the player: every screen composes its
// 640 x 480 picture in memory and hands it here. Only this module knows the
// size of the output (the desktop in full screen, or a window), scales the
// picture by a whole number, centres it on black, and paces the screen loops
// to one shown picture per game tick.
#pragma once
#include <allegro.h>

#include "support/blit32.h"

// Size of the game's own picture, in game pixels.
constexpr int PictureWidth = 640;
constexpr int PictureHeight = 480;

// Where the scaled picture lies on an output, in output pixels. Offsets are
// negative when the output is smaller than the picture (it is then cut).
struct PresentLayout {
  int iScale;
  int iLeft;
  int iTop;
};

// The layout for an output of iWidth x iHeight: iScale when given (> 0),
// otherwise the largest whole scale at which the picture fits (at least 1).
PresentLayout FitPicture(int iWidth, int iHeight, int iScale = 0);

// Nearest-neighbour scaling: each pixel of pFrom becomes an iScale x iScale
// block of pTo, the first at (iLeft, iTop), which must lie wholly inside pTo.
// 32-bit memory bitmaps are scaled a row at a time; anything else goes to the
// library's stretch. With pPart, only that rectangle of pFrom is scaled, to
// the place it has in the whole scaled picture.
void ScalePicture32(BITMAP *pFrom, BITMAP *pTo, int iScale, int iLeft = 0, int iTop = 0,
                    const PixelRect *pPart = nullptr);

// How the game asks for its display.
struct DisplayRequest {
  bool bWindow = false;  // start in a window instead of full screen
  int iScale = 0;        // a fixed scale, or 0 for the largest that fits
  bool bNoPause = false; // keep running while another window has the focus
  // The scale came from the settings file: one that does not fit the
  // desktop is taken as the largest that does (the command line's is refused).
  bool bScaleFromSettings = false;
};

// The desktop's size, or 640 x 480 when the system cannot tell.
void DesktopSize(int &iWidth, int &iHeight);

// Whether a fixed scale fits the desktop (0, the automatic scale, always does).
bool ScaleFitsDesktop(int iScale);

// Sets a 32-bit graphics mode as asked: full screen at the desktop's own size
// (no mode switch), else a window at the largest scale that leaves room for
// the desktop's panels, else a 640 x 480 window. With bWindow the full-screen
// step is skipped. False when every mode was refused. Also makes the shown
// picture (black) and installs the Alt+Enter switch and the close button.
bool OpenDisplay(const DisplayRequest &request);

// Switches between full screen and a window (Alt+Enter asks for it). When the
// new mode is refused the old one is set again; false only when neither can
// be set, and the graphics mode is then gone.
bool ToggleDisplay();

// ---- What the Options screen changes at once ----
// True while the game shows in a window.
bool DisplayIsWindow();
// Full screen or a window, switched as Alt+Enter does when it differs; false
// only when no mode could be set.
bool ShowInWindow(bool bWindow);
// The largest whole scale at which the picture fits the desktop (at least 1).
int LargestScale();
// The scale asked for (0: the largest that fits), laid out at once: a window
// takes its new size, a full screen lays the picture out again.
void SetPictureScale(int iScale);
// The scale the picture is shown at now.
int PictureScale();
// Pausing while the game has no focus on (as without --no-pause) or off.
void SetPauseWhenAway(bool bPause);

// Frees the shown picture and the scaling buffer (ShutDown).
void CloseDisplay();

// The 640 x 480 picture the player sees, as last presented. Things written
// over the last picture (a message box, "LOADING...") are drawn here, then
// shown with ShowPicture.
BITMAP *ShownPicture();

// Draws pFrame over the shown picture (its magenta pixels let the old
// picture through, as drawing a sprite does) and shows it. With pacing on, it
// then waits for the next game tick: a screen loop presents once per tick.
// Every present and wait first carries out what was asked meanwhile: the
// pause, Alt+Enter, and the close button or the desktop's close request,
// which ends the game with status 0 (ExitGame) as "Exit" does.
// bSame says pFrame holds the very picture it held when it was last handed
// here: when it was also the last one shown and nothing has spoiled the
// output since (a mode switch, a pause, a message, a ShownPicture), neither
// the scale nor the upload is done again; the pass still waits for its tick.
// pChanged, under the same conditions, says pFrame differs from the picture
// last shown only inside that rectangle: only that part is drawn, scaled
// and sent.
void PresentFrame(BITMAP *pFrame, bool bSame = false, const PixelRect *pChanged = nullptr);

// Shows the shown picture again, at once and without waiting.
void ShowPicture();

// For loops that wait without presenting (a key held, the music fading): ends
// the pass by waiting for the next tick, unless a present in this pass has
// already waited. Also carries out an Alt+Enter asked for meanwhile.
void IdleUntilNextTick();

// Pacing is off until the game turns it on, so tests drive their loops with
// their own clock. Returns the old setting.
bool SetFramePacing(bool bOn);
bool FramePacing();

// What waiting for a tick does between two looks at GameTicks: by default one
// sleep that the tick ends (TickCounted); a test gives a scripted clock (null
// restores the default).
void SetTickWait(void (*fWait)());

// Called by the tick callback each time it counts a tick: ends the sleep of
// a loop waiting for it. Takes no lock; a wake-up lost to the moment between
// a loop's look at GameTicks and its sleep costs that loop 2 ms.
void TickCounted();

// How many pictures have been put on the output (scaled and sent) since the
// start; a present of the same picture adds none (for tests).
long PresentCount();

// ---- What a screen's picture is drawn from ----
//
// A screen lists, each tick, the few numbers its picture is drawn from (the
// highlighted entry, an animation's frame, a path's tip). When the list is
// the one of its last composed picture, the picture cannot have changed: the
// screen does not compose it again and presents it as the same (bSame).
class PictureLook {
 public:
  static constexpr int kMostValues = 96;
  // Starts this tick's list.
  void begin() { iCount = 0; }
  PictureLook &operator<<(int iValue) {
    if (iCount < kMostValues) aNow[iCount] = iValue;
    ++iCount;
    return *this;
  }
  // True when this tick's list differs from the last one that was, or after
  // forget() (or a list too long to keep); the list is then remembered.
  bool changed();
  // The next changed() is true: something else has drawn where the screen
  // composes (a stage over the world map's BackBuffer).
  void forget() { iLastCount = -1; }
  // Whether a last list is kept: unless forgotten, the screen's own bitmap
  // still holds the picture last composed from it.
  bool remembers() const { return iLastCount >= 0; }

 private:
  int aNow[kMostValues] = {};
  int aLast[kMostValues] = {};
  int iCount = 0;
  int iLastCount = -1;
};

// ---- Focus: the game pauses while the player looks away ----
//
// Unless the request said bNoPause, OpenDisplay asks the library to report
// focus changes. While the game has no focus, GameTicks stops (OnGameTick
// asks GameIsAway), and the game thread, at its next present or wait, shows
// "Paused" over the last picture, tells the away listener (the music rests)
// and sleeps until the focus is back; then it goes on from the same tick.
// Keys that were down when the focus went stay out of key[] while the game is
// away (the library lets go of them) and count again from their next press.

// True from the moment the game loses its focus until it has it again.
bool GameIsAway();

// Called with true when the pause begins and false when it ends.
void SetAwayListener(void (*fListener)(bool bAway));

// A pause the game asks for itself (a pad pulled out in a stage): held and
// shown as the focus pause is, with cText over the last picture, until
// fOver returns true (asked every 20 ms rest). GameIsAway is true meanwhile.
void PauseUntil(const char *cText, bool (*fOver)());

// What the library's switch callbacks do (tests call them directly).
void FocusLost();
void FocusReturned();

// What the library's close-button callback does (tests call it directly).
void CloseRequested();

// From now on, the process asked to end (SIGTERM, SIGINT, SIGHUP) ends the
// game as the close button does; asked twice, at once. OpenDisplay calls it.
void TakeEndSignals();

// What the keyboard handler's low-level callback does for one key event
// (scancode, plus 0x80 when the key is let go), after the library has
// updated key[]; for tests.
void KeyboardEventSeen(int iScancode);
