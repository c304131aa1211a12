#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/notice.h"
#include "common/allegro_env.h"

namespace {

const char *const JoystickNote = "NOTE:  No joystick could be found, but you can still use keyboard.";

// A screen with a different colour in every pixel, so any pixel left changed
// by a box shows.
void PaintPattern(BITMAP *pBitmap) {
  for (int y = 0; y < pBitmap->h; ++y)
    for (int x = 0; x < pBitmap->w; ++x) putpixel(pBitmap, x, y, makecol(x & 255, y & 255, (x ^ y) & 255));
}

int CountColour(BITMAP *pBitmap, int x0, int y0, int x1, int y1, int iColour) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += (getpixel(pBitmap, x, y) & 0xFFFFFF) == iColour;
  return n;
}

class Notice : public testing::Test {
 protected:
  void SetUp() override {
    skvtest::ResetScreen();
    for (int k : {KEY_ENTER, KEY_ENTER_PAD, KEY_SPACE, KEY_ESC, KEY_A}) key[k] = 0;
  }
  void TearDown() override {
    for (int k : {KEY_ENTER, KEY_ENTER_PAD, KEY_SPACE, KEY_ESC, KEY_A}) key[k] = 0;
    joy[0].button[1].b = 0;
    joy[0].num_buttons = 0;
    num_joysticks = 0;
    clear_keybuf();
  }
};

}  // namespace

TEST(WrapMessage, BreaksAtLineFeedsAndBetweenWords) {
  struct Case {
    const char *cText;
    int iColumns;
    std::vector<std::string> aLines;
  } const aCases[] = {
      {"REPORT:  no sound card\n", 40, {"REPORT:  no sound card"}},
      {"one\n\ntwo", 40, {"one", "", "two"}},
      {"fire and ice at dawn", 9, {"fire and", "ice at", "dawn"}},
      {"abcdefghij k", 4, {"abcd", "efgh", "ij k"}},
      {"", 10, {}},
  };
  for (const Case &c : aCases) EXPECT_EQ(WrapMessage(c.cText, c.iColumns), c.aLines) << c.cText;
}

// The line is the message itself, in the library's font, inside the box, with
// a hint; closing the box puts back every pixel it covered.
TEST_F(Notice, ShowsTheExactTextAndRestoresThePictureUnderIt) {
  PaintPattern(screen);
  BITMAP *pBefore = create_bitmap(screen->w, screen->h);
  blit(screen, pBefore, 0, 0, 0, 0, screen->w, screen->h);
  {
    NoticeBox box(screen, JoystickNote);
    BITMAP *pExpected = create_bitmap(text_length(font, JoystickNote), 8);
    clear_to_color(pExpected, 0);
    textout_ex(pExpected, font, JoystickNote, 0, 0, makecol(255, 255, 255), -1);
    const int x0 = box.left() + 12, y0 = box.top() + 12;
    for (int y = 0; y < pExpected->h; ++y)
      for (int x = 0; x < pExpected->w; ++x)
        ASSERT_EQ(getpixel(screen, x0 + x, y0 + y) == makecol(255, 255, 255),
                  getpixel(pExpected, x, y) != 0)
            << x << "," << y;
    destroy_bitmap(pExpected);
    // The hint sits in the box's lower part, below the text.
    EXPECT_GT(CountColour(screen, box.left(), y0 + 10, box.left() + box.width(),
                          box.top() + box.height(), 0xBEBEBE),
              20);
  }
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x)
      ASSERT_EQ(getpixel(screen, x, y), getpixel(pBefore, x, y)) << x << "," << y;
  destroy_bitmap(pBefore);
}

// A long report is wrapped: all of its text lies inside the box.
TEST_F(Notice, WrapsALongLineInsideItsBox) {
  std::string sLong = "REPORT:  ";
  for (int i = 0; i < 30; ++i) sLong += "word" + std::to_string(i) + " ";
  const int iWhite = 0xFFFFFF;
  NoticeBox box(screen, sLong);
  EXPECT_GT(box.height(), 3 * 10);  // more than one line of text
  const int iInside = CountColour(screen, box.left(), box.top(), box.left() + box.width(),
                                  box.top() + box.height(), iWhite);
  EXPECT_GT(iInside, 30 * 4 * 8);  // every word drew something
  EXPECT_EQ(CountColour(screen, 0, 0, screen->w, screen->h, iWhite), iInside);
}

// Answering: a key held from before does not count; a new press counts only
// once it is let go, and what it typed does not reach the next screen.
TEST_F(Notice, AnswersOnlyToANewPressAfterItsRelease) {
  struct Step {
    int iKey;
    char iDown;
    bool bAnswered;
  };
  const std::vector<std::vector<Step>> aRuns = {
      // Enter held when the box came up, let go, pressed again, let go.
      {{KEY_ENTER, 1, false}, {KEY_ENTER, 1, false}, {KEY_ENTER, 0, false},
       {KEY_ENTER, 1, false}, {KEY_ENTER, 1, false}, {KEY_ENTER, 0, true}},
      // ESC pressed and let go; another key does nothing.
      {{KEY_A, 1, false}, {KEY_ESC, 1, false}, {KEY_ESC, 0, true}},
      // Space held from before; Enter answers while Space stays down.
      {{KEY_SPACE, 1, false}, {KEY_ENTER_PAD, 1, false}, {KEY_ENTER_PAD, 0, true}},
  };
  for (size_t r = 0; r < aRuns.size(); ++r) {
    TearDown();
    key[aRuns[r][0].iKey] = aRuns[r][0].iDown;  // down as the box comes up
    NoticeBox box(screen, "ERROR:  Failure to install sound.");
    for (size_t s = 0; s < aRuns[r].size(); ++s) {
      key[aRuns[r][s].iKey] = aRuns[r][s].iDown;
      if (s + 1 == aRuns[r].size()) simulate_keypress(KEY_ENTER << 8 | '\r');
      EXPECT_EQ(box.answered(), aRuns[r][s].bAnswered) << "run " << r << " step " << s;
    }
    EXPECT_FALSE(keypressed()) << "run " << r;
  }
}

TEST_F(Notice, AJoystickButtonAnswersToo) {
  num_joysticks = 1;
  joy[0].num_buttons = 2;
  NoticeBox box(screen, JoystickNote);
  EXPECT_FALSE(box.answered());
  joy[0].button[1].b = 1;
  EXPECT_FALSE(box.answered());
  joy[0].button[1].b = 0;
  EXPECT_TRUE(box.answered());
}

// Without a graphics mode the message goes to standard error (and to the
// library's own box where the system has one), with exactly one line feed.
TEST(ShowMessage, WritesEveryMessageToStandardErrorWithALineFeed) {
  testing::internal::CaptureStderr();
  ShowMessage("ERROR:  Could not find/open '%s'", "title_screen.bmp");
  ShowMessage("REPORT:  %s\n", "no driver");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR:  Could not find/open 'title_screen.bmp'\nREPORT:  no driver\n");
}
