// Messages to the player: in a box inside the game's frame while a graphics
// mode is set, in the library's message box otherwise, and always on
// standard error.
#include "app/notice.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "app/pad.h"
#include "app/present.h"

namespace {

constexpr int CharSize = 8;      // the library's font is 8 x 8
constexpr int LineStep = 10;     // text lines 2 pixels apart
constexpr int Padding = 12;      // frame to text
constexpr int ScreenMargin = 16; // box to the edge of the target
constexpr const char *Hint = "Press Enter";

// Answering inputs, one bit each.
constexpr unsigned InputEnter = 1u << 0;
constexpr unsigned InputPadEnter = 1u << 1;
constexpr unsigned InputSpace = 1u << 2;
constexpr unsigned InputEsc = 1u << 3;
constexpr unsigned InputButton = 1u << 4;  // any button of any joystick
constexpr unsigned AllInputs = InputEnter | InputPadEnter | InputSpace | InputEsc | InputButton;

std::string Format(const char *cFormat, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int iLength = vsnprintf(nullptr, 0, cFormat, copy);
  va_end(copy);
  if (iLength <= 0) return std::string();
  std::string sText(static_cast<size_t>(iLength) + 1, '\0');
  vsnprintf(&sText[0], sText.size(), cFormat, args);
  sText.resize(static_cast<size_t>(iLength));
  return sText;
}

// A graphics mode is set and the keyboard can answer a box drawn in it.
bool GameHoldsTheScreen() {
  return gfx_driver != nullptr && screen != nullptr && keyboard_driver != nullptr;
}

void Show(const std::string &sText) {
  fputs(sText.c_str(), stderr);
  if (sText.empty() || sText.back() != '\n') fputc('\n', stderr);
  fflush(stderr);
  if (GameHoldsTheScreen()) {
    {
      NoticeBox box(ShownPicture(), sText);
      ShowPicture();
      // One look per tick; unpaced (tests), a rest between looks.
      while (!box.answered()) {
        if (!FramePacing()) rest(10);
        IdleUntilNextTick();
      }
    }
    ShowPicture();  // the picture as it was before the box
  } else if (system_driver != nullptr && system_driver->message != nullptr) {
    // Without a message box of its own the library would only repeat the
    // text on standard output.
    allegro_message("%s", sText.c_str());
  }
}

}  // namespace

void ShowMessage(const char *cFormat, ...) {
  va_list args;
  va_start(args, cFormat);
  const std::string sText = Format(cFormat, args);
  va_end(args);
  Show(sText);
}

void SwitchToTextMode() { set_gfx_mode(GFX_TEXT, 0, 0, 0, 0); }

void ExitWithMessage(const char *cFormat, ...) {
  va_list args;
  va_start(args, cFormat);
  const std::string sText = Format(cFormat, args);
  va_end(args);
  SwitchToTextMode();
  Show(sText);
  ExitGame();
}

void ExitGame(int iStatus) {
  GameExitRequest request;
  request.iStatus = iStatus;
  throw request;
}

std::vector<std::string> WrapMessage(const std::string &sText, int iColumns) {
  const size_t iWidth = static_cast<size_t>(std::max(iColumns, 1));
  std::vector<std::string> aLines;
  size_t iStart = 0;
  while (iStart < sText.size()) {
    size_t iEnd = sText.find('\n', iStart);
    if (iEnd == std::string::npos) iEnd = sText.size();
    std::string sRest = sText.substr(iStart, iEnd - iStart);
    // Break between words; a word wider than the box is cut.
    while (sRest.size() > iWidth) {
      size_t iBreak = sRest.rfind(' ', iWidth);
      size_t iNext = iBreak + 1;
      if (iBreak == std::string::npos || iBreak == 0) iBreak = iNext = iWidth;
      std::string sLine = sRest.substr(0, iBreak);
      while (!sLine.empty() && sLine.back() == ' ') sLine.pop_back();
      aLines.push_back(sLine);
      sRest.erase(0, iNext);
      while (!sRest.empty() && sRest.front() == ' ') sRest.erase(0, 1);
    }
    aLines.push_back(sRest);
    iStart = iEnd + 1;
  }
  return aLines;
}

