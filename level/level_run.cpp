// The stage loop: map load, the frame in its fixed order, scrolling, the
// projectile and enemy passes, and the release of the stage.
#include "level/level_run.h"

#include <cstdlib>
#include <cstring>

#include "app/present.h"
#include "app/globals.h"
#include "app/list.h"
#include "app/notice.h"
#include "app/pad.h"
#include "support/owned.h"
#include "app/transitions.h"
#include "audio/effects.h"
#include "audio/jukebox.h"
#include "entities/enemy.h"
#include "entities/player.h"
#include "entities/projectile.h"
#include "entities/sprite.h"
#include "level/sky.h"
#include "support/blit32.h"
#include "tilemap/tilemap.h"

// Credit pairs shown over stage one: a heading, then the name under it.
static const char *const CreditTexts[14] = {
    "Game Designer/Programmer",  "    Tarnell",
    "Music Composed/Arranged by", "     Tarnell",
    "Graphics Arranged by",      "   Tarnell",
    "Graphics Arranged by",      "   Tarnell",
    "  Character Generation",    "    our own character painter",
    "        Misc. Resources",   "    the Skarnvale workshop",
    "Special Thanks",            "    Tolvane",
};

LevelRun::LevelRun()
    : iScore(0), iCamY(0), iCamX(0), iLastScrollTick(0), iSpeed(7),
      iLastControlTick(0), iLastSpeedTick(0), iLastDriftTick(0), iMaxSpeed(12),
      iLastShotTick(0), iCreditIndex(0), cCreditLines(), bCreditFadeIn(false),
      iCreditTick(0), iCreditAlpha(0), iCreditX(100), iCreditY(100),
      pProjectiles(nullptr), pEnemies(nullptr),
      pClouds(nullptr), pPlayer(nullptr), bEndBanner(false),
      bDropFrozenShots(true), bTailAfterDropped(false), bHealthLowHeard(false) {
  for (int i = 0; i < 14; ++i) {
    strncpy(cCreditLines[i], CreditTexts[i], sizeof cCreditLines[i] - 1);
  }
}

// run has released everything by the time it returns; a stage left on the
// game's way out (a picture that cannot be read) is released here.
LevelRun::~LevelRun() { releaseStage(); }

bool LevelRun::run(const char *cMapFile) {
  if (TileMapOpen(cMapFile) != 0) {
    // The graphics mode is gone and the screens that would follow draw to
    // it, so the game ends here, as it does when an image is missing.
    ExitWithMessage("ERROR:  Failed to load map:  %s", cMapFile);
  }
  // Written over the picture the player last saw (the faded story page).
  textprintf_ex(ShownPicture(), font, 300, 200, ColourWhite, _textmode, "LOADING...");
  textprintf_ex(ShownPicture(), font, 500, 400, ColourWhite, _textmode, "please wait...");
  ShowPicture();
  populate(cMapFile);
  startPlay();
  const OwnedBitmap hudLayer(CreateBitmapOrExit(640, 480));
  BITMAP *pHudLayer = hudLayer.get();
  pCreditOverlay.reset(CreateBitmapOrExit(640, 480));
  const bool bStageOne = strcmp(cMapFile, "level1.fmp") == 0;

  bool bLost = false;
  while (playing(bLost)) playFrame(pHudLayer, bStageOne, bLost);

  return endStage(bLost);
}

bool LevelRun::endStage(bool bLost) {
  PlayEffect(bLost ? Effect::StageLost : Effect::StageWon);
  fadeOutStage(bLost);
  // A game-over font that cannot be read skips the game-over screen; the
  // stage is released all the same and the game is lost.
  if (bLost) showGameOver();
  releaseStage();
  return bLost;
}

void LevelRun::startPlay() {
  pPlayer = new Player;
  pPlayer->createPlayer();
  iCamY = StageStartCamY;
  PadPulledOut();  // only a pad pulled during the stage pauses it
}

