// The world map: five stage nodes joined by paths over a painted map. The
// player moves a pulsing cursor frame between open nodes and starts the stage
// under it; a played stage is completed and its paths grow towards the
// neighbours, which open when a path reaches them. All progress lives for one
// visit (RunWorldMap in screens.h builds the map anew each time).
// Coordinates are screen pixels of the 640 x 480 screen; times are GameTicks.
#pragma once
#include <allegro.h>

#include "app/present.h"
#include "support/blit32.h"
#include "support/owned.h"

class Sprite;
class StageNode;
struct ListNode;

// One direction of a link between two nodes: a line that grows from the
// centre of its start node towards the centre of its end node.
class StagePath {
 public:
  StagePath();
  // Moves the tip 2 pixels towards the end every 6 ticks at most while the
  // path is revealed; the end node opens once the tip is within 3 pixels.
  void update();
  // Plots the line from the start centre to the tip, one pixel per column.
  void draw(BITMAP *pPathLayer);

  int iFromX, iFromY;  // centre of the start node
  int iToX, iToY;      // centre of the end node
  int iTipX;           // x reached so far by the growing line
  int iTipY;
  int iLastStepTick;
  bool bArrived;
  bool bRevealed;
  int iKind;  // 1 for every path the game makes; only kind 1 is drawn
  StageNode *pTo;
  StageNode *pFrom;
};

class StageNode {
 public:
  StageNode();
  // Releases the sprite and every path leaving this node.
  ~StageNode();
  // Loads the node sprite ("node.bmp", 32 x 32 frames, delay 5), copies the
  // name and places the node's top-left corner at (iNewX, iNewY).
  void setup(const char *cNewName, int iNewX, int iNewY);
  // Makes the paths this -> other and other -> this, appended to the end of
  // their start node's list.
  void link(int iKind, StageNode *pOther);
  // Marks the stage played and reveals its paths and the return paths of its
  // neighbours.
  void complete();
  // Swings the animation through columns 0..6 (column 7 once completed) and
  // steps every path of the list.
  void update();
  // Paths into the path layer, then the sprite into the node layer; a layer
  // given as null is left alone.
  void draw(BITMAP *pNodeLayer, BITMAP *pPathLayer);

  int iX, iY;  // top-left corner of the 32 x 32 sprite
  Sprite *pSprite;
  int iFrame;
  int iFrameStep;
  int iLastFrameTick;
  int bOpen;
  char cName[30];
  bool bCompleted;
  char cMapFile[13];
  ListNode *pPaths;  // StagePath items, in the order they were linked
};

class WorldMap {
 public:
  static const int kSlots = 30;
  static const int kStages = 5;

  WorldMap();
  // Releases the background, the layers and every node.
  ~WorldMap();
  // Loads the background, makes the three layers, builds the node table and
  // its links, opens node 0 and puts the cursor on it.
  void load(const char *cBackground, RGB *pPalette);
  // Animation step of the open nodes and of the cursor pulse; once a frame.
  void update();
  // Background, cursor frame, paths, node sprites and names into pTarget.
  // With bNodesOnly, pTarget holds the last picture drawn, and only the part
  // where the nodes are is drawn again (the rest is the same background).
  void draw(BITMAP *pTarget, bool bNodesOnly = false);
  // Whether the picture draw makes may differ from the last one drawn: the
  // cursor's node or colour, a node opened, a node's frame, a path revealed
  // or grown (the background, the names and the places never change).
  bool pictureChanged();
  // What each layer is drawn from, onto the three looks (one look may be
  // given for all): the open nodes for the names, with their path tips for
  // the paths and their frames for the markers.
  void lookAtLayers(PictureLook &names, PictureLook &paths, PictureLook &markers) const;
  // Story screen and level of the node under the cursor; marks it completed.
  // 0: already completed (nothing shown); 1: the map must close (the story
  // script is missing or the stage was lost); else the level's result.
  unsigned char playCurrentStage();
  // The cursor moves of one frame: left first, then right, each gated on more
  // than 5 ticks since LastMenuInputTick (a left test resets the gate even
  // when it finds no target).
  void moveCursor(bool bLeft, bool bRight);
  // Index of pNode in pNodes, or -1.
  int slotOf(const StageNode *pNode) const;

  StageNode *pNodes[kSlots];
  int iCurrent;
  OwnedBitmap pBackground;
  OwnedBitmap pNameLayer;
  OwnedBitmap pPathLayer;
  OwnedBitmap pNodeLayer;
  int iCursorColour;
  int iLastPulseTick;
  int iPulse;
  int iPulseStep;
  // The part of the three layers that may hold anything but the mask colour:
  // the nodes with their names and cursor frames (the paths run between
  // node centres). Before the first draw, none (the layers are cleared).
  PixelRect rLayerArea = {0, 0, 0, 0};
  // What each layer was last drawn from: a layer is drawn again only when
  // that changes (the names with the open nodes, the paths with their tips,
  // the markers with their frames).
  PictureLook lookNames, lookPaths, lookMarkers;
  // A pad's back button leaves the map only once it has been seen up on the
  // map (it also fires, so it may still be held from a stage).
  bool bBackArmed = false;
  PictureLook look;  // what the last drawn picture was drawn from
};

// One turn of the world map's loop (music, input, a stage start, the cursor,
// animation and the frame). True when the map must close: a stage lost, or
// a pad's back button pressed on the map, which leaves as ESC does.
bool WorldMapTurn(WorldMap &map);
