// Showing the game's 640 x 480 picture on today's screens: the display mode,
// the whole-number scaler, Alt+Enter, and the pacing of the screen loops.
#include "app/present.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <csignal>
#include <exception>
#include <mutex>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "app/globals.h"
#include "app/notice.h"
#include "app/platform.h"
#include "support/blit32.h"
#include "support/owned.h"

namespace {

// A window leaves this much of the desktop to its frame and the panels.
constexpr int PanelRoomWidth = 32;
constexpr int PanelRoomHeight = 96;

// Both are released by CloseDisplay, before the library shuts down.
OwnedBitmap &Shown = ProcessWide<OwnedBitmap>();   // the picture as last presented
OwnedBitmap &Scaled = ProcessWide<OwnedBitmap>();  // the picture at the output's scale (scale > 1)
PresentLayout Layout = {1, 0, 0};
int iLayoutWidth = 0, iLayoutHeight = 0;  // the output the layout was made for
bool bBordersPainted = false;             // black around the picture is drawn
bool bShownBehind = false;  // the output holds a newer picture than Shown
// The frame the last present put on the output, while nothing else has been
// drawn there since (null once anything may have spoiled it).
BITMAP *pLastPresented = nullptr;
BITMAP *pPresentedOn = nullptr;  // the output it went to
DisplayRequest Request;
bool bWindowMode = false;

bool bPacing = false;
void (*TickWait)() = nullptr;
int iPassTick = 0;          // the tick the current pass started in
bool bPassWaited = false;   // a present of this pass has already waited
long iPresents = 0;

// The wait for a tick: one sleep, which the tick callback ends. The time of
// the last tick bounds it, so a wake-up lost between the look at GameTicks
// and the sleep (the callback takes no lock) costs a little, not a tick.
using TickClock = std::chrono::steady_clock;
constexpr auto TickLength = std::chrono::milliseconds(20);
constexpr auto TickLate = std::chrono::milliseconds(2);
std::mutex TickLock;
std::condition_variable TickSignal;
std::atomic<TickClock::rep> iLastTickAt{0};  // when the last tick was counted

// Written by the keyboard handler, the display-switch callbacks and the
// close button's callback, read by the game thread (and, for the pause, by
// the tick).
std::atomic<int> iSwitchesAsked{0};
std::atomic<bool> bAway{false};
std::atomic<bool> bCloseAsked{false};
std::atomic<bool> bHeld{false};  // a pause of the game's own (PauseUntil)
bool bPauseWhenAway = false;
void (*AwayListener)(bool bAway) = nullptr;
// Keys kept out of key[] until they are let go: an Enter that came with Alt,
// and every key that was down when the game lost its focus, until the focus
// is back.
volatile bool bKeptOut[KEY_MAX] = {};

// Runs in the keyboard handler after it has marked a key. A kept-out key
// stays out until it is let go; an Enter pressed with Alt held asks for the
// switch and is kept out, so no menu chooses with it.
void OnKeyEvent(int iScancode) {
  const int iCode = iScancode & 0x7F;
  if ((iScancode & 0x80) != 0) {
    // Losing the focus lets go of every key for us; a key stays out while
    // the game is away.
    if (!bAway) bKeptOut[iCode] = false;
    return;
  }
  const bool bEnter = iCode == KEY_ENTER || iCode == KEY_ENTER_PAD;
  if (bEnter && !bKeptOut[iCode] && (key[KEY_ALT] || key[KEY_ALTGR])) {
    iSwitchesAsked.fetch_add(1);
    bKeptOut[iCode] = true;
  }
  if (bKeptOut[iCode]) key[iCode] = 0;
}
END_OF_FUNCTION(OnKeyEvent)

// The display-switch callbacks: no drawing and no lock, only flags.
void OnSwitchOut() {
  for (int i = 0; i < KEY_MAX; ++i)
    if (key[i]) bKeptOut[i] = true;
  bAway = true;
}
END_OF_FUNCTION(OnSwitchOut)

// The library let go of every key when the focus went, and a key let go
// while away is released in the other window, never here: every key counts
// again from its next press.
void OnSwitchIn() {
  for (int i = 0; i < KEY_MAX; ++i) bKeptOut[i] = false;
  bAway = false;
}
END_OF_FUNCTION(OnSwitchIn)

// The close button and the desktop's close request: only a flag, which the
// game thread acts on at its next present or wait.
void OnCloseButton() { bCloseAsked = true; }
END_OF_FUNCTION(OnCloseButton)

#ifndef _WIN32
// An end asked of the whole process (the session logging out, kill, Ctrl+C
// in a terminal) is taken as the close button is: the game ends at its next
// present or wait, its way out as "Exit"'s. The library's own handler would
// shut it down inside the signal, which can abort it. Asked a second time,
// the process ends at once.
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets the flag");
void OnEndSignal(int iSignal) {
  if (!bCloseAsked.exchange(true)) return;
  std::signal(iSignal, SIG_DFL);
  std::raise(iSignal);
}
#endif

}  // namespace