bool LevelRun::playing(bool bLost) const {
  return !key[KEY_O] && !bLost && iCamY > 0;
}

void LevelRun::playFrame(BITMAP *pHudLayer, bool bStageOne, bool &bLost) {
  // Input and movement.
  controlPlayer();
  const int iHealthBefore = pPlayer->iHealth;
  pPlayer->hitByShots(pProjectiles);
  if (pPlayer->iHealth < iHealthBefore) PlayEffect(Effect::DragonHit, dragonScreenX());
  updateProjectiles();
  updateEnemies();
  updateClouds();
  GameJukebox.updateMusic(kStageTrack);
  // The picture, back to front.
  FillRect32(BackBuffer, 0, 0, BackBuffer->w, BackBuffer->h, ColourBlue);
  scrollAndDrawMap();
  drawProjectiles(BackBuffer);
  drawEnemies(BackBuffer);
  drawClouds(BackBuffer);
  pPlayer->drawPlayer(BackBuffer, iCamY);
  if (drawHud(pHudLayer)) bLost = true;
  if (bStageOne) drawCredits(BackBuffer);
  // Presenting it; the dragon's damage flash lasts this one frame.
  if (FadeIn(5)) PresentFrame(BackBuffer);
  pPlayer->pSprite->refreshFrame();
}

void LevelRun::fadeOutStage(bool bLost) {
  const int iDelay = bLost ? 1 : 5;
  bool bDone = false;
  while (!bDone) {
    FadeOut(iDelay);
    bDone = GameJukebox.fadeMusic(iDelay);
    IdleUntilNextTick();
  }
}

// Deletes each item of a list (each frees its own pictures), then the nodes.
template <typename T>
static void ReleaseEntities(ListNode *pList) {
  for (ListNode *pNode = pList; pNode != nullptr; pNode = pNode->link)
    delete static_cast<T *>(pNode->data);
  ListFree(pList);
}

int LevelRun::dragonScreenX() const {
  return static_cast<int>(pPlayer->fX) + pPlayer->pSprite->getWidth() / 2 - iCamX;
}

void LevelRun::releaseStage() {
  pCreditOverlay.reset();
  TileMapClose();
  ReleaseEntities<Cloud>(pClouds);
  pClouds = nullptr;
  ReleaseEntities<Enemy>(pEnemies);
  pEnemies = nullptr;
  ReleaseEntities<Projectile>(pProjectiles);
  pProjectiles = nullptr;
  bTailAfterDropped = false;
  bHealthLowHeard = false;
  delete pPlayer;
  pPlayer = nullptr;
  // The images read for this stage are not needed by the next one.
  SpriteImageCacheClear();
  ReleaseCloudPictures();
}

void LevelRun::scrollAndDrawMap() {
  if (TicksSince(iLastScrollTick) > 1) {
    if (iCamY < 5) {
      iCamY = 5;
      bEndBanner = true;
    }
    if (iCamY > StageStartCamY) iCamY = StageStartCamY;
    iCamY -= iSpeed;
    pPlayer->moveUp(iSpeed, iCamY);
    iLastScrollTick = GameTicks;
  }
  TileMapPaintBack(BackBuffer, iCamX, iCamY, 0, 0, BackBuffer->w - 1, BackBuffer->h - 1);
  // Written over the painted map so that it is seen.
  if (bEndBanner)
    textout_centre_ex(BackBuffer, font, "END OF LEVEL", BackBuffer->w / 2, BackBuffer->h / 2,
                      ColourWhite, _textmode);
}

void LevelRun::drawEnemies(BITMAP *pDest) {
  for (ListNode *pNode = pEnemies; pNode != nullptr; pNode = pNode->link)
    static_cast<Enemy *>(pNode->data)->drawEnemy(pDest, iCamX, iCamY);
}

