// The world map: node table, links, cursor, growing paths, the start of a
// stage (fade, story, level) and the screen loop.
#include "screens/world_map.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/globals.h"
#include "app/list.h"
#include "app/pad.h"
#include "support/owned.h"
#include "app/present.h"
#include "app/story_font.h"
#include "app/transitions.h"
#include "audio/effects.h"
#include "audio/jukebox.h"
#include "entities/sprite.h"
#include "level/level_run.h"
#include "screens/stage_intro.h"
#include "support/blit32.h"
#include "support/colour.h"

namespace {

struct NodeEntry {
  const char *cName;
  int iX, iY;
  const char *cMapFile;
};

// The five stages, slot by slot.
const NodeEntry kNodeTable[WorldMap::kStages] = {
    {"Kneebow's Shore", 320, 420, "level1.fmp"},
    {"Trainning Grounds", 250, 380, "level2a.fmp"},
    {"K'llisc Village", 370, 350, "level2.fmp"},
    {"Bay of K'llisc", 180, 350, "level3.fmp"},
    {"Forgotten Forest", 220, 250, "level4.fmp"},
};

// The links, in the order they are made: each pair gets a path both ways.
const int kLinks[][2] = {{0, 1}, {0, 2}, {1, 3}, {3, 4}, {2, 4}};

StagePath *PathOf(const ListNode *pNode) { return static_cast<StagePath *>(pNode->data); }

}  // namespace

// ---------------------------------------------------------------- StagePath

StagePath::StagePath()
    : iFromX(0), iFromY(0), iToX(0), iToY(0), iTipX(0), iTipY(0), iLastStepTick(0),
      bArrived(false), bRevealed(false), iKind(0), pTo(nullptr), pFrom(nullptr) {}

void StagePath::update() {
  if (!bRevealed || TicksSince(iLastStepTick) <= 5) return;
  if (iTipX < iToX) iTipX += 2;
  if (iTipX > iToX) iTipX -= 2;
  iLastStepTick = GameTicks;
  if (iToX - 4 < iTipX && iTipX < iToX + 4) {
    bArrived = true;
    pTo->bOpen = 1;
  }
}

void StagePath::draw(BITMAP *pPathLayer) {
  if (!bRevealed || iKind != 1) return;
  if (iToX == iFromX) return;  // a vertical path has no columns to plot
  float fSlope = static_cast<float>(iToY - iFromY) / static_cast<float>(iToX - iFromX);
  int iIntercept = static_cast<int>(iFromY - iFromX * fSlope);
  if (iFromX < iTipX) {
    for (int x = iFromX; x <= iTipX - 1; ++x)
      putpixel(pPathLayer, x, static_cast<int>(x * fSlope + iIntercept), ColourWhite);
  } else {
    for (int x = iFromX; x >= iTipX + 1; --x)
      putpixel(pPathLayer, x, static_cast<int>(x * fSlope + iIntercept), ColourWhite);
  }
}

// ---------------------------------------------------------------- StageNode

StageNode::StageNode()
    : iX(0), iY(0), pSprite(nullptr), iFrame(0), iFrameStep(1), iLastFrameTick(0),
      bOpen(0), cName(), bCompleted(false), cMapFile(), pPaths(nullptr) {}

StageNode::~StageNode() {
  delete pSprite;
  for (ListNode *p = pPaths; p != nullptr; p = p->link) delete PathOf(p);
  ListFree(pPaths);
}

void StageNode::setup(const char *cNewName, int iNewX, int iNewY) {
  pSprite = new Sprite();
  pSprite->load("node.bmp", nullptr, 32, 32, 5);
  strncpy(cName, cNewName, sizeof cName - 1);
  cName[sizeof cName - 1] = '\0';
  iX = iNewX;
  iY = iNewY;
  pSprite->iX = iX;
  pSprite->iY = iY;
}

// A path from pFrom to pTo, appended to pFrom's list.
static void AddPath(int iKind, StageNode *pFrom, StageNode *pTo) {
  StagePath *pPath = new StagePath();
  pPath->iFromX = pFrom->iX + 16;
  pPath->iFromY = pFrom->iY + 16;
  pPath->iToX = pTo->iX + 16;
  pPath->iToY = pTo->iY + 16;
  pPath->iTipX = pPath->iFromX;
  pPath->iTipY = pPath->iFromY;
  pPath->iKind = iKind;
  pPath->pFrom = pFrom;
  pPath->pTo = pTo;
  if (ListPush(pFrom->pPaths, pPath) == nullptr) delete pPath;
}

