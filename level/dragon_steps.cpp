// The stage's steps over the dragon and the shots: the control step that
// steers the dragon and fires, and the drawing of the shots.
#include <memory>

#include "app/globals.h"
#include "app/list.h"
#include "app/pad.h"
#include "app/present.h"
#include "app/settings.h"
#include "audio/effects.h"
#include "entities/player.h"
#include "entities/projectile.h"
#include "entities/sprite.h"
#include "level/level_run.h"
#include "tilemap/tilemap.h"

namespace {

// The flight's speed (iSpeed, map pixels the view climbs per frame): Up raises
// it towards the stage's iMaxSpeed, Down lowers it to kMinSpeed, and with
// neither it returns to kCruiseSpeed.
const int kMinSpeed = 3;
const int kCruiseSpeed = 7;
const int kHeldSpeedGap = 15;   // ticks between speed changes while Up or Down is held
const int kReturnSpeedGap = 5;  // ticks between steps back to the cruise speed
const int kControlGap = 1;      // ticks between steering steps
const int kDriftGap = 2;        // ticks between drift steps
const int kSideStep = 7;        // map pixels per steering step left or right
const int kHalfView = 320;      // the view follows the dragon's x at the screen's middle

// Without Up the dragon drifts down to the band's top (screen y), without Down
// up to its bottom.
const int kDriftBandTop = 335;
const int kDriftBandBottom = 375;

// A vertical step in map pixels that changes linearly with the dragon's
// height on the screen: fSlope * (its sprite's y) + iOffset, taken only when
// positive.
struct HeightStep {
  float fSlope;
  int iOffset;
};
const HeightStep kClimb = {0.053333335f, -10};      // Up: none above y 188
const HeightStep kDive = {-0.08f, 32};              // Down: none below y 400
const HeightStep kDriftUp = {0.16f, -48};           // none above y 300
const HeightStep kDriftDown = {-0.053333335f, 26};  // none below y 488

int StepAt(const HeightStep &rStep, int iScreenY) {
  return static_cast<int>(iScreenY * rStep.fSlope + rStep.iOffset);
}

// What ends the pause for a pulled pad: a pad plugged in, or a pad button,
// Enter or Space pressed after the pause began and let go again.
bool bAnswerArmed = false;  // seen up since the pause began
bool bAnswerDown = false;   // pressed while armed
int iPadsAtPause = 0;       // the pads open when the pause began
bool PulledPadPauseOver() {
  if (keyboard_driver != nullptr && keyboard_needs_poll()) poll_keyboard();
  const unsigned iActions = PadActions();
  if (PadsOpen() > iPadsAtPause) return true;
  const bool bDown = (iActions & PadAnyButton) != 0 || key[KEY_ENTER] || key[KEY_SPACE];
  if (bDown) {
    bAnswerDown = bAnswerArmed;
    return false;
  }
  bAnswerArmed = true;
  return bAnswerDown;
}

// "Paused" over the last picture, the clock and music held as for a lost
// focus, until PulledPadPauseOver.
void PauseForPulledPad() {
  bAnswerArmed = bAnswerDown = false;
  iPadsAtPause = PadsOpen();
  PauseUntil("Paused: a pad was unplugged. Plug it in, or press a button or Enter.",
             PulledPadPauseOver);
  PadPulledOut();  // pads pulled during the pause are answered with it
}

// The pause key (P unless the player bound another) or Start on a pad: a
// press holds the stage, the next press lets it go on.
bool bPauseDown = false;  // either was down at the last look
bool PauseHeldNow(unsigned iPad) {
  return ActionKeyHeld(KeyAction::Pause) || (iPad & PadPause) != 0;
}
bool PauseKeyPressedAgain() {
  if (keyboard_driver != nullptr && keyboard_needs_poll()) poll_keyboard();
  const bool bDown = PauseHeldNow(PadActions());
  const bool bPressed = bDown && !bPauseDown;
  bPauseDown = bDown;
  return bPressed;
}

}  // namespace