// Unlinks the node after pNode and frees it; returns the item it held.
static void *UnlinkNext(ListNode *pNode) {
  ListNode *pDead = pNode->link;
  void *pItem = pDead->data;
  pNode->link = pDead->link;
  free(pDead);
  return pItem;
}

// Unlinks the first node and frees it; returns the item it held.
static void *UnlinkFirst(ListNode *&pList) {
  ListNode *pDead = pList;
  void *pItem = pDead->data;
  pList = pDead->link;
  free(pDead);
  return pItem;
}

static void DropProjectile(Projectile *pShot) { delete pShot; }

namespace {

Projectile *ShotOf(const ListNode *pNode) { return static_cast<Projectile *>(pNode->data); }

}  // namespace

// Unlinks and frees the shot after pPrev (the first one when pPrev is null)
// and returns the node that now takes its place. A shot that had a dropped
// frozen shot before it hands that place on to the next shot.
ListNode *LevelRun::removeShotAfter(ListNode *pPrev) {
  ListNode *&rLink = pPrev != nullptr ? pPrev->link : pProjectiles;
  const bool bAfterDropped = ShotOf(rLink)->bAfterDropped;
  DropProjectile(static_cast<Projectile *>(pPrev != nullptr ? UnlinkNext(pPrev) : UnlinkFirst(pProjectiles)));
  if (bAfterDropped) {
    if (rLink != nullptr) ShotOf(rLink)->bAfterDropped = true;
    else bTailAfterDropped = true;
  }
  return rLink;
}

// Removes the dead shot after pPrev (the first when null); the walk goes on
// with the shot after it, or with a dropped frozen shot that stood before
// that one (true).
bool LevelRun::removeDeadShotAfter(ListNode *pPrev) {
  const ListNode *pDead = pPrev != nullptr ? pPrev->link : pProjectiles;
  const bool bDroppedNext = pDead->link != nullptr && ShotOf(pDead->link)->bAfterDropped;
  removeShotAfter(pPrev);
  return bDroppedNext;
}

void LevelRun::updateProjectiles() {
  // The pass removes the dead shots at the front, then walks the list: each
  // shot moves, then drops the next one if it is dead and goes on with the
  // one after that, which stays for one more pass even if it is dead too.
  // A shot frozen below the view can never come back into it (see
  // Projectile::frozenBelow) and is dropped instead of being walked by every
  // hit test until the stage ends; it is remembered on the next shot
  // (bAfterDropped), so the walk removes the same dead shots as if it were
  // still there.
  const auto Dead = [](const ListNode *pNode) { return !ShotOf(pNode)->bAlive; };
  while (pProjectiles != nullptr && !ShotOf(pProjectiles)->bAfterDropped && Dead(pProjectiles))
    removeShotAfter(nullptr);
  ListNode *pPrev = nullptr;  // the last shot the walk has kept
  bool bAtDropped = pProjectiles != nullptr && ShotOf(pProjectiles)->bAfterDropped;
  for (;;) {
    ListNode *pNext = pPrev != nullptr ? pPrev->link : pProjectiles;
    if (pNext == nullptr) break;
    if (bAtDropped) {  // at a dropped frozen shot: it only looks at the next one
      bAtDropped = false;
      if (Dead(pNext)) bAtDropped = removeDeadShotAfter(pPrev);
      continue;
    }
    Projectile *pShot = ShotOf(pNext);
    if (bDropFrozenShots && pShot->bAlive && pShot->frozenBelow(iCamY)) {
      ListNode *pAfter = removeShotAfter(pPrev);
      if (pAfter != nullptr) ShotOf(pAfter)->bAfterDropped = true;
      else bTailAfterDropped = true;
      bAtDropped = true;  // and the walk goes on from the dropped shot
      continue;
    }
    pShot->updateProjectile();
    pPrev = pNext;
    ListNode *pFollowing = pNext->link;
    if (pFollowing == nullptr) break;
    if (ShotOf(pFollowing)->bAfterDropped) {
      bAtDropped = true;
    } else if (Dead(pFollowing)) {
      bAtDropped = removeDeadShotAfter(pPrev);
    }
  }
}

