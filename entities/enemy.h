// Orcs, orc huts and wizards: ground enemies at integer map positions
// (top-left corner, map pixels). Set-up places them only on free ground;
// walkers never step onto solid ground, wizards jump without looking. The
// update, teleporting, firing and being hit run once per stage pass.
#pragma once
#include <allegro.h>

struct ListNode;
class Sprite;

// Behaviour kinds. Any other value stands still, does not shoot, animates.
enum EnemyKind {
  KindHut = 1,
  KindAimer = 2,
  KindRing = 3,
  KindWalker = 4,
  KindWalkerAimer = 5,
  KindWizard = 13,
  KindWizardAimer = 14,
  KindWizardRing = 15
};

// Walking directions (iDirection).
enum WalkDirection { WalkLeft = 1, WalkRight = 2, WalkDown = 3, WalkUp = 4 };

class Enemy {
 public:
  // Defaults; iTeleportsLeft draws 5 + rand() % 2 - rand() % 2 (4 to 6).
  Enemy();
  // Deletes the Sprite (and with it any images not yet released).
  ~Enemy();
  Enemy(const Enemy &) = delete;
  Enemy &operator=(const Enemy &) = delete;

  // Loads the picture ("hut.bmp" in 64 x 64 frames, anything else 24 x 32),
  // stores the spawn values and picks the first leg. False, with the picture
  // released and bActive false, when the top-left point is solid.
  bool setupEnemy(int iNewKind, const char *cImage, int iX, int iY, int iNewWalkDelay,
                  int iNewLegLength, int iNewWalkStep, int iNewFireDelay, int iHitPoints,
                  int iNewScoreValue);

  void chooseDirection();        // random direction, leg of iLegLength +-4 steps
  void setDirection(int iDir);   // direction and the matching row of the picture
  void walk();                   // one step when the walk delay has passed

  // Once per stage pass: behaviour by kind, animation, hit test. Returns null
  // or the first node of a chain of new shots for the projectile list.
  ListNode *updateEnemy(ListNode *pShots, int iDragonX, int iDragonY);
  void teleport(int iDragonX, int iDragonY);
  ListNode *fireAimed(int iDragonX, int iDragonY);
  ListNode *fireRing();
  void hitByPlayerShots(ListNode *pShots);

  // Screen position = map position minus the camera, then the Sprite's draw.
  void drawEnemy(BITMAP *pDest, int iCamX, int iCamY);

  int iHealth;
  int iScoreValue;
  int iMapX;
  int iMapY;
  int iStepsLeft;
  int iLegLength;
  Sprite *pSprite;
  int iLastStepTick;
  int iWalkDelay;
  int iLastShotTick;
  int iFireDelay;
  int iWalkStep;
  bool bActive;
  bool bDying;
  int iKind;
  int iDirection;
  int iTeleportsLeft;
  int iLastTeleportTick;
};
