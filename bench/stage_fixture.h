// A stage loaded and populated exactly as the game does it, held still for
// measuring: fixed seed, full fade level, the view parked where asked.
#pragma once
#include <allegro.h>

#include <cstdlib>

#include "app/globals.h"
#include "app/transitions.h"
#include "entities/player.h"
#include "level/level_run.h"
#include "tilemap/tilemap.h"

struct BenchStage {
  LevelRun *pRun = nullptr;
  BITMAP *pHudLayer = nullptr;

  // Loads and populates the map; false if the map does not load.
  bool open(const char *cMap, unsigned uSeed) {
    if (TileMapOpen(cMap) != 0) return false;
    srand(uSeed);
    pRun = new LevelRun;
    pRun->populate(cMap);
    pRun->startPlay();
    pHudLayer = CreateBitmapOrExit(640, 480);
    pRun->pCreditOverlay.reset(CreateBitmapOrExit(640, 480));
    clear_to_color(pRun->pCreditOverlay.get(), ColourMagenta);
    return true;
  }

  // Puts the view (and the dragon in its resting band) at map y iCamY.
  void park(int iCamY) {
    pRun->iCamY = iCamY;
    pRun->pPlayer->fY = static_cast<float>(iCamY + 350);
  }

  void close() {
    if (pRun == nullptr) return;
    destroy_bitmap(pHudLayer);
    pRun->releaseStage();
    delete pRun;
    pRun = nullptr;
  }
};