namespace {

bool IsHut(const Enemy &enemy) { return enemy.iKind == KindHut; }
bool IsWizard(const Enemy &enemy) {
  return enemy.iKind == KindWizard || enemy.iKind == KindWizardAimer ||
         enemy.iKind == KindWizardRing;
}

// Screen x of an enemy's middle.
int ScreenXOf(const Enemy &enemy, int iCamX) { return enemy.iMapX + 12 - iCamX; }

// What an enemy's pass was heard as, where it stood (screen x iX): the ice
// it threw (a ring is one sound), fire hitting it, a wizard's vanishing.
void SoundEnemyPass(const Enemy &enemy, int iX, const ListNode *pNewShots, int iHealthBefore,
                    int iTeleportsBefore) {
  if (pNewShots != nullptr)
    PlayEffect(pNewShots->link != nullptr ? Effect::IceRing : Effect::IceShot, iX);
  if (enemy.iHealth < iHealthBefore)
    PlayEffect(IsHut(enemy) ? Effect::HitHut : IsWizard(enemy) ? Effect::HitWizard : Effect::HitOrc,
               iX);
  if (enemy.iTeleportsLeft < iTeleportsBefore) PlayEffect(Effect::Teleport, iX);
}

}  // namespace

// Releases an enemy the pass has unlinked; a destroyed one pays its score
// and is heard falling.
static void DropEnemy(Enemy *pEnemy, int &iScore, int iCamX) {
  if (pEnemy->iHealth <= 0) {
    iScore += pEnemy->iScoreValue;
    PlayEffect(IsHut(*pEnemy) ? Effect::HutFalls : IsWizard(*pEnemy) ? Effect::WizardDies : Effect::OrcDies,
               ScreenXOf(*pEnemy, iCamX));
  }
  delete pEnemy;
}

ListNode *LevelRun::joinShots(ListNode *pShots, ListNode *pLastShot) {
  if (pShots == nullptr) return pLastShot;
  if (bTailAfterDropped) {  // they come after a dropped frozen shot
    ShotOf(pShots)->bAfterDropped = true;
    bTailAfterDropped = false;
  }
  if (pLastShot == nullptr)
    pProjectiles = pShots;
  else
    ListJoin(pLastShot, pShots);
  return ListLast(pShots);
}

void LevelRun::updateEnemies() {
  while (pEnemies != nullptr && !static_cast<Enemy *>(pEnemies->data)->bActive)
    DropEnemy(static_cast<Enemy *>(UnlinkFirst(pEnemies)), iScore, iCamX);
  const int iDragonX = static_cast<int>(pPlayer->fX);
  const int iDragonY = static_cast<int>(pPlayer->fY);
  // New shots go behind the last one, found once per pass, not once per enemy.
  ListNode *pLastShot = ListLast(pProjectiles);
  for (ListNode *pNode = pEnemies; pNode != nullptr; pNode = pNode->link) {
    Enemy *pEnemy = static_cast<Enemy *>(pNode->data);
    const int iHealthBefore = pEnemy->iHealth;
    const int iTeleportsBefore = pEnemy->iTeleportsLeft;
    const int iX = ScreenXOf(*pEnemy, iCamX);
    ListNode *pNewShots = pEnemy->updateEnemy(pProjectiles, iDragonX, iDragonY);
    SoundEnemyPass(*pEnemy, iX, pNewShots, iHealthBefore, iTeleportsBefore);
    pLastShot = joinShots(pNewShots, pLastShot);
    if (pNode->link != nullptr && !static_cast<Enemy *>(pNode->link->data)->bActive)
      DropEnemy(static_cast<Enemy *>(UnlinkNext(pNode)), iScore, iCamX);
  }
}
