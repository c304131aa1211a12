// Who stands where: the fixed enemy and cloud recipe of each stage map, and
// the listing of one enemy. With a fixed seed a stage's population depends on
// the map alone, so every rand() below is drawn in a fixed order.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/list.h"
#include "entities/enemy.h"
#include "level/level_run.h"
#include "level/sky.h"
#include "tilemap/tilemap.h"

namespace {

// How a group picks its places.
enum Placement {
  PlaceAnywhere,   // y counted up from the bottom of the flight
  PlaceUpperHalf,  // y in the upper half of the map, drawn first
};

// One group of identical enemies. A hit-point value of 0 means a hut's
// random 5..14, drawn before each placement attempt.
struct EnemyGroup {
  int iCount;
  EnemyKind eKind;
  const char *cImage;
  int iWalkDelay;
  int iLegLength;
  int iWalkStep;
  int iFireDelay;
  int iHitPoints;
  int iScoreValue;
  Placement ePlacement;
};

constexpr int RandomHutHealth = 0;

struct Recipe {
  const char *cMapFile;
  const EnemyGroup *pGroups;
  int iGroupCount;
  int iCloudCount;
  int iCloudBaseY;
  int iCloudSpread;
};

const EnemyGroup StageOne[] = {
    {25, KindWalker, "orc2.bmp", 5, 10, 6, 150, 1, 5, PlaceAnywhere},
    {25, KindWalker, "orc3.bmp", 5, 10, 6, 150, 1, 5, PlaceAnywhere},
    {10, KindWalkerAimer, "orc3.bmp", 5, 10, 6, 20, 5, 10, PlaceAnywhere},
    {20, KindHut, "hut.bmp", 5, 10, 6, 150, RandomHutHealth, 30, PlaceAnywhere},
};

const EnemyGroup StageTwoA[] = {
    {50, KindAimer, "orc4.bmp", 5, 10, 6, 5, 10, 10, PlaceAnywhere},
    {10, KindWalker, "orc2.bmp", 1, 10, 6, 150, 1, 10, PlaceAnywhere},
    {50, KindWalker, "orc2.bmp", 5, 10, 6, 150, 1, 5, PlaceAnywhere},
    {25, KindWalker, "orc3.bmp", 5, 10, 6, 150, 1, 5, PlaceAnywhere},
    {30, KindWalkerAimer, "orc3.bmp", 5, 10, 6, 20, 5, 10, PlaceAnywhere},
    {20, KindHut, "hut.bmp", 5, 10, 6, 150, RandomHutHealth, 30, PlaceAnywhere},
};

const EnemyGroup StageTwo[] = {
    {50, KindAimer, "orc4.bmp", 5, 10, 6, 5, 10, 10, PlaceAnywhere},
    {10, KindWalker, "orc2.bmp", 1, 10, 6, 150, 1, 10, PlaceAnywhere},
    {10, KindWizardAimer, "orc5.bmp", 1, 10, 6, 150, 1, 10, PlaceAnywhere},
    {50, KindWalker, "orc2.bmp", 5, 10, 6, 150, 1, 5, PlaceAnywhere},
    {25, KindWalker, "orc3.bmp", 5, 10, 6, 150, 1, 5, PlaceAnywhere},
    {30, KindWalkerAimer, "orc3.bmp", 5, 10, 6, 20, 5, 10, PlaceAnywhere},
    {300, KindHut, "hut.bmp", 5, 10, 6, 150, RandomHutHealth, 30, PlaceAnywhere},
};

const EnemyGroup StageThree[] = {
    {100, KindAimer, "orc4.bmp", 5, 10, 6, 5, 10, 10, PlaceAnywhere},
    {10, KindWalker, "orc2.bmp", 1, 10, 6, 150, 1, 10, PlaceAnywhere},
    {20, KindRing, "orc5.bmp", 1, 10, 6, 150, 1, 10, PlaceAnywhere},
    {50, KindWizard, "orc5.bmp", 1, 10, 6, 150, 1, 10, PlaceAnywhere},
    {10, KindWalker, "orc3.bmp", 5, 10, 6, 150, 1, 5, PlaceAnywhere},
    {10, KindWalkerAimer, "orc3.bmp", 5, 10, 6, 20, 5, 10, PlaceAnywhere},
    {5, KindHut, "hut.bmp", 5, 10, 6, 150, RandomHutHealth, 30, PlaceAnywhere},
};

const EnemyGroup StageFour[] = {
    {50, KindWalkerAimer, "orc4.bmp", 5, 10, 6, 5, 10, 10, PlaceUpperHalf},
    {100, KindWizardAimer, "orc5.bmp", 1, 10, 6, 20, 1, 20, PlaceAnywhere},
    {50, KindWizardRing, "orc5.bmp", 1, 10, 6, 300, 1, 20, PlaceAnywhere},
    {100, KindHut, "hut.bmp", 5, 10, 6, 150, RandomHutHealth, 30, PlaceAnywhere},
};

template <size_t N>
constexpr int CountOf(const EnemyGroup (&)[N]) { return static_cast<int>(N); }

const Recipe Recipes[] = {
    {"level1.fmp", StageOne, CountOf(StageOne), 100, -720, 23760},
    {"level2a.fmp", StageTwoA, CountOf(StageTwoA), 200, -720, 23760},
    {"level2.fmp", StageTwo, CountOf(StageTwo), 50, -720, 23760},
    {"level3.fmp", StageThree, CountOf(StageThree), 300, -600, 23880},
    {"level4.fmp", StageFour, CountOf(StageFour), 300, -600, 23880},
};

// A drift of -1, 0 or 1 from two draws (the added one first); 0 becomes 1.
int CloudDrift() {
  const int iAdded = rand() % 2;
  const int iTaken = rand() % 2;
  const int iDrift = iAdded - iTaken;
  return iDrift == 0 ? 1 : iDrift;
}

}  // namespace

