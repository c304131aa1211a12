// Showing the picture: the layout chosen for each output, the whole-number
// scaler against a pixel-by-pixel reference, the command line, and the pacing
// of a screen loop by a scripted clock.
#include "app/present.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/notice.h"
#include "app/options.h"
#include "app/startup.h"
#include "app/transitions.h"
#include "common/allegro_env.h"

namespace {

TEST(Present, LayoutForEachOutput) {
  struct Case {
    int iWidth, iHeight, iAsked;
    PresentLayout expected;
  };
  const Case kCases[] = {
      {640, 480, 0, {1, 0, 0}},        // exactly as a 640 x 480 screen
      {1920, 1080, 0, {2, 320, 60}},
      {3840, 2160, 0, {4, 640, 120}},
      {1280, 1024, 0, {2, 0, 32}},     // 5:4
      {2560, 1440, 0, {3, 320, 0}},
      {1366, 768, 0, {1, 363, 144}},   // odd sizes round the offsets down
      {1279, 959, 0, {1, 319, 239}},
      {600, 400, 0, {1, -20, -40}},    // smaller: centred and cut
      {1920, 1080, 1, {1, 640, 300}},  // a fixed scale
  };
  for (const Case &c : kCases) {
    const PresentLayout got = FitPicture(c.iWidth, c.iHeight, c.iAsked);
    EXPECT_EQ(got.iScale, c.expected.iScale) << c.iWidth << "x" << c.iHeight;
    EXPECT_EQ(got.iLeft, c.expected.iLeft) << c.iWidth << "x" << c.iHeight;
    EXPECT_EQ(got.iTop, c.expected.iTop) << c.iWidth << "x" << c.iHeight;
  }
}

TEST(Present, ScalerMakesBlocksOfEachPixel) {
  skvtest::EnsureAllegro();
  BITMAP *pFrom = create_bitmap_ex(32, 37, 23);
  srand(5);
  for (int y = 0; y < pFrom->h; ++y)
    for (int x = 0; x < pFrom->w; ++x) putpixel(pFrom, x, y, rand() & 0xFFFFFF);
  for (int iScale = 1; iScale <= 4; ++iScale) {
    BITMAP *pTo = create_bitmap_ex(32, 37 * iScale + 3, 23 * iScale + 2);
    clear_to_color(pTo, 0x123456);
    ScalePicture32(pFrom, pTo, iScale);
    int iWrong = 0;
    for (int y = 0; y < pTo->h; ++y)
      for (int x = 0; x < pTo->w; ++x) {
        const bool bInside = x < 37 * iScale && y < 23 * iScale;
        const int iWant = bInside ? getpixel(pFrom, x / iScale, y / iScale) : 0x123456;
        if (getpixel(pTo, x, y) != iWant) ++iWrong;
      }
    EXPECT_EQ(iWrong, 0) << "scale " << iScale;
    destroy_bitmap(pTo);
  }
  destroy_bitmap(pFrom);
}

// Presenting onto outputs of several sizes: the picture in its place at its
// scale, black around it, and the shown picture readable afterwards.
TEST(Present, FramesFillOutputsOfAnySize) {
  skvtest::EnsureAllegro();
  BITMAP *pOldScreen = screen;
  BITMAP *pFrame = create_bitmap_ex(32, PictureWidth, PictureHeight);
  for (int y = 0; y < PictureHeight; ++y)
    for (int x = 0; x < PictureWidth; ++x) putpixel(pFrame, x, y, (x * 7919 + y * 104729) & 0xFFFFFF);
  const int kSizes[][2] = {{1920, 1080}, {1280, 1024}, {640, 480}, {600, 400}};
  for (const int *pSize : kSizes) {
    screen = create_bitmap_ex(32, pSize[0], pSize[1]);
    clear_to_color(screen, 0xFFFFFF);
    PresentFrame(pFrame);
    const PresentLayout l = FitPicture(pSize[0], pSize[1]);
    for (int i = 0; i < 50; ++i) {
      const int x = (i * 131) % PictureWidth, y = (i * 71) % PictureHeight;
      const int ox = l.iLeft + x * l.iScale + l.iScale - 1, oy = l.iTop + y * l.iScale + l.iScale - 1;
      if (ox >= 0 && oy >= 0 && ox < pSize[0] && oy < pSize[1]) {
        EXPECT_EQ(getpixel(screen, ox, oy), getpixel(pFrame, x, y)) << pSize[0] << " at " << x << "," << y;
      }
    }
    if (l.iLeft > 0) {
      EXPECT_EQ(getpixel(screen, l.iLeft - 1, pSize[1] / 2), 0) << pSize[0];
    }
    if (l.iTop > 0) {
      EXPECT_EQ(getpixel(screen, pSize[0] / 2, l.iTop - 1), 0) << pSize[0];
    }
    EXPECT_EQ(getpixel(ShownPicture(), 17, 29), getpixel(pFrame, 17, 29)) << pSize[0];
    destroy_bitmap(screen);
  }
  screen = pOldScreen;
  destroy_bitmap(pFrame);
}

// A present of the picture last shown, said to be the same, neither scales
// nor sends it, and one said to differ only in a part sends only that part;
// once anything may have spoiled the output, both send everything.
TEST(Present, TheSamePictureIsSentAgainOnlyAfterTheOutputWasSpoiled) {
  skvtest::EnsureAllegro();
  BITMAP *pOldScreen = screen;
  BITMAP *pFrame = create_bitmap_ex(32, PictureWidth, PictureHeight);
  clear_to_color(pFrame, 0x336699);
  const auto NewOutput = [] { screen = create_bitmap_ex(32, 1280, 960); };
  const struct {
    const char *cName;
    std::function<void()> fSpoil;
  } kCases[] = {
      {"another output of the same size", [&] {
         BITMAP *pOld = screen;
         NewOutput();
         destroy_bitmap(pOld);
       }},
      {"an output of another size, as after a mode switch", [] {
         destroy_bitmap(screen);
         screen = create_bitmap_ex(32, 1920, 1080);
       }},
      {"the shown picture handed out to draw on", [] { ShownPicture(); }},
      {"a pause", [] {
         FocusLost();
         std::thread back([] {
           std::this_thread::sleep_for(std::chrono::milliseconds(30));
           FocusReturned();
         });
         IdleUntilNextTick();
         back.join();
       }},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.cName);
    NewOutput();
    PresentFrame(pFrame);
    const long iSent = PresentCount();
    putpixel(screen, 401, 401, 0xFF0000);  // a mark only a present covers
    PresentFrame(pFrame, true);
    EXPECT_EQ(PresentCount(), iSent);
    EXPECT_EQ(skvtest::PixelRgb(screen, 401, 401), 0xFF0000);
    // Changed inside the part (at 30, 20 of the picture) and outside it.
    const PixelRect rPart = {21, 11, 19, 17};
    putpixel(pFrame, 30, 20, 0x00FF00);
    putpixel(pFrame, 100, 20, 0x00FF00);
    PresentFrame(pFrame, false, &rPart);
    EXPECT_EQ(skvtest::PixelRgb(screen, 61, 41), 0x00FF00);
    EXPECT_EQ(skvtest::PixelRgb(screen, 201, 41), 0x336699) << "outside the part";
    EXPECT_EQ(skvtest::PixelRgb(screen, 401, 401), 0xFF0000);
    c.fSpoil();
    const PresentLayout l = FitPicture(screen->w, screen->h);
    putpixel(screen, l.iLeft + 401, l.iTop + 401, 0xFF0000);
    PresentFrame(pFrame, true, &rPart);
    EXPECT_GT(PresentCount(), iSent);
    EXPECT_EQ(skvtest::PixelRgb(screen, l.iLeft + 401, l.iTop + 401), 0x336699);
    EXPECT_EQ(skvtest::PixelRgb(screen, l.iLeft + l.iScale * 100, l.iTop + l.iScale * 20), 0x00FF00);
    clear_to_color(pFrame, 0x336699);
    destroy_bitmap(screen);
  }
  screen = pOldScreen;
  destroy_bitmap(pFrame);
}

