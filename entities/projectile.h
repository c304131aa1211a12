// One shot in flight, the dragon's fire or an enemy's ice. Every shot of a
// stage lives in the stage's projectile list; shots test no hits themselves
// (the dragon and each enemy test the list). Positions are map pixels of the
// shot's top-left corner; delays are GameTicks.
#pragma once
#include <allegro.h>

class Sprite;

// Shot kinds: the first argument of launch.
enum ProjectileKind { KindFireShot = 1, KindIceShot = 2 };

class Projectile {
 public:
  Projectile();  // everything zero, no Sprite
  // Deletes the Sprite (and with it any images not yet released).
  ~Projectile();
  Projectile(const Projectile &) = delete;
  Projectile &operator=(const Projectile &) = delete;

  // Creates the 16 x 16 picture ("fire.bmp" for kind 1, "ice.bmp" otherwise),
  // places the shot, clamps each direction component to -1..1 and draws its
  // speed 6..14 (two rand() calls, the added one first).
  void launch(int iKind, int iMapX, int iMapY, int iDelay, float fDirectionX, float fDirectionY);
  // The dragon's shot: a launch with an integer direction and a set speed.
  void launchPlayerShot(int iKind, int iMapX, int iMapY, int iDelay, int iDirectionX,
                        int iDirectionY, int iShotSpeed);
  // Once per pass: ages, moves and animates the shot unless its last screen
  // position lies more than 100 pixels outside the view.
  void updateProjectile();
  // Whether the shot is frozen more than 100 pixels below the view whose top
  // row is map y iCamY, both by its last screen position and by its map
  // position, with ViewSinkMargin to spare. The view climbs, except at the
  // top of the map, where it is set back to row 5 before it climbs by the
  // speed (3 at the least): a change of speed from 4 to 3 moves it down a
  // pixel (row 1 to 2). So such a shot is never seen, moved or hit again.
  bool frozenBelow(int iCamY) const;
  // More than the largest step down the view can take (1 pixel).
  static constexpr int ViewSinkMargin = 5;
  // Converts the map position to the screen and draws the picture.
  void drawProjectile(BITMAP *pDest, int iCamX, int iCamY);

  Sprite *pSprite;
  bool bPlayerShot;
  bool bAlive;
  int iLastMoveTick;
  int iMoveDelay;
  float fX;
  float fY;
  float fDirX;
  float fDirY;
  int iSpeed;
  int iBornTick;
  // A shot frozen below the view stood right before this one in the list
  // and was dropped: the projectile pass walks as if it were still there.
  bool bAfterDropped;
};
