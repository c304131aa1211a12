// The player's dragon: its picture, map position (top-left corner, map
// pixels), hit points, bounded moves, drawing with the view's horizontal rule,
// and being hit by enemy shots. The stage's controlPlayer and firePlayerShot
// (entities/player.cpp) steer it.
#pragma once
#include <allegro.h>

struct ListNode;
class Sprite;

class Player {
 public:
  Player();  // 50 hit points, everything else zero
  // Deletes the Sprite (and with it any images not yet released).
  ~Player();
  Player(const Player &) = delete;
  Player &operator=(const Player &) = delete;

  // Loads "Dragon.bmp" (80 x 110 frames, delay 5) and puts the dragon at its
  // starting place, map (280, 23720).
  void createPlayer();

  // Moves test their bound first and then step, so one move may overshoot by
  // up to a step; the next move in that direction snaps back.
  void moveUp(int iStep, int iCamY);    // never above the top of the view
  void moveDown(int iStep, int iCamY);  // middle never below the view's bottom
  void moveLeft(int iStep);
  void moveRight(int iStep);

  // Sets the Sprite's screen position (view at the map's ends, or following
  // the dragon at screen x 320) and draws it.
  void drawPlayer(BITMAP *pDest, int iCamY);

  // Every enemy shot whose top-left point lies strictly inside the dragon's
  // frame costs one hit point, flashes the dragon and dies.
  void hitByShots(ListNode *pShots);

  Sprite *pSprite;
  int iHealth;
  float fY;
  float fX;
};
