// The stage's control step for the dragon, driven tick by tick with keys and
// the joystick set by the test: speed, steering, resting band, fire rate.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "level/level_run.h"
#include "app/present.h"
#include "app/settings.h"
#include "common/scripted_pads.h"
#include "entity_fixture.h"

using skvtest::SetTicks;

namespace {

// The stage's control step, driven tick by tick with keys set by the test.
class ControlTest : public EntityTest {
 protected:
  void SetUp() override {
    EntityTest::SetUp();
    for (int i = 0; i < KEY_MAX; ++i) key[i] = 0;
    memset(&joy[0], 0, sizeof(JOYSTICK_INFO));
    run.pPlayer = &dragon;
    run.iCamY = 23520;
    PlaceAtScreenY(355);
  }
  void TearDown() override {
    run.pPlayer = nullptr;
    shots = run.pProjectiles;
    run.pProjectiles = nullptr;
    EntityTest::TearDown();
  }
  // Puts the dragon at a screen y, as drawn there last.
  void PlaceAtScreenY(int iY) {
    dragon.fY = static_cast<float>(run.iCamY + iY);
    dragon.pSprite->iY = iY;
  }
  int ScreenY() { return static_cast<int>(dragon.fY) - run.iCamY; }
  int CountShots() {
    int n = 0;
    for (ListNode *p = run.pProjectiles; p != nullptr; p = p->link) ++n;
    return n;
  }
  LevelRun run;
};

TEST_F(ControlTest, UpRisesOnlyBelowScreenY207) {
  key[KEY_UP] = 1;
  PlaceAtScreenY(206);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 206);
  PlaceAtScreenY(207);
  SetTicks(1002);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 206);
  // Near the bottom: 12 up, and the pull toward the resting band adds 20.
  PlaceAtScreenY(425);
  SetTicks(1004);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 425 - 12 - 20);
  // Steps come every second tick only.
  PlaceAtScreenY(425);
  SetTicks(1005);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 425);
}

TEST_F(ControlTest, DownDescendsOnlyAboveScreenY388) {
  key[KEY_DOWN] = 1;
  PlaceAtScreenY(388);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 388);
  PlaceAtScreenY(387);
  SetTicks(1002);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 388);
  // At the top: 32 down, and the push toward the resting band adds 26.
  PlaceAtScreenY(0);
  SetTicks(1004);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 32 + 26);
}

TEST_F(ControlTest, SpeedChangesEvery16TicksAndReturnsTo7) {
  key[KEY_UP] = 1;
  int iRaises = 0;
  int iLast = run.iSpeed;
  for (int t = 1000; t < 1200; ++t) {
    SetTicks(t);
    PlaceAtScreenY(355);
    run.controlPlayer();
    if (run.iSpeed != iLast) {
      ++iRaises;
      EXPECT_EQ(run.iSpeed, iLast + 1);
      EXPECT_EQ(run.iLastSpeedTick, t);
    }
    iLast = run.iSpeed;
  }
  EXPECT_EQ(iRaises, 5);
  EXPECT_EQ(run.iSpeed, 12);  // the maximum
  EXPECT_EQ(run.iLastSpeedTick, 1000 + 4 * 16);

  // Released: down by one every 6 ticks.
  key[KEY_UP] = 0;
  int iTick = 1200;
  for (int iExpected = 11; iExpected >= 7; --iExpected) {
    SetTicks(iTick += 6);
    PlaceAtScreenY(355);
    run.controlPlayer();
    EXPECT_EQ(run.iSpeed, iExpected);
  }
  SetTicks(iTick += 6);
  run.controlPlayer();
  EXPECT_EQ(run.iSpeed, 7);

  // Down lowers to 3, through the joystick as well.
  joy[0].stick[0].axis[1].d2 = 1;
  for (int t = iTick + 1; t < iTick + 200; ++t) {
    SetTicks(t);
    PlaceAtScreenY(400);
    run.controlPlayer();
  }
  EXPECT_EQ(run.iSpeed, 3);
  iTick += 200;
  joy[0].stick[0].axis[1].d2 = 0;
  for (int iExpected = 4; iExpected <= 7; ++iExpected) {
    SetTicks(iTick += 6);
    PlaceAtScreenY(355);
    run.controlPlayer();
    EXPECT_EQ(run.iSpeed, iExpected);
  }
}