void TakeEndSignals() {
#ifndef _WIN32
  struct sigaction action = {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  for (const int iSignal : {SIGTERM, SIGINT, SIGHUP}) sigaction(iSignal, &action, nullptr);
#endif
}

namespace {

// The library keeps running in the background, paused or not: the only mode
// it offers on X11 and for windows (a full screen without a backing store
// forgets its picture, which the next present draws again). Left to
// themselves, the Windows drivers would block the library's timer thread
// while the game has no focus. With pausing on, the switch callbacks tell us
// of focus.
void WatchFocus() {
  if (set_display_switch_mode(SWITCH_BACKGROUND) != 0 &&
      set_display_switch_mode(SWITCH_BACKAMNESIA) != 0)
    return;
  if (!bPauseWhenAway) return;
  set_display_switch_callback(SWITCH_OUT, OnSwitchOut);
  set_display_switch_callback(SWITCH_IN, OnSwitchIn);
}

BITMAP *ShownBitmap() {
  if (Shown == nullptr) {
    Shown.reset(create_bitmap_ex(32, PictureWidth, PictureHeight));
    if (Shown == nullptr) ExitWithMessage("ERROR:  Could not create bitmap.  Memory error.");
    clear_bitmap(Shown.get());
  }
  return Shown.get();
}

// The layout follows the output's size; a new size gets fresh black borders.
void FollowOutputSize() {
  if (screen->w == iLayoutWidth && screen->h == iLayoutHeight) return;
  iLayoutWidth = screen->w;
  iLayoutHeight = screen->h;
  int iScale = Request.iScale;
  if (iScale > 0 && FitPicture(iLayoutWidth, iLayoutHeight, 0).iScale < iScale) iScale = 0;
  Layout = FitPicture(iLayoutWidth, iLayoutHeight, iScale);
  bBordersPainted = false;
  Scaled.reset();
  pLastPresented = nullptr;
}

BITMAP *ScaledBitmap() {
  if (Scaled == nullptr) {
    Scaled.reset(create_bitmap_ex(32, PictureWidth * Layout.iScale, PictureHeight * Layout.iScale));
    if (Scaled == nullptr) ExitWithMessage("ERROR:  Could not create bitmap.  Memory error.");
  }
  return Scaled.get();
}

// The output is the picture's own size: presents draw straight onto it, as
// the game always did, and the shown picture is read back only when needed.
bool OutputIsThePicture() {
  FollowOutputSize();
  return screen->w == PictureWidth && screen->h == PictureHeight && Layout.iScale == 1;
}

void CatchUpShown() {
  if (!bShownBehind) return;
  bShownBehind = false;
  if (screen != nullptr && OutputIsThePicture()) blit(screen, ShownBitmap(), 0, 0, 0, 0, PictureWidth, PictureHeight);
}

// The shown picture onto the output: scaled straight into an output in
// memory, through a buffer of the scaled size onto a display. With pPart,
// only that part of the picture (the rest is on the output already).
// Whatever it shows, the next present draws its frame again.
void Output(const PixelRect *pPart = nullptr) {
  pLastPresented = nullptr;
  if (screen == nullptr) return;
  CatchUpShown();
  FollowOutputSize();
  if (!bBordersPainted) {
    clear_to_color(screen, makecol(0, 0, 0));
    bBordersPainted = true;
  }
  BITMAP *pFrom = ShownBitmap();
  const PixelRect r = pPart != nullptr ? *pPart : PixelRect{0, 0, pFrom->w, pFrom->h};
  const int s = Layout.iScale;
  const bool bInside = Layout.iLeft >= 0 && Layout.iTop >= 0;
  if (s > 1 && is_memory_bitmap(screen) && bInside) {
    ScalePicture32(pFrom, screen, s, Layout.iLeft, Layout.iTop, &r);
  } else {
    if (s > 1) {
      ScalePicture32(pFrom, ScaledBitmap(), s, 0, 0, &r);
      pFrom = Scaled.get();
    }
    blit(pFrom, screen, r.iX * s, r.iY * s, Layout.iLeft + r.iX * s, Layout.iTop + r.iY * s,
         r.iWidth * s, r.iHeight * s);
  }
  ++iPresents;
}

// While the game has no focus: the music rests, "Paused" lies over the last
// picture, and the game thread sleeps. The clock has stopped already.
void WaitWhileAway() {
  static bool bWaiting = false;
  if (!bAway || bWaiting || screen == nullptr) return;
  bWaiting = true;
  if (AwayListener != nullptr) AwayListener(true);
  {
    const NoticeBox box(ShownPicture(), "Paused", false);
    Output();
    while (bAway && !bCloseAsked) rest(20);
  }
  Output();
  if (AwayListener != nullptr) AwayListener(false);
  bWaiting = false;
}

// What the game thread does at every present or wait: the pause, a close
// request (the game ends as "Exit" ends it, through main's way out; never
// while a way out is already unwinding), and the Alt+Enter switches asked
// for since the last look (two switch there and back).
void HandleSwitch() {
  WaitWhileAway();
  if (bCloseAsked && std::uncaught_exceptions() == 0) {
    bCloseAsked = false;
    ExitGame(0);
  }
  if (iSwitchesAsked.exchange(0) % 2 == 0) return;
  if (!ToggleDisplay())
    ExitWithMessage("ERROR:  Failure to init video mode!  Terminating program.\n");
}

// One sleep until the tick after iPassTick is counted, or a little after it
// was due (the clock stands still while the game is away: then a tick's
// length).
void SleepUntilTick() {
  const TickClock::time_point now = TickClock::now();
  TickClock::time_point due =
      TickClock::time_point(TickClock::duration(iLastTickAt.load(std::memory_order_relaxed))) +
      TickLength + TickLate;
  if (due <= now) due = now + TickLength;
  std::unique_lock<std::mutex> lock(TickLock);
  TickSignal.wait_until(lock, due, [] { return GameTicks.load() != iPassTick; });
}

// Ends a pass: waits until the tick it started in is over.
void WaitForNextTick() {
  while (GameTicks.load() == iPassTick) {
    if (TickWait != nullptr)
      TickWait();
    else
      SleepUntilTick();
    HandleSwitch();
  }
  iPassTick = GameTicks.load();
}

int WindowScale() {
  int iWidth, iHeight;
  DesktopSize(iWidth, iHeight);
  const int iFits = FitPicture(iWidth - PanelRoomWidth, iHeight - PanelRoomHeight, 0).iScale;
  return Request.iScale > 0 ? std::min(Request.iScale, std::max(iFits, 1)) : iFits;
}

bool SetMode(int iCard, int iWidth, int iHeight) {
  set_color_depth(32);
  return set_gfx_mode(iCard, iWidth, iHeight, 0, 0) >= 0;
}

// A window at the largest scale that fits, then at 640 x 480.
bool SetWindowMode() {
  const int iScale = WindowScale();
  if (SetMode(GFX_AUTODETECT_WINDOWED, PictureWidth * iScale, PictureHeight * iScale)) return true;
  return iScale > 1 && SetMode(GFX_AUTODETECT_WINDOWED, PictureWidth, PictureHeight);
}

bool SetFullScreenMode() {
  int iWidth, iHeight;
  DesktopSize(iWidth, iHeight);
  return SetMode(GFX_AUTODETECT_FULLSCREEN, iWidth, iHeight);
}

bool SetDisplayMode(bool bWindow) {
  const bool bSet = bWindow ? SetWindowMode() : SetFullScreenMode();
  if (bSet) {
    bWindowMode = bWindow;
    iLayoutWidth = iLayoutHeight = 0;  // a new output: lay the picture out again
    pLastPresented = nullptr;
    // Setting a switch mode forgets the switch callbacks, and the Windows
    // drivers set a mode of their own with every graphics mode; a new
    // window there has its close button turned off again.
    WatchFocus();
    set_close_button_callback(OnCloseButton);
    // Alt+Enter's own keys can be let go while no game window is there.
    LetGoOfKeysTheDesktopHasUp();
  }
  return bSet;
}

}  // namespace

PresentLayout FitPicture(int iWidth, int iHeight, int iScale) {
  if (iScale <= 0)
    iScale = std::max(1, std::min(iWidth / PictureWidth, iHeight / PictureHeight));
  return {iScale, (iWidth - PictureWidth * iScale) / 2, (iHeight - PictureHeight * iScale) / 2};
}

void ScalePicture32(BITMAP *pFrom, BITMAP *pTo, int iScale, int iLeft, int iTop,
                    const PixelRect *pPart) {
  const PixelRect r = pPart != nullptr ? *pPart : PixelRect{0, 0, pFrom->w, pFrom->h};
  const int iOutX = iLeft + r.iX * iScale, iOutY = iTop + r.iY * iScale;
  const bool bQuick = is_memory_bitmap(pFrom) && is_memory_bitmap(pTo) &&
                      bitmap_color_depth(pFrom) == 32 && bitmap_color_depth(pTo) == 32 &&
                      r.iX >= 0 && r.iY >= 0 && r.iX + r.iWidth <= pFrom->w &&
                      r.iY + r.iHeight <= pFrom->h && iOutX >= 0 && iOutY >= 0 &&
                      pTo->w >= iOutX + r.iWidth * iScale && pTo->h >= iOutY + r.iHeight * iScale;
  if (!bQuick || iScale <= 1) {
    stretch_blit(pFrom, pTo, r.iX, r.iY, r.iWidth, r.iHeight, iOutX, iOutY, r.iWidth * iScale,
                 r.iHeight * iScale);
    return;
  }
  const size_t iRowBytes = static_cast<size_t>(r.iWidth) * iScale * sizeof(uint32_t);
  for (int y = 0; y < r.iHeight; ++y) {
    const uint32_t *pIn = reinterpret_cast<const uint32_t *>(pFrom->line[r.iY + y]) + r.iX;
    uint32_t *pOut = reinterpret_cast<uint32_t *>(pTo->line[iOutY + y * iScale]) + iOutX;
    if (iScale == 2) {
      // Both rows of the block at once, four pixels at a time.
      uint32_t *pBelow = reinterpret_cast<uint32_t *>(pTo->line[iOutY + y * 2 + 1]) + iOutX;
      int x = 0;
#ifdef __SSE2__
      for (; x + 4 <= r.iWidth; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pIn + x));
        const __m128i lo = _mm_unpacklo_epi32(v, v);
        const __m128i hi = _mm_unpackhi_epi32(v, v);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(pOut + 2 * x), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(pOut + 2 * x + 4), hi);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(pBelow + 2 * x), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(pBelow + 2 * x + 4), hi);
      }