void StageNode::link(int iKind, StageNode *pOther) {
  AddPath(iKind, this, pOther);
  AddPath(iKind, pOther, this);
}

void StageNode::complete() {
  bCompleted = true;
  for (ListNode *p = pPaths; p != nullptr; p = p->link) {
    StagePath *pPath = PathOf(p);
    if (pPath->iKind != 1) continue;
    pPath->bRevealed = true;
    for (ListNode *q = pPath->pTo->pPaths; q != nullptr; q = q->link)
      if (PathOf(q)->pTo == this) PathOf(q)->bRevealed = true;
  }
}

void StageNode::update() {
  if (TicksSince(iLastFrameTick) > 5) {
    iFrame += iFrameStep;
    if (iFrame >= 6) iFrameStep = -1;
    if (iFrame <= 0) iFrameStep = 1;
    if (bCompleted) iFrame = 7;
    pSprite->setFrame(iFrame, 0);
    iLastFrameTick = GameTicks;
  }
  for (ListNode *p = pPaths; p != nullptr; p = p->link) PathOf(p)->update();
}

void StageNode::draw(BITMAP *pNodeLayer, BITMAP *pPathLayer) {
  if (pPathLayer != nullptr)
    for (ListNode *p = pPaths; p != nullptr; p = p->link) PathOf(p)->draw(pPathLayer);
  if (pNodeLayer != nullptr) pSprite->draw(pNodeLayer);
}

// ---------------------------------------------------------------- WorldMap

WorldMap::WorldMap()
    : pNodes(), iCurrent(0), iCursorColour(0), iLastPulseTick(0),
      iPulse(200), iPulseStep(15) {}

WorldMap::~WorldMap() {
  for (StageNode *&pNode : pNodes) {
    delete pNode;
    pNode = nullptr;
  }
}

void WorldMap::load(const char *cBackground, RGB *pPalette) {
  pBackground.reset(LoadBitmapOrExit(cBackground, pPalette));
  pNameLayer.reset(CreateBitmapOrExit(640, 480));
  pPathLayer.reset(CreateBitmapOrExit(640, 480));
  pNodeLayer.reset(CreateBitmapOrExit(640, 480));
  for (int i = 0; i < kStages; ++i) {
    pNodes[i] = new StageNode();
    pNodes[i]->setup(kNodeTable[i].cName, kNodeTable[i].iX, kNodeTable[i].iY);
    strncpy(pNodes[i]->cMapFile, kNodeTable[i].cMapFile, sizeof pNodes[i]->cMapFile - 1);
  }
  for (const auto &link : kLinks) pNodes[link[0]]->link(1, pNodes[link[1]]);
  pNodes[0]->bOpen = 1;
  iCurrent = 0;
}

int WorldMap::slotOf(const StageNode *pNode) const {
  for (int i = 0; i < kSlots; ++i)
    if (pNodes[i] == pNode) return i;
  return -1;
}

void WorldMap::update() {
  for (StageNode *pNode : pNodes)
    if (pNode != nullptr && pNode->bOpen) pNode->update();
  if (TicksSince(iLastPulseTick) > 3) {
    iPulse += iPulseStep;
    if (iPulse >= 255) {
      iPulseStep = -15;
      iPulse = 255;
    }
    if (iPulse <= 0) {
      iPulseStep = 15;
      iPulse = 0;
    }
    iCursorColour = PackColour(255 - iPulse / 4, 255 - iPulse, 255 - iPulse);
    iLastPulseTick = GameTicks;
  }
}