TEST_F(ControlTest, RestingBandPullsTheDragonBack) {
  // Below the band: pulled up by trunc(y * 0.16 - 48).
  PlaceAtScreenY(400);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 400 - 16);
  EXPECT_EQ(run.iLastDriftTick, 1000);
  SetTicks(1002);  // within the drift delay
  PlaceAtScreenY(400);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 400);
  // Just below 375 the pull is 12; in the band nothing moves.
  SetTicks(1010);
  PlaceAtScreenY(376);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 364);
  SetTicks(1020);
  PlaceAtScreenY(355);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 355);
  EXPECT_EQ(run.iLastDriftTick, 1010);
  // Above the band: pushed down by trunc(y * -0.053333335 + 26).
  SetTicks(1030);
  PlaceAtScreenY(300);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 310);
  SetTicks(1040);
  PlaceAtScreenY(334);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 342);
  // Holding Up switches the downward pull off.
  key[KEY_UP] = 1;
  SetTicks(1050);
  PlaceAtScreenY(300);
  run.controlPlayer();
  EXPECT_EQ(ScreenY(), 300 - 6);
}

TEST_F(ControlTest, SteeringMovesSidewaysAndTheViewFollows) {
  dragon.fX = 400;
  key[KEY_RIGHT] = 1;
  run.controlPlayer();
  EXPECT_FLOAT_EQ(dragon.fX, 407.0f);
  EXPECT_EQ(run.iCamX, 87);
  key[KEY_RIGHT] = 0;
  joy[0].stick[0].axis[0].d1 = 1;  // joystick left
  dragon.fX = 322;
  SetTicks(1002);
  run.controlPlayer();
  EXPECT_FLOAT_EQ(dragon.fX, 315.0f);
  EXPECT_EQ(run.iCamX, 87);  // left of 320 the view keeps its last place
  // At the right end of the map the view stops as well.
  joy[0].stick[0].axis[0].d1 = 0;
  key[KEY_RIGHT] = 1;
  dragon.fX = 955;
  SetTicks(1004);
  run.controlPlayer();
  EXPECT_EQ(run.iCamX, 87);
  EXPECT_FLOAT_EQ(dragon.fX, 962.0f);
}

TEST_F(ControlTest, FireHeldGivesAShotEverySixTicks) {
  key[KEY_LCONTROL] = 1;
  dragon.fX = 300.0f;
  for (int t = 1000; t < 1030; ++t) {
    SetTicks(t);
    PlaceAtScreenY(355);
    run.controlPlayer();
  }
  EXPECT_EQ(CountShots(), 5);  // ticks 1000, 1006, 1012, 1018, 1024
  EXPECT_EQ(run.iLastShotTick, 1024);
  Projectile *pShot = static_cast<Projectile *>(run.pProjectiles->data);
  EXPECT_TRUE(pShot->bPlayerShot);
  EXPECT_EQ(pShot->iSpeed, 17);
  EXPECT_FLOAT_EQ(pShot->fX, 340.0f);
  EXPECT_FLOAT_EQ(pShot->fY, static_cast<float>(run.iCamY + 355));
  EXPECT_FLOAT_EQ(pShot->fDirY, -1.0f);
  EXPECT_EQ(pShot->iMoveDelay, 1);

  // The fire delay on its own: 5 ticks after a shot is too early, 6 is not.
  run.iLastShotTick = 2000;
  run.iLastControlTick = 0;
  SetTicks(2005);
  run.controlPlayer();
  EXPECT_EQ(CountShots(), 5);
  run.iLastControlTick = 0;
  SetTicks(2006);
  run.controlPlayer();
  EXPECT_EQ(CountShots(), 6);

  // Joystick buttons fire too; the speed follows the flying speed.
  key[KEY_LCONTROL] = 0;
  joy[0].button[1].b = 1;
  run.iSpeed = 12;
  SetTicks(2020);
  run.controlPlayer();
  EXPECT_EQ(CountShots(), 7);
  ListNode *pLast = run.pProjectiles;
  while (pLast->link != nullptr) pLast = pLast->link;
  EXPECT_EQ(static_cast<Projectile *>(pLast->data)->iSpeed, 22);
}