#endif
      for (; x < r.iWidth; ++x) pOut[2 * x] = pOut[2 * x + 1] = pBelow[2 * x] = pBelow[2 * x + 1] = pIn[x];
      continue;
    }
    for (int x = 0; x < r.iWidth; ++x)
      for (int k = 0; k < iScale; ++k) *pOut++ = pIn[x];
    // The other rows of the block are copies of the first.
    const uint32_t *pFirst = reinterpret_cast<const uint32_t *>(pTo->line[iOutY + y * iScale]) + iOutX;
    for (int k = 1; k < iScale; ++k)
      memcpy(reinterpret_cast<uint32_t *>(pTo->line[iOutY + y * iScale + k]) + iOutX, pFirst, iRowBytes);
  }
}

void DesktopSize(int &iWidth, int &iHeight) {
  if (system_driver == nullptr || get_desktop_resolution(&iWidth, &iHeight) != 0 || iWidth <= 0 ||
      iHeight <= 0) {
    iWidth = PictureWidth;
    iHeight = PictureHeight;
  }
}

bool ScaleFitsDesktop(int iScale) {
  if (iScale <= 0) return true;
  int iWidth, iHeight;
  DesktopSize(iWidth, iHeight);
  return PictureWidth * iScale <= iWidth && PictureHeight * iScale <= iHeight;
}