bool LevelRun::spawnEnemy(int iKind, const char *cImage, int iX, int iY, int iWalkDelay,
                          int iLegLength, int iWalkStep, int iFireDelay, int iHitPoints,
                          int iScoreValue) {
  // Owned here until listed: a picture that cannot be read leaves by the
  // game's way out, and a list that cannot grow drops the enemy.
  std::unique_ptr<Enemy> pEnemy(new Enemy);
  if (!pEnemy->setupEnemy(iKind, cImage, iX, iY, iWalkDelay, iLegLength, iWalkStep,
                          iFireDelay, iHitPoints, iScoreValue))
    return false;
  if (ListPush(pEnemies, pEnemy.get()) == nullptr) return false;
  pEnemy.release();
  return true;
}

// Places one enemy of a group: attempts at random places until one is free
// ground. A map without free ground in range gives up after iMaxAttempts and
// leaves the enemy out.
static void PlaceEnemy(LevelRun &rRun, const EnemyGroup &rGroup, int iMaxAttempts) {
  const int iMapWidth = TileMapPixelWidth();
  const int iMapHeight = TileMapPixelHeight();
  for (int iAttempt = 0; iAttempt < iMaxAttempts; ++iAttempt) {
    int iHitPoints = rGroup.iHitPoints;
    if (iHitPoints == RandomHutHealth) iHitPoints = rand() % 10 + 5;
    int iY;
    if (rGroup.ePlacement == PlaceUpperHalf)
      iY = rand() % (iMapHeight / 2);
    else
      iY = StageStartCamY - rand() % iMapHeight;
    const int iX = rand() % iMapWidth;
    if (rRun.spawnEnemy(rGroup.eKind, rGroup.cImage, iX, iY, rGroup.iWalkDelay,
                        rGroup.iLegLength, rGroup.iWalkStep, rGroup.iFireDelay,
                        iHitPoints, rGroup.iScoreValue))
      return;
  }
}

static void AddClouds(LevelRun &rRun, const Recipe &rRecipe) {
  for (int i = 0; i < rRecipe.iCloudCount; ++i) {
    std::unique_ptr<Cloud> pCloud(new Cloud);
    const int iDriftX = CloudDrift();
    const int iDriftY = CloudDrift();
    pCloud->initCloud(rRecipe.iCloudBaseY, rRecipe.iCloudSpread, 80, 40, iDriftX, iDriftY, 1);
    if (ListPush(rRun.pClouds, pCloud.get()) != nullptr) pCloud.release();
  }
}

void LevelRun::populate(const char *cMapFile, int iMaxAttempts) {
  // Places are drawn modulo the map's size (and half its height): a map too
  // small for that has no room for anything.
  if (TileMapPixelWidth() <= 0 || TileMapPixelHeight() <= 1) return;
  for (const Recipe &rRecipe : Recipes) {
    if (strcmp(cMapFile, rRecipe.cMapFile) != 0) continue;
    for (int g = 0; g < rRecipe.iGroupCount; ++g)
      for (int i = 0; i < rRecipe.pGroups[g].iCount; ++i)
        PlaceEnemy(*this, rRecipe.pGroups[g], iMaxAttempts);
    AddClouds(*this, rRecipe);
  }
}