// The stage's control step, once per pass, first: speed, steering, the pull
// back into the resting band (screen y 335..375) and the fire button. The
// pads' directions and fire come from the pad layer (app/pad.h).
void LevelRun::controlPlayer() {
  const unsigned iPad = PadActions();
  // A pad pulled out pauses the stage, and so does the pause key.
  if (PadPulledOut()) PauseForPulledPad();
  const bool bPauseNow = PauseHeldNow(iPad);
  if (bPauseNow && !bPauseDown) {
    bPauseDown = true;
    PauseUntil("Paused", PauseKeyPressedAgain);
  } else {
    bPauseDown = bPauseNow;
  }
  const bool bJoyLeft = (iPad & PadLeft) != 0;
  const bool bJoyRight = (iPad & PadRight) != 0;
  const bool bJoyUp = (iPad & PadUp) != 0;
  const bool bJoyDown = (iPad & PadDown) != 0;
  const bool bPadFire = (iPad & PadFire) != 0;
  // Up climbs and speeds up, Down dives and slows down: the keys the player
  // bound to "Faster" and "Slower".
  auto Up = [&] { return ActionKeyHeld(KeyAction::Faster) || bJoyUp; };
  auto Down = [&] { return ActionKeyHeld(KeyAction::Slower) || bJoyDown; };
  Player *pDragon = pPlayer;

  if (TicksSince(iLastControlTick) > kControlGap) {
    if (Up()) {
      if (iSpeed < iMaxSpeed && TicksSince(iLastSpeedTick) > kHeldSpeedGap) {
        iSpeed += 1;
        iLastSpeedTick = GameTicks;
      }
      const int iMove = StepAt(kClimb, pDragon->pSprite->iY);
      if (iMove > 0) pDragon->moveUp(iMove, iCamY);
    }
    if (Down()) {
      if (iSpeed > kMinSpeed && TicksSince(iLastSpeedTick) > kHeldSpeedGap) {
        iSpeed -= 1;
        iLastSpeedTick = GameTicks;
      }
      const int iMove = StepAt(kDive, pDragon->pSprite->iY);
      if (iMove > 0) pDragon->moveDown(iMove, iCamY);
    }
    if (ActionKeyHeld(KeyAction::Left) || bJoyLeft) pDragon->moveLeft(kSideStep);
    if (ActionKeyHeld(KeyAction::Right) || bJoyRight) pDragon->moveRight(kSideStep);
    const int iMapWidth = TileMapPixelWidth();
    if (pDragon->fX >= kHalfView && pDragon->fX < iMapWidth - kHalfView)
      iCamX = static_cast<int>(pDragon->fX - kHalfView);
    if (ActionKeyHeld(KeyAction::Fire) || bPadFire) firePlayerShot();
    iLastControlTick = GameTicks;
  }

  if (!Down()) {
    if (iSpeed < kCruiseSpeed && TicksSince(iLastSpeedTick) > kReturnSpeedGap) {
      iSpeed += 1;
      iLastSpeedTick = GameTicks;
    }
    if (pDragon->fY - iCamY > kDriftBandBottom && TicksSince(iLastDriftTick) > kDriftGap) {
      const int iMove = StepAt(kDriftUp, pDragon->pSprite->iY);
      if (iMove > 0) pDragon->moveUp(iMove, iCamY);
      iLastDriftTick = GameTicks;
    }
  }
  if (!Up()) {
    if (iSpeed > kCruiseSpeed && TicksSince(iLastSpeedTick) > kReturnSpeedGap) {
      iSpeed -= 1;
      iLastSpeedTick = GameTicks;
    }
    if (pDragon->fY - iCamY < kDriftBandTop && TicksSince(iLastDriftTick) > kDriftGap) {
      const int iMove = StepAt(kDriftDown, pDragon->pSprite->iY);
      if (iMove > 0) pDragon->moveDown(iMove, iCamY);
      iLastDriftTick = GameTicks;
    }
  }
}

// One fire shot from the top edge of the dragon's middle, at most every 6 ticks.
void LevelRun::firePlayerShot() {
  if (TicksSince(iLastShotTick) <= 5) return;
  Player *pDragon = pPlayer;
  std::unique_ptr<Projectile> pShot(new Projectile());
  const int iShotX = static_cast<int>(pDragon->fX + pDragon->pSprite->getWidth() / 2);
  pShot->launchPlayerShot(KindFireShot, iShotX, static_cast<int>(pDragon->fY), 1, 0, -1,
                          iSpeed + 10);
  if (ListPush(pProjectiles, pShot.get()) != nullptr) {
    // Behind a dropped frozen shot that was last in the list, the new shot
    // takes its mark, as enemy shots joining the list do (joinShots).
    if (bTailAfterDropped) pShot->bAfterDropped = true;
    bTailAfterDropped = false;
    pShot.release();
  }
  iLastShotTick = GameTicks;
  PlayEffect(Effect::Breath, iShotX - iCamX);
}

void LevelRun::drawProjectiles(BITMAP *pDest) {
  for (ListNode *pNode = pProjectiles; pNode != nullptr; pNode = pNode->link) {
    static_cast<Projectile *>(pNode->data)->drawProjectile(pDest, iCamX, iCamY);
  }
}
