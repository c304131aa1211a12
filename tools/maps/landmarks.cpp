// The stages' set pieces, from the start of each stage (the bottom of the
// map) to its end.
#include "maps/landmarks.h"

#include <algorithm>
#include <cmath>

namespace mapgen {
namespace {

// Places a piece where no other object stands, whatever the ground.
bool Put(StageLayout &L, ObjectType type, int variant, int col, int row, int w = 1, int h = 1) {
  if (!L.fits(col, row, w, h, 0xFFFFFFFFu)) return false;
  L.place({type, static_cast<uint8_t>(variant), col, row, w, h});
  return true;
}

int Round(float v) { return static_cast<int>(std::lround(v)); }

// Removes every object that has a cell in the rectangle (all of its cells).
void Clear(StageLayout &L, int col, int row, int w, int h) {
  for (int y = std::max(row, 0); y < std::min(row + h, L.rows); y++)
    for (int x = std::max(col, 0); x < std::min(col + w, L.columns); x++) {
      const int o = L.objectAt[y * L.columns + x];
      if (o < 0) continue;
      const Placement &p = L.objects[o];
      for (int py = p.row; py < p.row + p.h; py++)
        for (int px = p.col; px < p.col + p.w; px++) L.objectAt[py * L.columns + px] = -1;
    }
}

// The cells of an elliptic ring (4-connected, so a wall through them closes).
std::vector<std::pair<int, int>> Ring(float cx, float cy, float rx, float ry) {
  std::vector<std::pair<int, int>> cells;
  auto inside = [&](int x, int y) {
    float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
    return dx * dx + dy * dy < 1;
  };
  for (int y = static_cast<int>(cy - ry) - 1; y <= cy + ry + 1; y++)
    for (int x = static_cast<int>(cx - rx) - 1; x <= cx + rx + 1; x++) {
      if (!inside(x, y)) continue;
      bool rim = false;
      for (int j = -1; j <= 1; j++)
        for (int i = -1; i <= 1; i++) rim = rim || !inside(x + i, y + j);
      if (rim) cells.push_back({x, y});
    }
  return cells;
}

// A rectangle's outline of cells, leaving out the cells in `gaps`.
std::vector<std::pair<int, int>> Outline(int col, int row, int w, int h, const std::vector<std::pair<int, int>> &gaps = {}) {
  std::vector<std::pair<int, int>> cells;
  for (int y = row; y < row + h; y++)
    for (int x = col; x < col + w; x++) {
      if (y != row && y != row + h - 1 && x != col && x != col + w - 1) continue;
      if (std::find(gaps.begin(), gaps.end(), std::make_pair(x, y)) == gaps.end()) cells.push_back({x, y});
    }
  return cells;
}

// The left column of a piece `width` cells wide beside the road at `row`, on
// the side with more room.
int Beside(const RoadAt &road, int row, int width) {
  float x = road(static_cast<float>(row));
  return x < 20 ? std::min(38 - width, Round(x) + 3) : std::max(1, Round(x) - 3 - width);
}

// ---- Kneebow's Shore ----

void Wreck(StageLayout &L, Rng &rng) {
  const int col = 24, row = 638;
  PaintBlob(L, 27, 647, 10, 11, MatDeep, rng.next());
  PaintBlob(L, 25, 639, 5, 2.5f, MatShallow, rng.next());  // the reef it ran onto
  Put(L, ObjShip, ShipWreck, col, row, 5, 10);
  const int rocks[5][2] = {{22, 638}, {21, 640}, {29, 637}, {23, 636}, {30, 639}};
  for (const auto &r : rocks) Put(L, ObjBoulder, rng.range(0, 5), r[0], r[1]);
  const int planks[4][2] = {{31, 652}, {21, 650}, {29, 655}, {33, 646}};
  for (const auto &p : planks) Put(L, ObjDeck, rng.range(0, 1), p[0], p[1]);
  L.mark("a wrecked ship", 19, 634, 17, 23);
}

void Harbour(StageLayout &L, Rng &rng, int c) {
  PaintRect(L, 7, c - 2, 33, c + 11, MatShallow);
  PaintRect(L, 9, c, 31, c + 11, MatDeep);
  PaintRect(L, 5, c - 8, 35, c - 2, MatCobble);  // the quay
  PaintRect(L, 6, c - 2, 9, c + 11, MatCobble);   // the moles
  PaintRect(L, 6, c + 9, 17, c + 11, MatCobble);
  PaintRect(L, 30, c - 2, 33, c + 6, MatCobble);
  Put(L, ObjTower, TowerWatch, 16, c + 8, 4, 4);  // at the end of the mole
  std::vector<std::pair<int, int>> mole;
  for (int y = c - 2; y <= c + 11; y++) mole.push_back({6, y});
  for (int x = 7; x <= 15; x++) mole.push_back({x, c + 11});
  for (int y = c - 2; y <= c + 6; y++) mole.push_back({33, y});
  PlaceWall(L, mole, ObjWall);
  for (int i = 0; i < 4; i++) Put(L, ObjDeck, 1, 12 + i * 5, c - 2, 1, 5 + (i & 1) * 3);
  const int boats[4][2] = {{13, c + 1}, {18, c + 3}, {24, c}, {28, c + 4}};
  for (const auto &b : boats) Put(L, ObjShip, ShipBoat, b[0], b[1], 1, 2);
  Put(L, ObjHouse, 3, 6, c - 8, 4, 3);
  Put(L, ObjHouse, 6, 28, c - 8, 5, 3);
  Put(L, ObjRack, 0, 14, c - 6, 3, 1);
  L.mark("the harbour", 5, c - 8, 31, 22);
}

void ShoreCamp(StageLayout &L, Rng &rng, const RoadAt &road) {
  const int row = 398, col = Beside(road, row + 5, 13);
  PaintBlob(L, col + 6.5f, row + 5.5f, 9, 8, MatDirt, rng.next());
  PlacePalisade(L, col, row, 13, 11, 3, false);
  const int tents[5][3] = {{2, 2, 2}, {5, 1, 1}, {9, 2, 2}, {2, 6, 1}, {9, 6, 2}};
  for (const auto &t : tents) Put(L, ObjTent, rng.range(0, 2), col + t[0], row + t[1], t[2], t[2]);
  Put(L, ObjFire, 0, col + 6, row + 5);
  Put(L, ObjBanner, 0, col + 3, row + 11);
  Put(L, ObjBanner, 0, col + 9, row + 11);
  L.mark("an orc camp", col - 2, row - 2, 17, 15);
}

void StoneBridge(StageLayout &L, int riverRow, const RoadAt &road) {
  const int col = Round(road(static_cast<float>(riverRow))) - 2;
  PaintRect(L, col - 3, riverRow - 1, col + 7, riverRow + 1, MatShallow);
  Put(L, ObjBridge, 0, col, riverRow - 4, 4, 8);
  Put(L, ObjBoulder, 1, col - 2, riverRow - 4);
  Put(L, ObjBoulder, 4, col + 5, riverRow + 3);
  L.mark("the stone bridge", col - 4, riverRow - 6, 11, 13);
}

void RuinedFort(StageLayout &L, Rng &rng, const RoadAt &road) {
  const int row = 150, col = Beside(road, row + 5, 11);
  PaintBlob(L, col + 5, row + 5, 8, 7, MatGrass, rng.next());
  PaintRect(L, col + 1, row + 1, col + 10, row + 9, MatDirt);
  PlaceWall(L, Outline(col, row, 11, 10, {{col + 5, row + 9}, {col + 6, row + 9}}), ObjWall, WallRuined | 64);
  Put(L, ObjTower, TowerWatch, col + 1, row + 1, 3, 3);
  Put(L, ObjFire, 0, col + 6, row + 5);
  Put(L, ObjTent, 1, col + 7, row + 2, 2, 2);
  for (int i = 0; i < 4; i++) Put(L, ObjBoulder, rng.range(0, 5), col + 2 + i * 2, row + 7 - (i & 1));
  L.mark("a ruined fort", col - 2, row - 2, 15, 14);
}

void Climb(StageLayout &L, Rng &rng) {
  // Stone steps zigzag up the last slope between rocky terraces, where the
  // track gives out.
  PaintCorners(L, 31, 64, [&](int x, int y) -> int { return L.corner(x, y) == MatDirt ? static_cast<int>(MatRock) : -1; });
  PaintBlob(L, 9, 44, 6, 7, MatRock, rng.next());
  PaintBlob(L, 31, 48, 6, 8, MatRock, rng.next());
  PaintPath(L, {{20, 68}, {12, 58}, {28, 48}, {13, 39}, {20, 30}}, 1.5f, MatRoad);
  for (int i = 0; i < 6; i++) Put(L, ObjBoulder, rng.range(0, 5), 17 + (i & 1) * 7, 62 - i * 5);
  L.mark("the climb to K'llisc Mountain's foot", 4, 0, 32, 67);
}

}  // namespace

void ShoreLandmarks(StageLayout &L, Rng &rng, int coastRow, int riverRow, const RoadAt &road) {
  Wreck(L, rng);
  Harbour(L, rng, coastRow);
  ShoreCamp(L, rng, road);
  StoneBridge(L, riverRow, road);
  RuinedFort(L, rng, road);
  Climb(L, rng);
}

namespace {

// ---- The training grounds ----

void ArcheryButts(StageLayout &L, const RoadAt &road) {
  const int row = 600, col = Beside(road, row + 10, 16);
  PaintRect(L, col, row, col + 16, row + 20, MatGrass);
  PaintRect(L, col, row + 1, col + 16, row + 3, MatDirt);  // the earth bank of the butts
  for (int lane = 0; lane < 4; lane++) {
    int x = col + 1 + lane * 4;
    PaintRect(L, x, row + 4, x + 2, row + 17, MatRoad);
    Put(L, ObjHay, 0, x, row + 1);
    Put(L, ObjHay, 0, x + 1, row + 1);
    Put(L, ObjTarget, 0, x, row + 3);
    Put(L, ObjBanner, 0, x + 1, row + 18);
  }
  L.mark("the archery butts", col, row, 17, 21);
}

void DrillSquare(StageLayout &L, const RoadAt &road) {
  const int row = 478, col = Beside(road, row + 7, 15);
  PaintRect(L, col, row, col + 15, row + 14, MatCobble);
  for (int i = 0; i < 4; i++) {
    Put(L, ObjBanner, 0, col + i * 5, row);
    Put(L, ObjBanner, 0, col + i * 5, row + 13);
  }
  Put(L, ObjDeck, 0, col + 6, row + 1, 4, 2);  // the chief's stand
  for (int r = 0; r < 3; r++)
    for (int c = 0; c < 5; c++) Put(L, ObjPalisade, 0, col + 2 + c * 3, row + 5 + r * 3);  // drill posts
  L.mark("the drill square", col, row, 16, 15);
}

void Barracks(StageLayout &L, const RoadAt &road) {
  const int row = 350, col = Beside(road, row + 8, 16);
  PaintRect(L, col + 1, row + 1, col + 15, row + 15, MatDirt);
  PlacePalisade(L, col, row, 16, 16, 2, false);
  for (int i = 0; i < 3; i++) Put(L, ObjHouse, i == 1 ? 7 : 3, col + 2, row + 2 + i * 4, 12, 3);
  Put(L, ObjFire, 0, col + 7, row + 14);
  Put(L, ObjRack, 0, col + 2, row + 14, 3, 1);
  Put(L, ObjRack, 0, col + 10, row + 14, 3, 1);
  L.mark("the barracks", col, row, 16, 16);
}

void WeaponsYard(StageLayout &L, Rng &rng, const RoadAt &road) {
  const int row = 230, col = Beside(road, row + 7, 15);
  PaintRect(L, col, row, col + 15, row + 13, MatDirt);
  PlaceWall(L, Outline(col, row, 15, 13, {{col + 7, row + 12}, {col + 8, row + 12}, {col + 6, row + 12}}));
  Put(L, ObjHouse, 6, col + 1, row + 1, 4, 3);  // the smithy
  Put(L, ObjFire, 0, col + 5, row + 2);
  for (int r = 0; r < 3; r++)
    for (int c = 0; c < 3; c++) Put(L, ObjRack, 0, col + 1 + c * 4, row + 5 + r * 2, 3, 1);
  for (int i = 0; i < 3; i++) Put(L, ObjBoulder, rng.range(0, 5), col + 9 + i * 2, row + 2);
  L.mark("the weapons yard", col, row, 15, 13);
}

void Arena(StageLayout &L, Rng &rng) {
  const float cx = 20, cy = 110;
  PaintBlob(L, cx, cy, 12, 11, MatDirt, rng.next());
  PaintCorners(L, 96, 124, [&](int x, int y) -> int {
    float dx = (x - cx) / 8.5f, dy = (y - cy) / 8.0f;
    return dx * dx + dy * dy < 1 ? static_cast<int>(MatSand) : -1;
  });
  std::vector<std::pair<int, int>> ring = Ring(cx, cy, 10.5f, 10);
  ring.erase(std::remove_if(ring.begin(), ring.end(), [&](const std::pair<int, int> &c) {
               return std::abs(c.first + 0.5f - cx) < 2 && std::fabs(c.second + 0.5f - cy) > 6;
             }), ring.end());  // gates north and south
  PlaceWall(L, ring);
  for (int i = 0; i < 4; i++) Put(L, ObjBanner, 0, Round(cx) - 3 + (i & 1) * 5, i < 2 ? 98 : 121);
  Put(L, ObjTarget, 0, 17, 108);
  Put(L, ObjTarget, 0, 22, 112);
  L.mark("the arena ring", 8, 98, 24, 24);
}

}  // namespace

void TrainingLandmarks(StageLayout &L, Rng &rng, const RoadAt &road) {
  ArcheryButts(L, road);
  DrillSquare(L, road);
  Barracks(L, road);
  WeaponsYard(L, rng, road);
  Arena(L, rng);
}

namespace {

// ---- K'llisc Village ----

void GateAndWall(StageLayout &L, const RoadAt &road) {
  const int row = 670, gate = Round(road(row + 1.0f));
  PaintRect(L, 0, row - 1, 40, row + 3, MatDirt);
  PaintRect(L, gate - 2, row - 3, gate + 2, row + 5, MatCobble);
  Put(L, ObjTower, TowerWatch, gate - 6, row - 2, 4, 4);
  Put(L, ObjTower, TowerWatch, gate + 2, row - 2, 4, 4);
  std::vector<std::pair<int, int>> wall;
  for (int x = 0; x < 40; x++)
    if (x < gate - 6 || x > gate + 5) wall.push_back({x, row});
  PlaceWall(L, wall, ObjWall);
  L.mark("the village gate and wall", 0, row - 3, 40, 9);
}

void Market(StageLayout &L, Rng &rng, const RoadAt &road) {
  const int row = 600, mid = Round(road(row + 8.0f));
  PaintRect(L, mid - 9, row, mid + 9, row + 16, MatCobble);
  for (int r = 0; r < 4; r++)
    for (int side = 0; side < 2; side++) {
      int x = side ? mid + 3 : mid - 8;
      Put(L, ObjStall, rng.range(0, 3), x, row + 1 + r * 4, 3, 2);
      if (r & 1) Put(L, ObjStall, rng.range(0, 3), x + 3, row + 1 + r * 4, 2, 2);
    }
  Put(L, ObjHay, 0, mid - 8, row + 15);
  Put(L, ObjHay, 0, mid + 7, row + 15);
  L.mark("the market square", mid - 9, row, 19, 17);
}

void BurntQuarter(StageLayout &L, Rng &rng, const RoadAt &road) {
  const int row = 432, col = Beside(road, row + 12, 16);
  PaintBlob(L, col + 8, row + 12, 10, 13, MatAsh, rng.next());
  const int houses[6][4] = {{1, 2, 3, 3}, {6, 1, 3, 2}, {11, 3, 3, 3}, {2, 9, 2, 3}, {7, 12, 3, 3}, {12, 16, 3, 2}};
  for (const auto &h : houses) Put(L, ObjHouse, HouseBurnt | rng.range(0, 7), col + h[0], row + h[1], h[2], h[3]);
  const int fires[4][2] = {{5, 6}, {10, 8}, {3, 17}, {11, 20}};
  for (const auto &f : fires) Put(L, ObjFire, 0, col + f[0], row + f[1]);
  for (int i = 0; i < 4; i++) Put(L, ObjBoulder, rng.range(0, 5), col + 1 + i * 4, row + 21 + (i & 1));
  L.mark("the burnt quarter", col, row, 16, 24);
}

void WellGreen(StageLayout &L, Rng &rng, const RoadAt &road) {
  const int row = 328, col = Beside(road, row + 8, 14);
  PaintBlob(L, col + 7, row + 8, 8, 8, MatMeadow, rng.next());
  PaintBlob(L, col + 7, row + 8, 2.6f, 2.6f, MatCobble, rng.next());
  Put(L, ObjWell, 0, col + 6, row + 7, 2, 2);
  for (int i = 0; i < 10; i++) {
    float a = i * 2 * 3.14159265f / 10;
    Put(L, ObjTree, rng.range(0, 3), Round(col + 6.5f + 5.5f * std::cos(a)), Round(row + 7.5f + 5.5f * std::sin(a)));
  }
  L.mark("the well on the green", col, row, 14, 16);
}

void WizardsTower(StageLayout &L, Rng &rng, const RoadAt &road) {
  const int row = 170, col = Beside(road, row + 6, 13);
  PaintRect(L, col, row, col + 13, row + 13, MatMeadow);
  PaintPath(L, {{col + 6.5f, row + 13.0f}, {col + 6.5f, row + 8.0f}}, 1.0f, MatCobble);
  PlaceWall(L, Outline(col, row, 13, 13, {{col + 6, row + 12}}), ObjWall);
  Put(L, ObjTower, TowerWizard, col + 5, row + 4, 4, 4);
  const int stones[4][2] = {{2, 2}, {10, 2}, {2, 9}, {10, 9}};
  for (const auto &s : stones) Put(L, ObjStone, rng.range(0, 7), col + s[0], row + s[1]);
  for (int i = 0; i < 3; i++) Put(L, ObjTree, TreeAncient | rng.range(0, 3), col + 2 + i * 4, row + 11 - (i == 1) * 9);
  L.mark("the wizard's tower", col, row, 13, 13);
}

void Orchard(StageLayout &L, Rng &rng, const RoadAt &road) {
  const int row = 88, col = Beside(road, row + 7, 15);
  PaintRect(L, col, row, col + 15, row + 15, MatMeadow);
  PlaceWall(L, Outline(col, row, 15, 15, {{col + 7, row + 14}}), ObjWall, WallRuined);
  for (int r = 0; r < 6; r++)
    for (int c = 0; c < 6; c++) Put(L, ObjTree, 1 + rng.range(0, 1) * 2, col + 2 + c * 2, row + 2 + r * 2);
  L.mark("the chief's orchard", col, row, 15, 15);
}

}  // namespace

void VillageLandmarks(StageLayout &L, Rng &rng, const RoadAt &road) {
  GateAndWall(L, road);
  Market(L, rng, road);
  BurntQuarter(L, rng, road);
  WellGreen(L, rng, road);
  WizardsTower(L, rng, road);
  Orchard(L, rng, road);
}

namespace {

// ---- The Bay of K'llisc ----

void LighthouseReef(StageLayout &L, Rng &rng) {
  const int col = 9, row = 644;
  PaintBlob(L, col + 1.5f, row + 1.5f, 9, 8, MatDeep, rng.next());
  PaintBlob(L, col + 1.5f, row + 1.5f, 6, 5, MatShallow, rng.next());
  PaintBlob(L, col + 1.5f, row + 1.5f, 3.6f, 3.2f, MatRock, rng.next());
  Clear(L, col - 6, row - 5, 16, 15);
  Put(L, ObjTower, TowerLight, col - 1, row - 1, 4, 4);
  for (int i = 0; i < 9; i++) {
    float a = i * 0.7f + 0.4f;
    Put(L, ObjBoulder, rng.range(0, 5), Round(col + 1 + 4.5f * std::cos(a)), Round(row + 1 + 3.8f * std::sin(a)));
  }
  Put(L, ObjDeck, 0, col + 4, row + 4, 1, 4);
  L.mark("the lighthouse on the reef", col - 6, row - 5, 15, 14);
}

void Sandbar(StageLayout &L, Rng &rng) {
  std::vector<std::pair<float, float>> bar;
  for (int x = -3; x <= 43; x += 2) bar.push_back({static_cast<float>(x), 538 + 3 * std::sin(x * 0.22f)});
  PaintPath(L, bar, 3.2f, MatShallow);
  PaintPath(L, bar, 1.5f, MatSand);
  Clear(L, 0, 530, 40, 16);
  for (int x = 1; x < 40; x += 4) {
    int y = Round(538 + 3 * std::sin(x * 0.22f));
    Put(L, ObjPalisade, 0, x, y - 3);
    Put(L, ObjPalisade, 0, x, y + 2);
  }
  for (int i = 0; i < 3; i++) Put(L, ObjBoulder, rng.range(0, 5), 6 + i * 13, 536 + (i & 1) * 5);
  L.mark("the sandbar crossing", 0, 532, 40, 13);
}

void SunkenRuins(StageLayout &L, Rng &rng) {
  const int col = 20, row = 402;
  PaintBlob(L, col + 7, row + 8, 12, 10, MatShallow, rng.next());
  PaintBlob(L, col + 1, row + 15, 3, 2, MatSand, rng.next());
  Clear(L, col - 2, row - 2, 19, 19);
  const uint8_t sunk = WallSunken | WallRuined;
  PlaceWall(L, Outline(col, row, 14, 12, {{col + 6, row + 11}, {col + 7, row + 11}}), ObjWall, sunk | 64);
  PlaceWall(L, Outline(col + 3, row + 3, 8, 6, {{col + 6, row + 8}}), ObjWall, sunk | 128);
  for (int i = 0; i < 4; i++) Put(L, ObjWall, sunk, col + 1 + i * 4, row + 14);  // a colonnade
  Put(L, ObjWall, WallRuined | 192, col + 1, row + 15);  // a wall above the water
  L.mark("the sunken ruins", col - 2, row - 2, 19, 19);
}

void SeaArch(StageLayout &L, Rng &rng) {
  const int col = 8, row = 280;
  PaintBlob(L, col + 4, row + 4, 11, 9, MatDeep, rng.next());
  Clear(L, col - 4, row - 3, 21, 15);
  Put(L, ObjArch, 0, col, row, 9, 8);
  const float stacks[3][2] = {{col + 12.0f, row + 1.0f}, {col + 13.0f, row + 7.0f}, {col - 2.0f, row + 8.0f}};
  for (const auto &s : stacks) {
    PaintBlob(L, s[0], s[1], 2.2f, 1.8f, MatShallow, rng.next());
    PaintBlob(L, s[0], s[1], 1.1f, 1.0f, MatRock, rng.next());
  }
  L.mark("the sea arch", col - 4, row - 3, 21, 15);
}

void StiltVillage(StageLayout &L, Rng &rng) {
  const int col = 16, row = 150;
  PaintBlob(L, col + 8, row + 9, 14, 11, MatShallow, rng.next());
  Clear(L, col, row - 1, 17, 22);
  // A boardwalk across the village, the huts on their stilts beside it.
  Put(L, ObjDeck, 1, col + 7, row, 3, 20);
  const int huts[6][2] = {{3, 2}, {11, 3}, {3, 8}, {11, 9}, {3, 14}, {11, 15}};
  for (const auto &h : huts) {
    Put(L, ObjHouse, (h[1] & 1) * 4, col + h[0], row + h[1], 3, 3);
    Put(L, ObjDeck, 0, col + (h[0] < 7 ? 6 : 10), row + h[1], 1, 3);
  }
  Put(L, ObjDeck, 0, col + 3, row + 18, 4, 2);  // where the catch is landed
  Put(L, ObjShip, ShipBoat, col + 1, row + 5, 1, 2);
  Put(L, ObjShip, ShipBoat, col + 14, row + 12, 1, 2);
  Put(L, ObjRack, 0, col + 11, row + 19, 3, 1);
  L.mark("the fishing village on stilts", col, row - 1, 17, 22);
}

}  // namespace

void BayLandmarks(StageLayout &L, Rng &rng) {
  LighthouseReef(L, rng);
  Sandbar(L, rng);
  SunkenRuins(L, rng);
  SeaArch(L, rng);
  StiltVillage(L, rng);
}

namespace {

// ---- The Forgotten Forest ----

void StoneCircle(StageLayout &L, Rng &rng) {
  const float cx = 24, cy = 622;
  PaintBlob(L, cx, cy, 9, 8, MatMeadow, rng.next());
  PaintBlob(L, cx, cy, 4, 3.5f, MatGrass, rng.next());
  for (int i = 0; i < 8; i++) {
    float a = i * 2 * 3.14159265f / 8;
    Put(L, ObjStone, i, Round(cx - 1 + 5.5f * std::cos(a)), Round(cy - 1 + 4.6f * std::sin(a)), 2, 2);
  }
  Put(L, ObjStone, 3, Round(cx) - 2, Round(cy) - 1, 3, 2);  // the altar slab
  L.mark("the stone circle", Round(cx) - 8, Round(cy) - 7, 16, 14);
}

void RuinedShrine(StageLayout &L, Rng &rng) {
  const int col = 6, row = 478;
  PaintBlob(L, col + 6, row + 6, 9, 8, MatGrass, rng.next());
  PaintRect(L, col + 1, row + 1, col + 11, row + 10, MatCobble);
  PlaceWall(L, Outline(col, row, 12, 11, {{col + 5, row + 10}, {col + 6, row + 10}}), ObjWall, WallRuined | 128);
  PlaceWall(L, Outline(col + 3, row + 2, 6, 5, {{col + 5, row + 6}}), ObjWall, WallRuined | 64);
  Put(L, ObjStone, 2, col + 5, row + 4);
  Put(L, ObjFire, 0, col + 3, row + 8);
  Put(L, ObjFire, 0, col + 8, row + 8);
  L.mark("the ruined shrine", col - 1, row - 1, 14, 13);
}

void FallenTree(StageLayout &L, Rng &rng, const RoadAt &brook) {
  const int col = 22, brookRow = Round(brook(col + 1.5f));
  PaintBlob(L, col + 1.5f, brookRow + 1, 7, 8, MatMeadow, rng.next());
  std::vector<std::pair<float, float>> water;
  for (int x = col - 10; x <= col + 14; x += 2) water.push_back({static_cast<float>(x), brook(static_cast<float>(x))});
  PaintPath(L, water, 2.4f, MatMeadow);
  PaintPath(L, water, 1.2f, MatShallow);
  Put(L, ObjLog, 1, col, brookRow - 6, 3, 12);
  L.mark("the fallen giant over the brook", col - 5, brookRow - 8, 13, 17);
}

void SigilClearing(StageLayout &L, Rng &rng) {
  const int col = 14, row = 184;
  PaintBlob(L, col + 3.5f, row + 3.5f, 9, 8, MatGrass, rng.next());
  PaintBlob(L, col + 3.5f, row + 3.5f, 5, 4.5f, MatDirt, rng.next());
  Put(L, ObjSigil, 0, col, row, 7, 7);
  const int stones[4][2] = {{-2, -1}, {8, -1}, {-2, 7}, {8, 7}};
  for (const auto &s : stones) Put(L, ObjStone, rng.range(0, 7), col + s[0], row + s[1]);
  L.mark("the wizards' sigil", col - 4, row - 3, 15, 14);
}

}  // namespace

void ForestLandmarks(StageLayout &L, Rng &rng, const RoadAt &brook, uint32_t seed) {
  StoneCircle(L, rng);
  RuinedShrine(L, rng);
  FallenTree(L, rng, brook);
  SigilClearing(L, rng);
  // The dark heart: old black woods close round the last glade.
  PaintCorners(L, 0, 90, [&](int x, int y) -> int {
    const float edge = 40 + 45 * Fractal(x * 0.12f, y * 0.05f, seed + 1);  // ragged, not a ruled line
    if (y > edge) return -1;
    return L.corner(x, y) == MatForest || Fractal(x * 0.2f, y * 0.2f, seed) > 0.6f + y * 0.004f ? static_cast<int>(MatDarkWood) : -1;
  });
}

}  // namespace mapgen