#ifdef __linux__
TEST_F(ControlTest, APadsDpadSteersItsButtonsFireAndPullingItPausesTheStage) {
  skvtest::ScriptedPads pads;
  const PadMaps maps = skvtest::Xbox360Maps();
  pads.plug(0, maps, {0, 0, -32767, 0, 0, -32767});  // the triggers rest at one end
  dragon.fX = 400;
  pads.axis(0, skvtest::Xbox360DpadX, 32767);
  run.controlPlayer();
  EXPECT_FLOAT_EQ(dragon.fX, 407.0f);
  pads.axis(0, skvtest::Xbox360DpadX, 0);
  pads.button(0, skvtest::Xbox360B, true);
  SetTicks(1002);
  run.controlPlayer();
  EXPECT_FLOAT_EQ(dragon.fX, 407.0f);
  EXPECT_EQ(CountShots(), 1);
  pads.button(0, skvtest::Xbox360B, false);

  // Pulled out: the next control step holds the stage as a lost focus does,
  // until the pad is plugged in again.
  pads.pull(0);
  std::atomic<bool> bPausedSeen{false};
  std::thread replug([&] {
    for (int i = 0; i < 5000 && !GameIsAway(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bPausedSeen = GameIsAway();
    pads.plug(0, maps);
  });
  SetTicks(1004);
  run.controlPlayer();
  replug.join();
  EXPECT_TRUE(bPausedSeen);
  EXPECT_FALSE(GameIsAway());
  EXPECT_EQ(PadsOpen(), 1);

  // Start holds the stage as the pause key does, until it is pressed again.
  pads.button(0, 7, true);  // Start
  std::thread again([&] {
    for (int i = 0; i < 5000 && !GameIsAway(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bPausedSeen = GameIsAway();
    pads.button(0, 7, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    pads.button(0, 7, true);
  });
  bPausedSeen = false;
  SetTicks(1006);
  run.controlPlayer();
  again.join();
  EXPECT_TRUE(bPausedSeen);
  EXPECT_FALSE(GameIsAway());
  pads.button(0, 7, false);
}
#endif

// Every key of the stage as the player bound it: the old key does nothing,
// the new one acts; P pauses until pressed again, and a P still held after
// the pause does not pause again.
TEST_F(ControlTest, TheBoundKeysActAndThePauseKeyHoldsTheStage) {
  struct Case {
    KeyAction action;
    int iOldKey;
    std::function<bool()> acted;
  };
  const Case cases[] = {
      {KeyAction::Fire, KEY_LCONTROL, [this] { return CountShots() > 0; }},
      {KeyAction::Left, KEY_LEFT, [this] { return dragon.fX < 400.0f; }},
      {KeyAction::Right, KEY_RIGHT, [this] { return dragon.fX > 400.0f; }},
      {KeyAction::Faster, KEY_UP, [this] { return ScreenY() < 355; }},
      {KeyAction::Slower, KEY_DOWN, [this] { return ScreenY() > 355; }},
  };
  int iTick = 1000;
  for (const Case &c : cases) {
    SCOPED_TRACE(KeyActionName(c.action));
    for (bool bNewKey : {false, true}) {
      GameSettings = Settings();
      ASSERT_EQ(BindKey(GameSettings, c.action, KEY_F), BindResult::Bound);
      shots = run.pProjectiles;
      run.pProjectiles = nullptr;
      ClearShots();
      dragon.fX = 400.0f;
      PlaceAtScreenY(355);  // inside the resting band: no drift
      const int iKey = bNewKey ? KEY_F : c.iOldKey;
      key[iKey] = 1;
      SetTicks(iTick += 20);
      run.controlPlayer();
      key[iKey] = 0;
      EXPECT_EQ(c.acted(), bNewKey) << (bNewKey ? "F" : "the old key");
    }
  }
  GameSettings = Settings();

  std::atomic<bool> bPausedSeen{false};
  key[KEY_P] = 1;
  std::thread again([&] {
    for (int i = 0; i < 5000 && !GameIsAway(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bPausedSeen = GameIsAway();
    key[KEY_P] = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    key[KEY_P] = 1;
  });
  SetTicks(iTick += 20);
  run.controlPlayer();
  again.join();
  EXPECT_TRUE(bPausedSeen);
  EXPECT_FALSE(GameIsAway());
  SetTicks(iTick += 20);
  run.controlPlayer();  // P is still down: no second pause (it would hang)
  key[KEY_P] = 0;
  EXPECT_FALSE(GameIsAway());
}

}  // namespace
