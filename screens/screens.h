// The screens outside a stage, as the main flow calls them, and the small
// keyboard tests the screens share.
#pragma once

// The title's result: the chosen entry, or Nothing when it was left with ESC.
// The numbers are the entries' places in the menu, from 1.
enum class TitleChoice { Nothing = 0, Play = 1, Options = 2, Exit = 3 };

// The logos and the notice page, once at start-up; false returns at once.
void ShowSplash(bool bShow);
// The title menu: the entry chosen, Nothing when ESC closed it. "Options"
// opens the Options screen, after which the title shows again at once; it
// is never the answer.
TitleChoice RunTitleMenu();
// The Options screen (screens/options_screen.h), until the player leaves it;
// the title runs it when "Options" is chosen and then shows again.
void RunOptionsScreen();
// The world map, until the player leaves it or loses a stage.
void RunWorldMap();

// True when key[iScancode] is held. Any key but the two Enter keys is then
// waited out (no time limit) until released. Always ends with clear_keybuf().
bool KeyPressed(int iScancode);
// The highest digit 1..9 held on the main row or the keypad (each one waited
// out), 0 when none.
int ReadDigitKey();
// Either Enter key held (no wait for release).
bool EnterPressed();
