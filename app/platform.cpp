// The system's own side of the game: its folder, its window's name and icon,
// and where the command line's answers are shown.
#include "app/platform.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <winalleg.h>

#include <cwchar>

void EnterGameFolder() {
  wchar_t cPath[MAX_PATH];
  DWORD iLength = GetModuleFileNameW(nullptr, cPath, MAX_PATH);
  if (iLength == 0 || iLength >= MAX_PATH) return;
  wchar_t *pSlash = wcsrchr(cPath, L'\\');
  if (pSlash == nullptr) return;
  *pSlash = L'\0';
  SetCurrentDirectoryW(cPath);
}

// The window class's icon is the resource the library asks for by name
// ("allegro_icon", dist/windows/skarnvale.rc.in).
void DressGameWindow() { set_window_title("Skarnvale"); }

namespace {

// A standard stream that goes to a file or a pipe: someone reads it.
bool Redirected(DWORD iWhich) {
  const HANDLE hStream = GetStdHandle(iWhich);
  if (hStream == nullptr || hStream == INVALID_HANDLE_VALUE) return false;
  const DWORD iType = GetFileType(hStream);
  return iType == FILE_TYPE_DISK || iType == FILE_TYPE_PIPE;
}

// The console of the program that started the game (a command prompt).
bool WriteToParentConsole(const char *cText) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const HANDLE hConsole = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  bool bWritten = false;
  if (hConsole != INVALID_HANDLE_VALUE) {
    DWORD iDone = 0;
    // The prompt is already back: the text starts on a line of its own.
    bWritten = WriteFile(hConsole, "\r\n", 2, &iDone, nullptr) &&
               WriteFile(hConsole, cText, static_cast<DWORD>(strlen(cText)), &iDone, nullptr);
    CloseHandle(hConsole);
  }
  FreeConsole();
  return bWritten;
}

}  // namespace

void ShowCommandLineText(const char *cText, bool bError) {
  if (Redirected(bError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE)) {
    FILE *pStream = bError ? stderr : stdout;
    fputs(cText, pStream);
    fflush(pStream);
    return;
  }
  if (WriteToParentConsole(cText)) return;
  MessageBoxA(nullptr, cText, "Skarnvale", MB_OK | (bError ? MB_ICONERROR : MB_ICONINFORMATION));
}

void TellDesktopSomeoneIsPlaying() { SetThreadExecutionState(ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED); }

void LetGoOfKeysTheDesktopHasUp() {}

#else
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xalleg.h>

#include <vector>

#include "app/image_check.h"
#include "support/owned.h"

void EnterGameFolder() {}

namespace {

char cInstance[] = "skarnvale";
char cClass[] = "Skarnvale";

// The icon strip as _NET_WM_ICON holds it: for each size its width, its
// height and its pixels as 0xAARRGGBB, rows top down; the mask colour is
// transparent.
std::vector<unsigned long> IconProperty(BITMAP *pStrip) {
  std::vector<unsigned long> aData;
  const int iMask = makecol_depth(bitmap_color_depth(pStrip), 255, 0, 255);
  int iLeft = 0;
  for (const int iSize : WindowIconSizes) {
    if (iLeft + iSize > pStrip->w || iSize > pStrip->h) break;
    aData.push_back(static_cast<unsigned long>(iSize));
    aData.push_back(static_cast<unsigned long>(iSize));
    for (int y = 0; y < iSize; ++y)
      for (int x = 0; x < iSize; ++x) {
        const int c = getpixel(pStrip, iLeft + x, y);
        const unsigned long iArgb = 0xFF000000ul | (static_cast<unsigned long>(getr(c)) << 16) |
                                    (static_cast<unsigned long>(getg(c)) << 8) |
                                    static_cast<unsigned long>(getb(c));
        aData.push_back(c == iMask ? 0ul : iArgb);
      }
    iLeft += iSize;
  }
  return aData;
}

}  // namespace

void DressGameWindow() {
  set_window_title("Skarnvale");
  // Kept by the library, which sets the class again when it leaves full
  // screen; the window it made at start-up gets it here.
  xwin_set_window_name(cInstance, cClass);
  if (_xwin.display == nullptr || _xwin.wm_window == None) return;
  XClassHint hint;
  hint.res_name = cInstance;
  hint.res_class = cClass;
  XSetClassHint(_xwin.display, _xwin.wm_window, &hint);
  // The game's only depth; the picture is read at it.
  set_color_depth(32);
  const OwnedBitmap pStrip(LoadPictureChecked("window_icon.bmp", nullptr));
  if (pStrip != nullptr) {
    const std::vector<unsigned long> aIcon = IconProperty(pStrip.get());
    const Atom iIconAtom = XInternAtom(_xwin.display, "_NET_WM_ICON", False);
    XChangeProperty(_xwin.display, _xwin.wm_window, iIconAtom, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(aIcon.data()),
                    static_cast<int>(aIcon.size()));
  }
  XFlush(_xwin.display);
}

void ShowCommandLineText(const char *cText, bool bError) {
  FILE *pStream = bError ? stderr : stdout;
  fputs(cText, pStream);
  fflush(pStream);
}

// A library built without threads has no display lock to take.
#ifndef XLOCK
#define XLOCK()
#define XUNLOCK()
#endif

void TellDesktopSomeoneIsPlaying() {
  if (_xwin.display == nullptr) return;
  XLOCK();
  XResetScreenSaver(_xwin.display);
  XFlush(_xwin.display);
  XUNLOCK();
}

void LetGoOfKeysTheDesktopHasUp() {
  if (_xwin.display == nullptr) return;
  // Held across the look and the releases: the library's input thread takes
  // the same lock for each event, so a key pressed meanwhile is not let go.
  XLOCK();
  char aKeymap[32];
  XQueryKeymap(_xwin.display, aKeymap);
  bool aDown[KEY_MAX] = {};
  for (int iKeycode = 0; iKeycode < 256; ++iKeycode) {
    const int iScancode = _xwin.keycode_to_scancode[iKeycode];
    if (iScancode > 0 && iScancode < KEY_MAX && (aKeymap[iKeycode / 8] >> (iKeycode % 8) & 1) != 0)
      aDown[iScancode] = true;
  }
  for (int i = 1; i < KEY_MAX; ++i)
    if (key[i] && !aDown[i]) _handle_key_release(i);
  XUNLOCK();
}
#endif
