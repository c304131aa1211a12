// The keyboard tests the screens share: which keys are waited out.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "screen_fixture.h"
#include "screens/screens.h"

using screentest::DelayedRelease;
using screentest::ScreenTest;
using Clock = std::chrono::steady_clock;

class Keys : public ScreenTest {};

TEST_F(Keys, HeldKeyIsWaitedOutUntilReleased) {
  key[KEY_ESC] = 1;
  Clock::time_point start = Clock::now();
  {
    DelayedRelease release(KEY_ESC, 40);
    EXPECT_TRUE(KeyPressed(KEY_ESC));
    // It came back only because the key was let go.
    EXPECT_EQ(key[KEY_ESC], 0);
  }
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(40));
  EXPECT_FALSE(KeyPressed(KEY_ESC));
}

TEST_F(Keys, EnterKeysAnswerAtOnceWhileStillHeld) {
  key[KEY_ENTER] = 1;
  EXPECT_TRUE(KeyPressed(KEY_ENTER));
  EXPECT_EQ(key[KEY_ENTER], 1);
  EXPECT_TRUE(EnterPressed());
  key[KEY_ENTER] = 0;
  EXPECT_FALSE(EnterPressed());
  key[KEY_ENTER_PAD] = 1;
  EXPECT_TRUE(KeyPressed(KEY_ENTER_PAD));
  EXPECT_TRUE(EnterPressed());
}

TEST_F(Keys, DigitKeyGivesTheHighestHeldDigit) {
  EXPECT_EQ(ReadDigitKey(), 0);
  // Digits are waited out one by one; a helper thread lets them go in turn,
  // the second well after the first so the scan has reached it.
  key[KEY_3] = 1;
  key[KEY_7_PAD] = 1;
  std::thread releaser([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    key[KEY_3] = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    key[KEY_7_PAD] = 0;
  });
  EXPECT_EQ(ReadDigitKey(), 7);
  releaser.join();
  key[KEY_9] = 1;
  {
    DelayedRelease release9(KEY_9, 10);
    EXPECT_EQ(ReadDigitKey(), 9);
  }
}
