// The sky layer: translucent clouds scattered over a stage's map. They drift
// in straight lines, never touch anything, and are drawn over the ground and
// shots but under the dragon.
#pragma once
#include <allegro.h>

#include "support/owned.h"

class Cloud {
 public:
  Cloud();  // every field zero or null

  // Picks the picture, places, sizes and tints the cloud. rand() is drawn in
  // this order: picture, y (added draw, then subtracted), x, alpha (added,
  // subtracted), width, height. The map must be loaded (x spans its width).
  // The picture is stretched to the cloud's size here, once; only the
  // stretched copy is kept.
  void initCloud(int iBaseY, int iSpread, int iAlphaBase, int iAlphaSpread,
                 int iDriftX, int iDriftY, int iDelay);
  // One move of a third of the drift along each axis, if more than
  // iMoveDelay ticks have passed since the last one.
  void driftCloud();
  // Whether the cloud counts as in view of a camera (map pixels): touching
  // the view's edge counts.
  bool inView(int iCamX, int iCamY) const;
  // Draws the stretched picture translucently if the cloud is in view.
  void drawCloud(BITMAP *pDest, int iCamX, int iCamY);

  float fX;           // map x of the top-left corner
  float fY;           // map y of the top-left corner
  float fVelX;        // a move adds fVelX / 3 to fX
  float fVelY;
  int iWidth;         // drawn size, 64..313
  int iHeight;
  int iLastMoveTick;
  int iMoveDelay;
  int iUnused;        // carried along, read by nothing
  int iAlpha;         // translucency of the drawing
  int iPicture;       // which of the two cloud pictures it shows
  OwnedBitmap pScratch;  // its own copy, stretched to iWidth x iHeight
};

// The two cloud pictures, read once per stage and copied for each cloud.
// ReleaseCloudPictures drops them (run does so when the stage ends).
BITMAP *CloudPicture(int iWhich);
void ReleaseCloudPictures();