TEST(Options, AcceptedAndRefused) {
  struct Case {
    std::vector<const char *> vArgs;
    OptionsVerdict verdict;
    bool bWindow;
    int iScale;
    bool bNoPause = false;
  };
  const Case kCases[] = {
      {{}, OptionsVerdict::Play, false, 0},
      {{"--window"}, OptionsVerdict::Play, true, 0},
      {{"--scale", "3"}, OptionsVerdict::Play, false, 3},
      {{"--window", "--scale=1"}, OptionsVerdict::Play, true, 1},
      {{"--no-pause", "--window"}, OptionsVerdict::Play, true, 0, true},
      {{"--scale", "2", "--help"}, OptionsVerdict::Help, false, 2},
      {{"-h"}, OptionsVerdict::Help, false, 0},
      {{"--version"}, OptionsVerdict::Version, false, 0},
      {{"--scale"}, OptionsVerdict::Refused, false, 0},
      {{"--scale", "0"}, OptionsVerdict::Refused, false, 0},
      {{"--scale", "-2"}, OptionsVerdict::Refused, false, 0},
      {{"--scale", "2x"}, OptionsVerdict::Refused, false, 0},
      {{"--scale=65"}, OptionsVerdict::Refused, false, 0},
      {{"--scale", "99999999999999999999"}, OptionsVerdict::Refused, false, 0},
      {{"--fullscreen"}, OptionsVerdict::Refused, false, 0},
      {{"window"}, OptionsVerdict::Refused, false, 0},
  };
  for (const Case &c : kCases) {
    std::vector<const char *> vArgv = {"skarnvale"};
    vArgv.insert(vArgv.end(), c.vArgs.begin(), c.vArgs.end());
    GameOptions options;
    std::string sMessage;
    const std::string sLine = c.vArgs.empty() ? "(none)" : c.vArgs[0];
    EXPECT_EQ(ParseOptions(static_cast<int>(vArgv.size()), vArgv.data(), options, sMessage),
              c.verdict)
        << sLine;
    if (c.verdict == OptionsVerdict::Refused) {
      EXPECT_EQ(sMessage.find('\n'), std::string::npos) << "one line: " << sMessage;
      EXPECT_EQ(sMessage.rfind("skarnvale: ", 0), 0u) << sMessage;
    } else {
      EXPECT_EQ(options.display.bWindow, c.bWindow) << sLine;
      EXPECT_EQ(options.display.iScale, c.iScale) << sLine;
      EXPECT_EQ(options.display.bNoPause, c.bNoPause) << sLine;
    }
  }
}