// The layers are cleared and laid over only where the nodes are; outside
// that part they stay all mask colour, so the picture is the one of laying
// whole layers over. A layer whose content cannot have changed is kept as it
// is. The quick 32-bit forms of the library's fills and masked draws give the
// same pixels.
void WorldMap::draw(BITMAP *pTarget, bool bNodesOnly) {
  const bool bFirst = rLayerArea.iWidth <= 0;
  PixelRect rArea = rLayerArea;
  for (const StageNode *pNode : pNodes) {
    if (pNode == nullptr) continue;
    rArea = RectUnion(rArea, {pNode->iX - 5, pNode->iY - 5, 43, 43});
    rArea = RectUnion(rArea, TextBox(font, pNode->cName, pNode->iX - 50, pNode->iY + 42));
  }
  const bool bGrown = rArea.iX != rLayerArea.iX || rArea.iY != rLayerArea.iY ||
                      rArea.iWidth != rLayerArea.iWidth || rArea.iHeight != rLayerArea.iHeight;
  rLayerArea = rArea;
  lookNames.begin();
  lookPaths.begin();
  lookMarkers.begin();
  lookAtLayers(lookNames, lookPaths, lookMarkers);
  // Each changed() is asked, so that each look is kept.
  const bool bNamesChanged = lookNames.changed();
  const bool bPathsChanged = lookPaths.changed();
  const bool bMarkersChanged = lookMarkers.changed();
  BITMAP *pNames = bNamesChanged || bGrown ? pNameLayer.get() : nullptr;
  BITMAP *pPaths = bPathsChanged || bGrown ? pPathLayer.get() : nullptr;
  BITMAP *pMarkers = bMarkersChanged || bGrown ? pNodeLayer.get() : nullptr;
  for (BITMAP *pLayer : {pNames, pPaths, pMarkers}) {
    if (pLayer == nullptr) continue;
    if (bFirst)
      FillRect32(pLayer, 0, 0, pLayer->w - 1, pLayer->h - 1, ColourMagenta);
    else
      FillRect32(pLayer, rArea.iX, rArea.iY, rArea.iX + rArea.iWidth - 1,
                 rArea.iY + rArea.iHeight - 1, ColourMagenta);
  }
  if (bNodesOnly)
    DrawSpritePart32(pTarget, pBackground.get(), 0, 0, rArea);
  else
    DrawSprite32(pTarget, pBackground.get(), 0, 0);
  for (int i = 0; i < kSlots; ++i) {
    StageNode *pNode = pNodes[i];
    if (pNode == nullptr || !pNode->bOpen) continue;
    pNode->draw(pMarkers, pPaths);
    if (pNames != nullptr)
      textout_ex(pNames, font, pNode->cName, pNode->iX - 50, pNode->iY + 42, ColourWhite,
                 ColourMagenta);
    if (i == iCurrent)
      rect(pTarget, pNode->iX - 5, pNode->iY - 5, pNode->iX + 37, pNode->iY + 37,
           iCursorColour);
  }
  DrawSpritePart32(pTarget, pPathLayer.get(), 0, 0, rArea);
  DrawSpritePart32(pTarget, pNodeLayer.get(), 0, 0, rArea);
  DrawSpritePart32(pTarget, pNameLayer.get(), 0, 0, rArea);
}

void WorldMap::lookAtLayers(PictureLook &names, PictureLook &paths, PictureLook &markers) const {
  for (int i = 0; i < kSlots; ++i) {
    const StageNode *pNode = pNodes[i];
    if (pNode == nullptr || !pNode->bOpen) continue;
    const Sprite &sprite = *pNode->pSprite;
    names << i;
    paths << i;
    for (ListNode *p = pNode->pPaths; p != nullptr; p = p->link)
      paths << PathOf(p)->bRevealed << PathOf(p)->iTipX;
    markers << i << sprite.iColumn << sprite.iRow << sprite.bVisible << sprite.bTranslucent
            << sprite.iAlpha;
  }
}

bool WorldMap::pictureChanged() {
  look.begin();
  look << iCurrent << iCursorColour;
  lookAtLayers(look, look, look);
  return look.changed();
}

// Best open neighbour of the current node in one direction: furthest left of
// the node's left edge, or furthest right of its centre. Links whose both
// ends are completed cannot be crossed.
static StageNode *CursorTarget(const StageNode *pCurrent, bool bLeft) {
  StageNode *pTarget = nullptr;
  int iBest = pCurrent->iX;
  for (ListNode *p = pCurrent->pPaths; p != nullptr; p = p->link) {
    StagePath *pPath = PathOf(p);
    if (!pPath->pTo->bOpen) continue;
    if (pCurrent->bCompleted && pPath->pTo->bCompleted) continue;
    bool bBetter = bLeft ? pPath->iToX < iBest && pPath->iToX < pPath->iFromX
                         : pPath->iToX > iBest && pPath->iToX > pPath->iFromX;
    if (bBetter) {
      pTarget = pPath->pTo;
      iBest = pPath->iToX;
    }
  }
  return pTarget;
}