bool OpenDisplay(const DisplayRequest &request) {
  Request = request;
  bPauseWhenAway = !request.bNoPause;
  ShownBitmap();
  LOCK_FUNCTION(OnKeyEvent);
  LOCK_FUNCTION(OnSwitchOut);
  LOCK_FUNCTION(OnSwitchIn);
  LOCK_FUNCTION(OnCloseButton);
  LOCK_VARIABLE(bKeptOut);
  keyboard_lowlevel_callback = OnKeyEvent;
  TakeEndSignals();
  if (!request.bWindow && SetDisplayMode(false)) return true;
  return SetDisplayMode(true);
}

bool ToggleDisplay() {
  CatchUpShown();  // the old output goes with its mode
  const bool bWasWindow = bWindowMode;
  if (!SetDisplayMode(!bWasWindow) && !SetDisplayMode(bWasWindow)) return false;
  Output();
  return true;
}

void CloseDisplay() {
  if (keyboard_lowlevel_callback == OnKeyEvent) keyboard_lowlevel_callback = nullptr;
  if (system_driver != nullptr) set_close_button_callback(nullptr);
  Scaled.reset();
  Shown.reset();
  bShownBehind = false;
  iLayoutWidth = iLayoutHeight = 0;
  pLastPresented = nullptr;
}