// A clock that moves one tick every third look, so a loop that did not wait
// would show several pictures in one tick.
int iLooks = 0;
void SlowClock() {
  if (++iLooks % 3 == 0) GameTicks += 1;
}

TEST(Pacing, ALoopShowsOnePicturePerTickAndIdleLoopsWaitToo) {
  skvtest::EnsureAllegro();
  skvtest::ResetScreen();
  BITMAP *pFrame = create_bitmap(640, 480);
  clear_to_color(pFrame, 0x203040);
  GameTicks = 500;
  SetTickWait(SlowClock);
  SetFramePacing(true);
  std::vector<int> vTicks;
  for (int i = 0; i < 20; ++i) {
    const long iBefore = PresentCount();
    vTicks.push_back(GameTicks.load());
    PresentFrame(pFrame);
    IdleUntilNextTick();  // a present has ended the pass: no second wait
    EXPECT_EQ(PresentCount(), iBefore + 1);
  }
  for (size_t i = 1; i < vTicks.size(); ++i) EXPECT_EQ(vTicks[i], vTicks[i - 1] + 1) << i;
  // A loop that shows nothing (a key held) still takes one tick per pass.
  const int iStart = GameTicks.load();
  for (int i = 0; i < 5; ++i) IdleUntilNextTick();
  EXPECT_EQ(GameTicks.load(), iStart + 5);
  EXPECT_EQ(skvtest::PixelRgb(screen, 10, 10), 0x203040);
  SetFramePacing(false);
  SetTickWait(nullptr);
  destroy_bitmap(pFrame);
}