NoticeBox::NoticeBox(BITMAP *pTarget, const std::string &sText, bool bHint)
    : pTarget(pTarget), bHint(bHint) {
  const int iMaxWidth = pTarget->w - 2 * ScreenMargin;
  const int iColumns = (iMaxWidth - 2 * Padding) / CharSize;
  std::vector<std::string> aLines = WrapMessage(sText, iColumns);
  // The hint's line and a blank one above it stay inside the target too.
  const int iMaxLines = std::max((pTarget->h - 2 * ScreenMargin - 2 * Padding) / LineStep - 2, 1);
  if (static_cast<int>(aLines.size()) > iMaxLines) aLines.resize(static_cast<size_t>(iMaxLines));
  size_t iLongest = bHint ? std::string(Hint).size() : 0;
  for (const std::string &sLine : aLines) iLongest = std::max(iLongest, sLine.size());
  const int iRows = static_cast<int>(aLines.size()) + (bHint ? 2 : 0);
  iWidth = static_cast<int>(iLongest) * CharSize + 2 * Padding;
  iHeight = iRows * LineStep - (LineStep - CharSize) + 2 * Padding;
  iLeft = (pTarget->w - iWidth) / 2;
  iTop = (pTarget->h - iHeight) / 2;
  pSaved.reset(create_bitmap_ex(bitmap_color_depth(pTarget), iWidth, iHeight));
  if (pSaved != nullptr) blit(pTarget, pSaved.get(), iLeft, iTop, 0, 0, iWidth, iHeight);
  draw(aLines);
  iArmed = AllInputs & ~answerInputs();
}

NoticeBox::~NoticeBox() {
  if (pSaved == nullptr) return;
  blit(pSaved.get(), pTarget, 0, 0, iLeft, iTop, iWidth, iHeight);
}

void NoticeBox::draw(const std::vector<std::string> &aLines) {
  const int iDepth = bitmap_color_depth(pTarget);
  const int iBack = makecol_depth(iDepth, 20, 24, 56);
  const int iFrame = makecol_depth(iDepth, 230, 200, 120);
  const int iText = makecol_depth(iDepth, 255, 255, 255);
  const int iHint = makecol_depth(iDepth, 190, 190, 190);
  const int iRight = iLeft + iWidth - 1, iBottom = iTop + iHeight - 1;
  rectfill(pTarget, iLeft, iTop, iRight, iBottom, iBack);
  rect(pTarget, iLeft + 2, iTop + 2, iRight - 2, iBottom - 2, iFrame);
  rect(pTarget, iLeft + 3, iTop + 3, iRight - 3, iBottom - 3, iFrame);
  int y = iTop + Padding;
  for (const std::string &sLine : aLines) {
    textout_ex(pTarget, font, sLine.c_str(), iLeft + Padding, y, iText, -1);
    y += LineStep;
  }
  if (bHint) textout_right_ex(pTarget, font, Hint, iRight - Padding + 1, y + LineStep, iHint, -1);
}

unsigned NoticeBox::answerInputs() {
  unsigned iDown = 0;
  if (key[KEY_ENTER]) iDown |= InputEnter;
  if (key[KEY_ENTER_PAD]) iDown |= InputPadEnter;
  if (key[KEY_SPACE]) iDown |= InputSpace;
  if (key[KEY_ESC]) iDown |= InputEsc;
  if ((PadActions() & PadAnyButton) != 0) iDown |= InputButton;
  return iDown;
}

bool NoticeBox::answered() {
  if (keyboard_driver != nullptr && keyboard_needs_poll()) poll_keyboard();
  const unsigned iDown = answerInputs();
  if (iPressed == 0) {
    iPressed = iDown & iArmed;
    iArmed |= AllInputs & ~iDown;
    return false;
  }
  // Answered: wait for the key to be let go, then drop what it typed.
  if ((iDown & iPressed) != 0) return false;
  clear_keybuf();
  return true;
}
