// The set pieces that mark each stage along its length. Each paints its own
// ground, places its pieces and records itself with StageLayout::mark, so the
// objects scattered afterwards keep out of it. Called by the stage layouts
// after their ground is painted and before their objects are scattered.
#pragma once
#include <functional>

#include "maps/layout_tools.h"

namespace mapgen {

// Where a winding line runs: a road's x at a corner row, or a brook's row at
// a corner column.
using RoadAt = std::function<float(float)>;

// Kneebow's Shore: a wreck off the beach, the harbour at coastRow (the
// coast's row at column 20), an orc camp, the stone bridge where the road
// crosses the river at riverRow, a ruined fort and the climb to the mountain.
void ShoreLandmarks(StageLayout &L, Rng &rng, int coastRow, int riverRow, const RoadAt &road);
// The training grounds: archery butts, a drill square, a palisaded barracks,
// a weapons yard, an arena ring and the war camp's stockade at the end.
void TrainingLandmarks(StageLayout &L, Rng &rng, const RoadAt &road);
// K'llisc Village: the gate and wall, the market square, the burnt quarter,
// the well on the green, the wizard's tower, the chief's orchard, and the
// chief's hall at the end.
void VillageLandmarks(StageLayout &L, Rng &rng, const RoadAt &road);
// The Bay of K'llisc: a lighthouse on a reef, a sandbar crossing, sunken
// ruins, a sea arch, a fishing village on stilts and the harbour at the end.
void BayLandmarks(StageLayout &L, Rng &rng);
// The Forgotten Forest: a stone circle, a ruined shrine, a giant tree fallen
// over a brook, the wizards' sigil, and the old black woods of the dark heart.
void ForestLandmarks(StageLayout &L, Rng &rng, const RoadAt &brook, uint32_t seed);

}  // namespace mapgen