BITMAP *ShownPicture() {
  CatchUpShown();
  pLastPresented = nullptr;  // the caller may draw over it
  return ShownBitmap();
}

void PresentFrame(BITMAP *pFrame, bool bSame, const PixelRect *pChanged) {
  HandleSwitch();
  if (screen != nullptr) FollowOutputSize();  // an output of a new size is spoiled
  const bool bShowsIt = pFrame == pLastPresented && screen != nullptr && screen == pPresentedOn;
  if (bSame && bShowsIt) {
    // The output shows this very picture already.
  } else if (screen != nullptr && pFrame != Shown.get() && OutputIsThePicture()) {
    if (bShowsIt && pChanged != nullptr)
      masked_blit(pFrame, screen, pChanged->iX, pChanged->iY, pChanged->iX, pChanged->iY,
                  pChanged->iWidth, pChanged->iHeight);
    else
      DrawSprite32(screen, pFrame, 0, 0);
    bShownBehind = true;
    ++iPresents;
    pLastPresented = pFrame;
  } else {
    const PixelRect *pPart = bShowsIt ? pChanged : nullptr;
    if (pFrame != ShownPicture()) {
      if (pPart != nullptr) DrawSpritePart32(Shown.get(), pFrame, 0, 0, *pPart);
      else DrawSprite32(Shown.get(), pFrame, 0, 0);
    }
    Output(pPart);
    pLastPresented = pFrame;
  }
  pPresentedOn = screen;
  if (!bPacing) return;
  WaitForNextTick();
  bPassWaited = true;
}

