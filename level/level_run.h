// One played stage: map load, population, the frame loop, the HUD and the
// end of the stage. The entity code reads and writes these fields.
#pragma once
#include <allegro.h>

struct ListNode;
class Player;

class LevelRun {
 public:
  LevelRun();
  ~LevelRun();

  // Plays the stage on the given map; true when the game is lost.
  bool run(const char *cMapFile);

  // Places one enemy on free ground and lists it; false if the place is solid.
  bool spawnEnemy(int iKind, const char *cImage, int iX, int iY, int iWalkDelay,
                  int iLegLength, int iWalkStep, int iFireDelay, int iHitPoints,
                  int iScoreValue);
  void updateProjectiles();   // the projectile pass
  void updateEnemies();       // the enemy pass
  void scrollAndDrawMap();    // scroll step (every 2 ticks) and map painting
  void drawEnemies(BITMAP *pDest);

  // The dragon's controls (entities/), once per frame, first.
  void controlPlayer();
  void firePlayerShot();
  void drawProjectiles(BITMAP *pDest);

  // Sky layer (level/sky).
  void updateClouds();
  void drawClouds(BITMAP *pDest);

  // Credit overlay over stage one, one step per frame.
  void drawCredits(BITMAP *pDest);

  int iScore;
  int iCamY;            // map y of the top screen row
  int iCamX;            // map x of the left screen column
  int iLastScrollTick;
  int iSpeed;           // map pixels per scroll step, 3..iMaxSpeed
  int iLastControlTick;
  int iLastSpeedTick;
  int iLastDriftTick;
  int iMaxSpeed;
  int iLastShotTick;
  int iCreditIndex;
  char cCreditLines[15][60];
  bool bCreditFadeIn;
  int iCreditTick;
  int iCreditAlpha;
  int iCreditX;
  int iCreditY;
  BITMAP *pCreditOverlay;
  ListNode *pProjectiles;  // Projectile items, both sides
  ListNode *pEnemies;      // Enemy items
  ListNode *pClouds;       // Cloud items
  Player *pPlayer;
};
