// Messages to the player. Every message of the game goes through
// ShowMessage: while the game holds the screen it appears in a box inside the
// game's own frame and waits for a key there (the library's message box could
// not take input while the full-screen window holds keyboard and pointer);
// without a graphics mode it is the library's own message box. Every message
// is also written to standard error.
#pragma once
#include <allegro.h>

#include <string>
#include <vector>

#include "support/owned.h"

// Shows one message (printf-style) and returns once the player has answered
// it: Enter, Space, ESC or a joystick button, pressed after the message came
// up and released again. The key buffer is empty afterwards, so the answer
// does not reach the screen that follows. The picture under the box, the tick
// counter, the fades and the music are left as they were.
void ShowMessage(const char *cFormat, ...) __attribute__((format(printf, 1, 2)));

// Leaves the graphics mode, so the library's message box can be answered.
void SwitchToTextMode();

// Text mode, the message, and the end of the game with status 0.
[[noreturn]] void ExitWithMessage(const char *cFormat, ...)
    __attribute__((format(printf, 1, 2)));

// Thrown by ExitGame and caught in main only. Every screen and stage between
// the failure and main frees what it holds as the stack unwinds; main then
// shuts down and returns its status.
struct GameExitRequest {
  int iStatus = 0;  // the process's exit status
};

// Ends the game with iStatus (0 after its messages have been answered): throws
// GameExitRequest, so the way out is main's, by way of ShutDown.
[[noreturn]] void ExitGame(int iStatus = 0);

// Breaks a message into the lines its box shows: at its own line feeds, and
// between words so that no line is longer than iColumns characters (a word
// longer than that is cut). A trailing line feed adds no empty line.
std::vector<std::string> WrapMessage(const std::string &sText, int iColumns);

// One message box drawn over a bitmap (the screen, in the game) and the
// player's answer to it, one poll at a time. The constructor saves what the
// box covers and draws it; the destructor puts the picture back.
class NoticeBox {
 public:
  // Without bHint the box only informs: no "Press Enter" line.
  NoticeBox(BITMAP *pTarget, const std::string &sText, bool bHint = true);
  ~NoticeBox();
  NoticeBox(const NoticeBox &) = delete;
  NoticeBox &operator=(const NoticeBox &) = delete;

  // Reads the keys and joystick buttons once; true once an answering key has
  // been pressed (after being up while the box was shown) and released again.
  // Keys that were already down when the box came up do not count until they
  // have been let go.
  bool answered();

  // Where the box lies on the target.
  int left() const { return iLeft; }
  int top() const { return iTop; }
  int width() const { return iWidth; }
  int height() const { return iHeight; }

 private:
  // Which answering inputs are down right now, one bit each.
  static unsigned answerInputs();
  void draw(const std::vector<std::string> &aLines);

  BITMAP *pTarget;
  bool bHint;
  OwnedBitmap pSaved;  // what the box covers
  int iLeft = 0, iTop = 0, iWidth = 0, iHeight = 0;
  unsigned iArmed = 0;       // inputs seen up since the box came up
  unsigned iPressed = 0;     // the input that answered, until it is let go
};