void WorldMap::moveCursor(bool bLeft, bool bRight) {
  StageNode *pTarget = nullptr;
  if (bLeft && TicksSince(LastMenuInputTick) > 5) {
    pTarget = CursorTarget(pNodes[iCurrent], true);
    LastMenuInputTick = GameTicks;
  }
  if (bRight && TicksSince(LastMenuInputTick) > 5) {
    pTarget = CursorTarget(pNodes[iCurrent], false);
    LastMenuInputTick = GameTicks;
  }
  if (pTarget != nullptr) {
    iCurrent = slotOf(pTarget);
    PlayEffect(Effect::MenuMove, pTarget->iX + 16);
  }
}

// The level object is made first and released on every way out.
unsigned char WorldMap::playCurrentStage() {
  const std::unique_ptr<LevelRun> level(new LevelRun());
  StageNode *pNode = pNodes[iCurrent];
  if (pNode->bCompleted) return 0;
  PlayEffect(Effect::MenuChoose, pNode->iX + 16);
  // Without a story font the story is told in the library's own font.
  OwnedDatafile script;
  FONT *pStoryFont = LoadStoryFont(script, IntroFontMessages);
  if (pStoryFont == nullptr) return 1;
  do {
    FadeOut(5);
    IdleUntilNextTick();
  } while (!GameJukebox.fadeMusic(5));

  const OwnedBitmap picture(LoadBitmapOrExit("stage_intro.bmp", nullptr));
  const OwnedBitmap textLayer(CreateBitmapOrExit(640, 480));
  ShowStory(picture.get(), textLayer.get(), pStoryFont, pNode->cMapFile);
  while (!FadeOut(5)) {
  }

  unsigned char iResult = level->run(pNode->cMapFile) ? 1 : 0;
  pNode->complete();
  return iResult;
}

bool WorldMapTurn(WorldMap &map) {
  GameJukebox.updateMusic(kWorldMapTrack);
  const unsigned iPad = PadActions();
  if ((iPad & PadBack) == 0)
    map.bBackArmed = true;
  else if (map.bBackArmed)
    return true;
  const bool bStickLeft = (iPad & PadLeft) != 0;
  const bool bStickRight = (iPad & PadRight) != 0;
  unsigned char iResult = 0;
  if (key[KEY_ENTER] || (iPad & PadConfirm) != 0) {
    iResult = map.playCurrentStage();
    map.look.forget();  // the story and the stage drew over the BackBuffer
    map.bBackArmed = false;
    do {
      IdleUntilNextTick();
    } while (key[KEY_ENTER] || (PadActions() & PadConfirm) != 0);
  }
  map.moveCursor(key[KEY_LEFT] || bStickLeft, key[KEY_RIGHT] || bStickRight);
  map.update();
  const bool bNodesOnly = map.look.remembers();
  const bool bChanged = map.pictureChanged();
  if (bChanged) map.draw(BackBuffer, bNodesOnly);
  if (FadeIn(5, !bChanged))
    PresentFrame(BackBuffer, !bChanged, bNodesOnly ? &map.rLayerArea : nullptr);
  return iResult == 1;
}

void RunWorldMap() {
  // The node pictures read for the map are not kept for the title, however
  // the map is left (after the map itself is gone).
  struct ImageCacheRelease {
    ~ImageCacheRelease() { SpriteImageCacheClear(); }
  } releaseImages;
  const std::unique_ptr<WorldMap> pMap(new WorldMap());
  pMap->load("world.bmp", nullptr);
  // The previous screen and its music sink out together; the music decides
  // when this is over.
  do {
    FadeOut(5);
    IdleUntilNextTick();
  } while (!GameJukebox.fadeMusic(5));
  while (!GameJukebox.fadeMusic(1)) IdleUntilNextTick();
  bool bLeave = false;
  while (!key[KEY_ESC] && !bLeave) bLeave = WorldMapTurn(*pMap);
  if (!bLeave) PlayEffect(Effect::MenuBack);
}