// Away from the game: the clock and the fade stand still, "Paused" is shown
// over the picture, the game goes on from the same tick, and a key held
// when the focus went and let go while away counts when pressed again.
TEST(Pause, HoldsTheClockTheFadeAndHeldKeys) {
  skvtest::EnsureAllegro();
  skvtest::ResetScreen();
  if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
  clear_to_color(BackBuffer, 0x406080);
  GameTicks = 700;
  FadeLevel = 0;
  FadeStepTick = 700;
  key[KEY_SPACE] = -1;  // held when the focus goes
  FocusLost();
  key[KEY_SPACE] = 0;   // the library lets go of every key on the way out
  KeyboardEventSeen(KEY_SPACE | 0x80);
  for (int i = 0; i < 20; ++i) OnGameTick();
  EXPECT_EQ(GameTicks.load(), 700) << "the clock stands still";
  // The fade's present waits for the focus; another thread gives it back
  // after looking at the screen.
  bool bPausedShown = false;
  std::thread back([&bPausedShown] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (int y = 0; y < 480 && !bPausedShown; ++y)
      for (int x = 0; x < 640 && !bPausedShown; ++x)
        bPausedShown = skvtest::PixelRgb(screen, x, y) == 0xE6C878;  // the box's frame
    FocusReturned();
  });
  FadeIn(5);
  back.join();
  EXPECT_TRUE(bPausedShown);
  EXPECT_EQ(GameTicks.load(), 700) << "back at the same tick";
  EXPECT_EQ(FadeLevel.load(), 0) << "the fade did not move";
  for (int i = 0; i < 6; ++i) OnGameTick();
  FadeIn(5);
  EXPECT_EQ(FadeLevel.load(), 8) << "the clock and the fade go on";
  // Let go of in the other window, so never seen released here: pressed
  // again with the focus back, it counts.
  key[KEY_SPACE] = -1;
  KeyboardEventSeen(KEY_SPACE);
  EXPECT_NE(key[KEY_SPACE], 0);
  key[KEY_SPACE] = 0;
  KeyboardEventSeen(KEY_SPACE | 0x80);
}

// The close button ends the game at the next present, as "Exit" does (status
// 0), once; asked for while the game is paused, it ends the pause too.
TEST(Pause, CloseRequestEndsTheGameAtTheNextPresent) {
  skvtest::EnsureAllegro();
  skvtest::ResetScreen();
  if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
  const auto ExitStatus = [] {
    try {
      PresentFrame(BackBuffer);
    } catch (const GameExitRequest &request) {
      return request.iStatus;
    }
    return -1;
  };
  CloseRequested();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ExitStatus(), -1) << "the request is carried out once";
  FocusLost();
  std::thread closer([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    CloseRequested();
  });
  EXPECT_EQ(ExitStatus(), 0);
  closer.join();
  FocusReturned();
#ifndef _WIN32
  // Asked of the process: the same way out, and the process lives on to it.
  TakeEndSignals();
  for (const int iSignal : {SIGTERM, SIGHUP}) {
    raise(iSignal);
    EXPECT_EQ(ExitStatus(), 0) << "signal " << iSignal;
  }
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
  signal(SIGHUP, SIG_DFL);
#endif
}

}  // namespace