void ShowPicture() {
  HandleSwitch();
  Output();
}

void IdleUntilNextTick() {
  HandleSwitch();
  if (!bPacing) return;
  if (bPassWaited) {
    bPassWaited = false;
    return;
  }
  WaitForNextTick();
}

bool SetFramePacing(bool bOn) {
  const bool bWas = bPacing;
  bPacing = bOn;
  iPassTick = GameTicks.load();
  bPassWaited = false;
  return bWas;
}

bool FramePacing() { return bPacing; }

void SetTickWait(void (*fWait)()) { TickWait = fWait; }

void TickCounted() {
  iLastTickAt.store(TickClock::now().time_since_epoch().count(), std::memory_order_relaxed);
  TickSignal.notify_all();
}

bool PictureLook::changed() {
  const bool bKept = iCount <= kMostValues;
  if (bKept && iCount == iLastCount && std::equal(aNow, aNow + iCount, aLast)) return false;
  if (bKept) std::copy(aNow, aNow + iCount, aLast);
  iLastCount = bKept ? iCount : -1;
  return true;
}

long PresentCount() { return iPresents; }

bool GameIsAway() {
  return bAway.load(std::memory_order_relaxed) || bHeld.load(std::memory_order_relaxed);
}

void PauseUntil(const char *cText, bool (*fOver)()) {
  bHeld = true;
  if (AwayListener != nullptr) AwayListener(true);
  {
    const NoticeBox box(ShownPicture(), cText, false);
    Output();
    // A close request ends the pause; the next present or wait acts on it.
    while (!fOver() && !bCloseAsked) rest(20);
  }
  Output();
  if (AwayListener != nullptr) AwayListener(false);
  bHeld = false;
}

void SetAwayListener(void (*fListener)(bool bAway)) { AwayListener = fListener; }

void FocusLost() { OnSwitchOut(); }

void FocusReturned() { OnSwitchIn(); }

void CloseRequested() { OnCloseButton(); }

void KeyboardEventSeen(int iScancode) { OnKeyEvent(iScancode); }

bool DisplayIsWindow() { return bWindowMode; }

bool ShowInWindow(bool bWindow) { return bWindow == bWindowMode || ToggleDisplay(); }

int LargestScale() {
  int iWidth, iHeight;
  DesktopSize(iWidth, iHeight);
  return FitPicture(iWidth, iHeight, 0).iScale;
}

void SetPictureScale(int iScale) {
  Request.iScale = iScale;
  if (screen == nullptr || gfx_driver == nullptr) {
    iLayoutWidth = iLayoutHeight = 0;
    return;
  }
  CatchUpShown();  // the old output may go with its mode
  if (bWindowMode && !SetDisplayMode(true))
    ExitWithMessage("ERROR:  Failure to init video mode!  Terminating program.\n");
  iLayoutWidth = iLayoutHeight = 0;
  Output();
}

int PictureScale() {
  if (screen != nullptr) FollowOutputSize();
  return Layout.iScale;
}

void SetPauseWhenAway(bool bPause) {
  bPauseWhenAway = bPause;
  Request.bNoPause = !bPause;
  if (system_driver == nullptr) return;
  if (bPause) {
    WatchFocus();
  } else {
    remove_display_switch_callback(OnSwitchOut);
    remove_display_switch_callback(OnSwitchIn);
  }
}
