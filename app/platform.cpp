#include "app/platform.h"

#ifdef _WIN32
#include <windows.h>

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

void TellDesktopSomeoneIsPlaying() { SetThreadExecutionState(ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED); }
#else
#include <allegro.h>
#include <xalleg.h>

void EnterGameFolder() {}

void TellDesktopSomeoneIsPlaying() {
  if (_xwin.display == nullptr) return;
  XLOCK();
  XResetScreenSaver(_xwin.display);
  XFlush(_xwin.display);
  XUNLOCK();
}
#endif
