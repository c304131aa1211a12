// One played stage: map load, population, the frame loop, the HUD and the
// end of the stage. The entity code reads and writes these fields.
#pragma once
#include <allegro.h>

#include "support/owned.h"

struct ListNode;
class Player;

// Map y of the view's top row when a stage starts; the view climbs to 0.
constexpr int StageStartCamY = 23520;
// Placement attempts per enemy before population gives up on it (a map
// without free ground would otherwise never finish loading).
constexpr int MaxPlacementAttempts = 10000;

class LevelRun {
 public:
  LevelRun();
  ~LevelRun();
  LevelRun(const LevelRun &) = delete;
  LevelRun &operator=(const LevelRun &) = delete;

  // Plays the stage on the given map; true when the game is lost. A map that
  // cannot be loaded ends the program after its message.
  bool run(const char *cMapFile);

  // The pieces of run, in the order run calls them. Tests drive them one by
  // one with their own clock and input.

  // Places the stage's enemies and clouds by the recipe of the map file name
  // (no recipe: an empty sky). The map must be loaded.
  void populate(const char *cMapFile, int iMaxAttempts = MaxPlacementAttempts);
  // Creates the dragon and puts the view at the bottom of the map.
  void startPlay();
  // True while the play loop goes on: O not held, not lost, view not at the top.
  bool playing(bool bLost) const;
  // One frame of the play loop. pHudLayer is the 640 x 480 text layer of the
  // HUD; bStageOne draws the credits. Sets bLost when the dragon is destroyed.
  void playFrame(BITMAP *pHudLayer, bool bStageOne, bool &bLost);
  // After the loop: the fade-out, the game-over screen when lost, and the
  // release of the stage. Returns bLost.
  bool endStage(bool bLost);
  // Fades screen and music out together, 1-tick steps when lost, else 5.
  void fadeOutStage(bool bLost);
  // Releases the credit layer, the map, every entity of the stage and the
  // pictures read for it.
  void releaseStage();
  // Screen x of the dragon's middle (where its effects are heard).
  int dragonScreenX() const;

  // Places one enemy on free ground and lists it; false if the place is solid
  // (level/population, with the recipes).
  bool spawnEnemy(int iKind, const char *cImage, int iX, int iY, int iWalkDelay,
                  int iLegLength, int iWalkStep, int iFireDelay, int iHitPoints,
                  int iScoreValue);
  void updateProjectiles();   // the projectile pass
  // Unlinks and frees the shot after pPrev (the first when null); returns
  // the node now in its place.
  ListNode *removeShotAfter(ListNode *pPrev);
  bool removeDeadShotAfter(ListNode *pPrev);
  void updateEnemies();       // the enemy pass
  // Joins a chain of new shots (may be null) behind pLastShot, the list's
  // last node (null: the list is empty); returns the new last node.
  ListNode *joinShots(ListNode *pShots, ListNode *pLastShot);
  void scrollAndDrawMap();    // scroll step (every 2 ticks) and map painting
  void drawEnemies(BITMAP *pDest);

  // The dragon's controls and the shots' drawing (level/dragon_steps):
  // controlPlayer once per frame, first; firePlayerShot from it.
  void controlPlayer();
  void firePlayerShot();
  void drawProjectiles(BITMAP *pDest);

  // Sky layer (level/sky).
  void updateClouds();
  void drawClouds(BITMAP *pDest);

  // Health bar and score into the BackBuffer, the letters through pHudLayer.
  // True when the dragon's health is gone (the stage is lost).
  // Heard: the warning when the health falls below a quarter.
  bool drawHud(BITMAP *pHudLayer);
  // Credit overlay over stage one, one step per frame.
  void drawCredits(BITMAP *pDest);
  // The game-over picture until ESC or a joystick button; true when
  // "script.dat" could not be opened (nothing was shown then).
  bool showGameOver();

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
  OwnedBitmap pCreditOverlay;  // the credits' text layer, while a stage runs
  ListNode *pProjectiles;  // Projectile items, both sides
  ListNode *pEnemies;      // Enemy items
  ListNode *pClouds;       // Cloud items
  Player *pPlayer;
  // Set once a scroll step has found the view at the top: from then on
  // "END OF LEVEL" is written over the painted map.
  bool bEndBanner;
  // The projectile pass drops shots frozen below the view along with the
  // dead ones. Off only in the test that shows the frames stay the same.
  bool bDropFrozenShots;
  // A dropped frozen shot was the last in the list: shots joined next come
  // after it.
  bool bTailAfterDropped;
  // The low-health warning has sounded since the health last stood at a
  // quarter or more.
  bool bHealthLowHeard;
};
