// Tile painting for the stage maps: ground materials blended across cell
// corners, and objects (houses, tents, palisades, trees, rocks, piers...)
// painted over them. Every texture repeats every 128 map pixels, so tiles
// painted for the same corner materials and texture phase join without seams.
#pragma once
#include <cstdint>
#include <vector>

namespace mapgen {

constexpr int TileSize = 32;
constexpr int TexturePeriod = 64;                      // map pixels
constexpr int PhaseCount = TexturePeriod / TileSize;   // cells per period

// Ground materials, lowest first: a corner of a higher material covers the
// lower ones toward it.
enum Material : uint8_t {
  MatDeep, MatShallow, MatSand, MatDirt, MatGrass, MatMeadow, MatWheat, MatCrops,
  MatPlough, MatRoad, MatCobble, MatRock, MatForest, MatAsh, MatDarkWood, MatCount
};

enum ObjectType : uint8_t {
  ObjNone, ObjHouse, ObjTent, ObjPalisade, ObjBoulder, ObjTree, ObjDeck,
  ObjStone, ObjTarget, ObjFire, ObjWell, ObjHay,
  // Landmark pieces.
  ObjTower,   // variant TowerWatch, TowerLight or TowerWizard
  ObjShip,    // variant ShipWreck or ShipBoat; bow at the top
  ObjBridge,  // stone bridge; variant 0 runs up the map, 1 across
  ObjWall,    // stone wall; links as palisades, plus WallRuined, WallSunken
  ObjLog,     // a giant fallen tree, roots at the left (variant 1: at the top)
  ObjSigil,   // the wizards' rune circle burnt into the ground
  ObjStall,   // a market stall's awning; variant = colour
  ObjRack,    // a weapons rack
  ObjBanner,  // a pole with a war banner
  ObjArch,    // a sea stack worn into an arch
  ObjCount
};

enum TowerKind : uint8_t { TowerWatch, TowerLight, TowerWizard };
enum ShipKind : uint8_t { ShipWreck, ShipBoat };
constexpr uint8_t WallRuined = 16;   // gaps in the courses
constexpr uint8_t WallSunken = 32;   // seen through shallow water
constexpr uint8_t HouseBurnt = 16;   // a house variant bit: roof burnt through
constexpr uint8_t TreeAncient = 4;   // a tree variant bit: dark, old leaves

// What a block is, stored in its record's value1.
enum BlockClass { ClassOpen = 0, ClassWater = 1, ClassRock = 2, ClassBuilding = 3,
                  ClassWall = 4, ClassTree = 5, ClassDeck = 6 };

// An object over a rectangle of cells.
struct Placement {
  ObjectType type = ObjNone;
  uint8_t variant = 0;   // look (colour, shape); for palisades the links N1 E2 S4 W8
  int col = 0, row = 0, w = 1, h = 1;
};

// Everything that decides a tile's pixels.
struct TileKey {
  uint8_t corner[4] = {0, 0, 0, 0};  // top-left, top-right, bottom-left, bottom-right
  uint8_t phaseX = 0, phaseY = 0;    // texture phase (cell column and row mod PhaseCount)
  uint8_t decoration = 0;            // small detail on plain cells, 0 = none
  uint8_t object = ObjNone, variant = 0, objW = 1, objH = 1, partX = 0, partY = 0;
  bool operator<(const TileKey &o) const;
};

// True when the key's object hides the whole tile, so the ground under it
// does not matter.
bool ObjectCoversTile(const TileKey &key);

// One painted tile: 0xRRGGBB pixels, whether it blocks, and what it is.
struct Tile {
  std::vector<uint32_t> pixels;
  bool solid = false;
  int blockClass = ClassOpen;
};

// Textures of every material for one stage (a seed varies them per stage).
class Painter {
 public:
  explicit Painter(uint32_t seed);
  Tile paint(const TileKey &key) const;

 private:
  struct Rgb { float r, g, b; };
  std::vector<Rgb> colour[MatCount];     // TexturePeriod^2 each
  std::vector<float> edge[MatCount];     // noise that roughens the material's edge
  uint32_t iSeed;

  void buildTextures();
  void ground(const TileKey &k, int px, int py, Rgb *out, bool *blocking, int *cls) const;
  bool object(const TileKey &k, int ox, int oy, const Rgb &under, Rgb *out, int *hit) const;
};

}  // namespace mapgen
